#include "pictures.h"

#include <QPainter>
#include <QPixmap>
#include <QSvgRenderer>

namespace sorvane::ui {
namespace {

// Renders a picture from its SVG at each of the given pixel sizes, so every screen density gets
// a sharp bitmap of its own.
QIcon rendered(const QString& resource, std::initializer_list<int> sizes) {
    QSvgRenderer svg(resource);
    QIcon icon;
    for (const int size : sizes) {
        QPixmap pixmap(size, size);
        pixmap.fill(Qt::transparent);
        QPainter painter(&pixmap);
        svg.render(&painter);
        painter.end();
        icon.addPixmap(pixmap);
    }
    return icon;
}

}  // namespace

QIcon pastePicture() { return rendered(QStringLiteral(":/pictures/paste.svg"), {16, 32}); }

QIcon copyPicture() { return rendered(QStringLiteral(":/pictures/copy.svg"), {16, 32}); }

QIcon applicationIcon() {
    return rendered(QStringLiteral(":/pictures/org.sorvane.Sorvane.svg"),
                    {16, 22, 24, 32, 48, 64, 128, 256});
}

}  // namespace sorvane::ui
