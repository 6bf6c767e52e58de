#include "messages.h"

#include <QMessageBox>

namespace sorvane::ui {
namespace {

int showBox(QWidget* parent, QMessageBox::Icon icon, const QString& title, const QString& text,
            QMessageBox::StandardButtons buttons, QMessageBox::StandardButton defaultButton,
            QMessageBox::StandardButton escapeButton) {
    QMessageBox box(icon, title, text, buttons, parent);
    box.setTextFormat(Qt::PlainText);
    box.setDefaultButton(defaultButton);
    box.setEscapeButton(escapeButton);
    return box.exec();
}

}  // namespace

void MessageBoxes::refusal(QWidget* parent, const QString& text) {
    showBox(parent, QMessageBox::Warning, QStringLiteral("Sorvane"), text, QMessageBox::Ok,
            QMessageBox::Ok, QMessageBox::Ok);
}

core::Answer MessageBoxes::errorReport(QWidget* parent, const QString& text) {
    const int answer =
        showBox(parent, QMessageBox::NoIcon, QStringLiteral("Sorvane"), text,
                QMessageBox::Retry | QMessageBox::Cancel, QMessageBox::Retry, QMessageBox::Cancel);
    return answer == QMessageBox::Retry ? core::Answer::Retry : core::Answer::Cancel;
}

void MessageBoxes::instructions(QWidget* parent, const QString& text) {
    showBox(parent, QMessageBox::Information, QStringLiteral("Instructions"), text,
            QMessageBox::Ok, QMessageBox::Ok, QMessageBox::Ok);
}

}  // namespace sorvane::ui
