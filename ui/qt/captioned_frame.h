#pragma once

#include <QGroupBox>

#include <utility>

namespace sorvane::ui {

// A frame drawn as the design draws one: its caption sits on the top border, which runs through
// the middle of the caption's text, so the whole height below the caption line is the frame's
// own. Controls are placed inside by their design geometry, from the frame's top edge.
class CaptionedFrame : public QGroupBox {
    Q_OBJECT

public:
    CaptionedFrame(const QString& caption, QWidget* parent);

    /// Where the top border line starts, from the frame's top edge.
    int borderTop() const;

    /// The caption's rectangle, which the border does not cross.
    QRect captionRect() const;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    std::pair<const QStyle*, int> offsetKey_{nullptr, 0};  // style and font height measured
    int offset_ = 0;
};

}  // namespace sorvane::ui
