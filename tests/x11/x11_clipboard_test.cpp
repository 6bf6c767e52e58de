// Reading the X clipboard from each kind of owner a user meets: one that answers at once, one
// that sends a large text in chunks, one that answers late, one that never answers, one that
// goes away in the middle, and one that holds no text. Runs on an X server of its own (see
// run_on_xvfb.sh), with the owners as separate programs.

#include <gtest/gtest.h>

#include <QApplication>
#include <QClipboard>
#include <QElapsedTimer>
#include <QFile>
#include <QLineEdit>
#include <QProcess>
#include <QTemporaryFile>
#include <QThread>

#include <cstdlib>
#include <string>

#include "step_runner.h"
#include "system_clipboard.h"

namespace sorvane::ui {
namespace {

class X11ClipboardTest : public ::testing::Test {
protected:
    ~X11ClipboardTest() override {
        owner_.kill();
        owner_.waitForFinished();
    }

    // Starts a program that takes the clipboard, and waits until it has.
    void offer(const QString& program, const QStringList& arguments) {
        const QString before = owned();
        owner_.setProcessChannelMode(QProcess::MergedChannels);
        owner_.start(program, arguments);
        ASSERT_TRUE(owner_.waitForStarted());
        QElapsedTimer timer;
        timer.start();
        while (owned() == before && timer.elapsed() < 5000) QThread::msleep(20);
        QThread::msleep(100);
        QApplication::processEvents();
    }
    void offerFile(const QByteArray& bytes, const QString& target = "UTF8_STRING") {
        ASSERT_TRUE(file_.open());
        file_.write(bytes);
        file_.close();
        offer("xclip", {"-selection", "clipboard", "-quiet", "-t", target, "-i", file_.fileName()});
    }

    std::string read() { return std::string(clipboard_.text().view()); }
    // The description of the failure of a read, or "read" when it read.
    std::string failure() {
        try {
            clipboard_.text();
            return "read";
        } catch (const core::StepError& e) {
            EXPECT_EQ(e.number(), core::kTextNotSent);
            return e.what();
        }
    }

    QProcess owner_;
    SystemClipboard clipboard_;

private:
    // The clipboard's owner as xclip sees it: its targets, which change with every new owner.
    static QString owned() {
        QProcess targets;
        targets.start("xclip", {"-selection", "clipboard", "-o", "-t", "TARGETS"});
        targets.waitForFinished(2000);
        return QString::fromUtf8(targets.readAll()) + QString::number(targets.exitCode());
    }

    QTemporaryFile file_;
};

constexpr const char* kSilent = "The program that copied the text did not answer in time";
constexpr const char* kGone = "The program that copied the text stopped before sending it";

TEST_F(X11ClipboardTest, AnswersAtOnce) {
    offerFile("Ann\t12\nB\xC3\xA9la\t7\n");
    EXPECT_EQ(read(), "Ann\t12\nB\xC3\xA9la\t7\n");  // read as it came, its LFs ending rows
}

TEST_F(X11ClipboardTest, SendsALargeTextInChunks) {
    QByteArray rows;
    for (int k = 0; rows.size() < (3 << 20); ++k) rows += "key" + QByteArray::number(k) + "\tv\r\n";
    offerFile(rows, "text/plain;charset=utf-8");
    const std::string text = read();
    EXPECT_EQ(text.size(), static_cast<std::size_t>(rows.size()));
    EXPECT_EQ(text, rows.toStdString());
}

TEST_F(X11ClipboardTest, AnswersLateThenRetryReadsIt) {
    offer(SORVANE_TEST_OWNER, {"slow", "7"});
    EXPECT_EQ(failure(), kSilent);
    EXPECT_EQ(read(), "slow\tanswer\r\n");  // asked again, it answers
}

TEST_F(X11ClipboardTest, NeverAnswers) {
    offer(SORVANE_TEST_OWNER, {"never"});
    EXPECT_EQ(failure(), kSilent);
}

TEST_F(X11ClipboardTest, GoesAwayInTheMiddle) {
    offer(SORVANE_TEST_OWNER, {"vanish", "50", "30"});
    EXPECT_EQ(failure(), kGone);
}

// Records the program copied are at hand for its own widgets at once, and for other programs.
TEST_F(X11ClipboardTest, OwnCopyIsReadAtOnceInsideAndOutside) {
    clipboard_.setText("Ann\t12\rB\xC3\xA9la\t7\r");
    QElapsedTimer timer;
    timer.start();
    QLineEdit note;
    note.paste();
    EXPECT_EQ(note.text(), QString::fromUtf8("Ann\t12\rB\xC3\xA9la\t7\r"));
    EXPECT_EQ(read(), "Ann\t12\rB\xC3\xA9la\t7\r");
    EXPECT_LT(timer.elapsed(), 1000);  // not the five seconds of an unanswered request
    QProcess xclip;
    xclip.start("xclip", {"-selection", "clipboard", "-o"});
    while (!xclip.waitForFinished(10)) QApplication::processEvents();  // Qt answers from here
    EXPECT_EQ(xclip.readAll(), QByteArray("Ann\t12\rB\xC3\xA9la\t7\r"));
}

TEST_F(X11ClipboardTest, HoldsNoTextWhichPastesAsEmpty) {
    offerFile("\x89PNG\r\n", "image/png");
    EXPECT_EQ(failure(), "read");
    EXPECT_EQ(read(), "");
}

}  // namespace
}  // namespace sorvane::ui

int main(int argc, char** argv) {
    setenv("QT_QPA_PLATFORM", "xcb", 1);
    QApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
