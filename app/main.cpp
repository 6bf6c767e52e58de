// Sorvane: compares two lists of records copied from a spreadsheet.

#include <QApplication>

#include "principal.h"

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Sorvane"));
    sorvane::ui::Principal window;
    window.show();
    return QApplication::exec();
}
