#include "messages.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QKeyEvent>
#include <QMessageBox>
#include <QPushButton>
#include <QTimer>

#include <functional>

namespace sorvane::ui {
namespace {

struct BoxSeen {
    QString title;
    QString text;
    Qt::TextFormat format = Qt::AutoText;
    QMessageBox::Icon icon = QMessageBox::NoIcon;
    QMessageBox::StandardButtons buttons;
    QMessageBox::StandardButton defaultButton = QMessageBox::NoButton;
};

// Shows a box through `show`; once it is up, records what it looks like and lets `answer` close
// it. Returns what was seen.
BoxSeen inspect(const std::function<void()>& show, const std::function<void(QMessageBox*)>& answer) {
    BoxSeen seen;
    QTimer::singleShot(0, [&] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        if (box == nullptr) return;
        seen = {box->windowTitle(), box->text(),  box->textFormat(),
                box->icon(),        box->standardButtons(),
                box->defaultButton() ? box->standardButton(box->defaultButton())
                                     : QMessageBox::NoButton};
        answer(box);
    });
    show();
    return seen;
}

void pressEscape(QMessageBox* box) {
    QKeyEvent escape(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier);
    QApplication::sendEvent(box, &escape);
}

TEST(MessageBoxesTest, RefusalIsAWarningWithOkInPlainText) {
    MessageBoxes boxes;
    const BoxSeen seen =
        inspect([&] { boxes.show(nullptr, core::Message::Refusal, "<b>List</b> 1"); },
                [](QMessageBox* box) { box->button(QMessageBox::Ok)->click(); });
    EXPECT_EQ(seen.title, "Sorvane");
    EXPECT_EQ(seen.text, "<b>List</b> 1");
    EXPECT_EQ(seen.format, Qt::PlainText);
    EXPECT_EQ(seen.icon, QMessageBox::Warning);
    EXPECT_EQ(seen.buttons, QMessageBox::Ok);
}

TEST(MessageBoxesTest, ErrorReportOffersRetryByDefaultAndEscapeCancels) {
    MessageBoxes boxes;
    const QString report = "Error: 7 = Out of memory.\nRetry or Cancel?";
    core::Answer answer = core::Answer::Retry;
    BoxSeen seen = inspect([&] { answer = boxes.show(nullptr, core::Message::ErrorReport, report); }, pressEscape);
    EXPECT_EQ(answer, core::Answer::Cancel);
    EXPECT_EQ(seen.title, "Sorvane");
    EXPECT_EQ(seen.text, report);
    EXPECT_EQ(seen.format, Qt::PlainText);
    EXPECT_EQ(seen.icon, QMessageBox::NoIcon);
    EXPECT_EQ(seen.buttons, QMessageBox::Retry | QMessageBox::Cancel);
    EXPECT_EQ(seen.defaultButton, QMessageBox::Retry);

    seen = inspect([&] { answer = boxes.show(nullptr, core::Message::ErrorReport, report); },
                   [](QMessageBox* box) { box->defaultButton()->click(); });
    EXPECT_EQ(answer, core::Answer::Retry);
}

TEST(MessageBoxesTest, InstructionsAreInformationTitledInstructions) {
    MessageBoxes boxes;
    const BoxSeen seen = inspect([&] { boxes.show(nullptr, core::Message::Instructions, "one\n\ntwo"); },
                                 [](QMessageBox* box) { box->button(QMessageBox::Ok)->click(); });
    EXPECT_EQ(seen.title, "Instructions");
    EXPECT_EQ(seen.text, "one\n\ntwo");
    EXPECT_EQ(seen.format, Qt::PlainText);
    EXPECT_EQ(seen.icon, QMessageBox::Information);
    EXPECT_EQ(seen.buttons, QMessageBox::Ok);
}

}  // namespace
}  // namespace sorvane::ui
