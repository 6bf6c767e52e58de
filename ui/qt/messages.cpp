#include "messages.h"

#include <QMessageBox>

#include "controls.h"

namespace sorvane::ui {
namespace {

QMessageBox::Icon qtIcon(form::MessageIcon icon) {
    switch (icon) {
        case form::MessageIcon::Exclamation:
            return QMessageBox::Warning;
        case form::MessageIcon::Information:
            return QMessageBox::Information;
        case form::MessageIcon::None:
            break;
    }
    return QMessageBox::NoIcon;
}

}  // namespace

core::Answer MessageBoxes::show(QWidget* parent, core::Message kind, const QString& text) {
    const form::MessageDesign design = form::messageDesign(kind);
    const bool retry = design.buttons == form::MessageButtons::RetryCancel;
    QMessageBox box(qtIcon(design.icon), QString::fromUtf8(design.title), text,
                    retry ? QMessageBox::Retry | QMessageBox::Cancel : QMessageBox::Ok, parent);
    box.setTextFormat(Qt::PlainText);
    box.setDefaultButton(retry ? QMessageBox::Retry : QMessageBox::Ok);
    box.setEscapeButton(retry ? QMessageBox::Cancel : QMessageBox::Ok);
    return box.exec() == QMessageBox::Retry ? core::Answer::Retry : core::Answer::Cancel;
}

}  // namespace sorvane::ui
