// Sorvane: compares two lists of records copied from a spreadsheet.

#include <QApplication>

#include "principal.h"

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Sorvane"));
    // Ties the window to its desktop entry, so desktops show the entry's name and icon for it.
    QGuiApplication::setDesktopFileName(QStringLiteral("org.sorvane.Sorvane"));
    sorvane::ui::Principal window;
    window.show();
    return QApplication::exec();
}
