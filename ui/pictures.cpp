#include "pictures.h"

#include <QPainter>
#include <QPixmap>

#include <functional>

namespace sorvane::ui {
namespace {

// Draws a picture on a 16 x 16 grid at 1x and 2x, so it stays sharp on high-density screens.
QIcon drawn(const std::function<void(QPainter&)>& draw) {
    QIcon icon;
    for (const int scale : {1, 2}) {
        QPixmap pixmap(16 * scale, 16 * scale);
        pixmap.fill(Qt::transparent);
        QPainter painter(&pixmap);
        painter.setRenderHint(QPainter::Antialiasing, false);
        painter.scale(scale, scale);
        draw(painter);
        painter.end();
        icon.addPixmap(pixmap);
    }
    return icon;
}

void sheet(QPainter& p, const QRectF& r) {
    p.setPen(QPen(QColor(60, 60, 60), 1));
    p.setBrush(Qt::white);
    p.drawRect(r);
    p.setPen(QPen(QColor(70, 110, 190), 1));
    for (qreal y = r.top() + 2.5; y < r.bottom() - 1; y += 2) {
        p.drawLine(QPointF(r.left() + 2, y), QPointF(r.right() - 2, y));
    }
}

}  // namespace

QIcon pastePicture() {
    return drawn([](QPainter& p) {
        p.setPen(QPen(QColor(90, 60, 20), 1));
        p.setBrush(QColor(190, 140, 70));
        p.drawRect(QRectF(1.5, 2.5, 10, 12));       // the board
        p.setBrush(QColor(150, 150, 150));
        p.drawRect(QRectF(4.5, 1.5, 4, 2));          // its clip
        sheet(p, QRectF(7.5, 6.5, 7, 8));            // the sheet pasted onto it
    });
}

QIcon copyPicture() {
    return drawn([](QPainter& p) {
        sheet(p, QRectF(1.5, 1.5, 8, 9));
        sheet(p, QRectF(6.5, 5.5, 8, 9));
    });
}

QIcon applicationIcon() {
    return drawn([](QPainter& p) {
        sheet(p, QRectF(0.5, 1.5, 6, 13));
        sheet(p, QRectF(9.5, 1.5, 6, 13));
        p.setPen(QPen(QColor(200, 40, 40), 1.5));
        p.drawLine(QPointF(4, 6.5), QPointF(12, 10.5));
    });
}

}  // namespace sorvane::ui
