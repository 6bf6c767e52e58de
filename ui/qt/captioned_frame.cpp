#include "captioned_frame.h"

#include <QImage>
#include <QPainter>
#include <QStyle>
#include <QStyleOptionFrame>

#include <algorithm>

namespace sorvane::ui {
namespace {

// The highest control inside a frame stands 120 twips (8 pixels) below its top edge; the border,
// two pixels in the styles that draw it etched, stays above it whatever the caption's font.
constexpr int kLowestBorderTop = 6;
// The caption starts this far from the frame's left edge and keeps this gap to the line.
constexpr int kCaptionIndent = 6;
constexpr int kCaptionGap = 2;

// How far below the top of its rectangle a style draws a frame's border line. Some styles leave
// room there for a caption line of their own (Fusion does), so the rectangle has to start that
// much higher for the line to run through the caption. Found by drawing the frame once.
int styleBorderOffset(const QStyle& style, const QStyleOptionFrame& option) {
    QImage probe(32, 4 * option.fontMetrics.height() + 64, QImage::Format_ARGB32_Premultiplied);
    probe.fill(Qt::transparent);
    QStyleOptionFrame frame = option;
    frame.rect = probe.rect();
    {
        QPainter painter(&probe);
        style.drawPrimitive(QStyle::PE_FrameGroupBox, &frame, &painter, nullptr);
    }
    for (int y = 0; y < probe.height(); ++y) {
        if (qAlpha(probe.pixel(probe.width() / 2, y)) != 0) return y;
    }
    return 0;
}

}  // namespace

CaptionedFrame::CaptionedFrame(const QString& caption, QWidget* parent)
    : QGroupBox(caption, parent) {}

int CaptionedFrame::borderTop() const {
    return std::min(fontMetrics().height() / 2, kLowestBorderTop);
}

QRect CaptionedFrame::captionRect() const {
    const QFontMetrics metrics = fontMetrics();
    return QRect(kCaptionIndent, 0, metrics.horizontalAdvance(title()) + 2 * kCaptionGap,
                 metrics.height());
}

void CaptionedFrame::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    QStyleOptionFrame frame;
    frame.initFrom(this);
    frame.lineWidth = 1;
    frame.midLineWidth = 0;
    const std::pair<const QStyle*, int> key(style(), frame.fontMetrics.height());
    if (key != offsetKey_) {
        offsetKey_ = key;
        offset_ = styleBorderOffset(*style(), frame);
    }
    frame.rect = rect().adjusted(0, borderTop() - offset_, 0, 0);
    style()->drawPrimitive(QStyle::PE_FrameGroupBox, &frame, &painter, nullptr);

    // The caption cuts the line where it stands.
    const QRect caption = captionRect();
    painter.fillRect(caption, palette().brush(backgroundRole()));
    style()->drawItemText(&painter, caption, Qt::AlignCenter, palette(), isEnabled(), title(),
                          QPalette::WindowText);
}

}  // namespace sorvane::ui
