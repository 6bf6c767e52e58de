// A clipboard owner that misbehaves as some real programs do, for the tests of reading the
// clipboard:
//
//   test_owner vanish MEGABYTES DELAY_MS   offers a large text and ends its process a few
//                                          milliseconds into serving it, without a word
//   test_owner slow SECONDS                offers a short text and answers its first request
//                                          only after SECONDS; later requests at once
//   test_owner never                       offers a text and never sends it
//
// With --window last, it first shows a window and offers its text at the first key pressed in
// it, then hides the window, and misbehaves from then on: on Wayland only a program that has
// had input may take the clipboard, and the compositor asks for the text at once.

#include <unistd.h>

#include <QApplication>
#include <QClipboard>
#include <QKeyEvent>
#include <QMimeData>
#include <QThread>
#include <QTimer>
#include <QWidget>

#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace {

class MisbehavingText : public QMimeData {
public:
    enum class Mode { Vanish, Slow, Never };
    MisbehavingText(Mode mode, qsizetype bytes, int delayMs)
        : mode_(mode), bytes_(bytes), delayMs_(delayMs) {}

    QStringList formats() const override { return {QStringLiteral("text/plain")}; }
    bool hasFormat(const QString& format) const override { return format == "text/plain"; }

protected:
public:
    /// Whether it misbehaves yet; until then it answers at once.
    bool misbehaving = true;

protected:
    QVariant retrieveData(const QString& format, QMetaType) const override {
        if (format != "text/plain") return {};
        std::fprintf(stderr, "test_owner: serving\n");
        if (!misbehaving) return QStringLiteral("early\tanswer\r\n");
        switch (mode_) {
            case Mode::Vanish: {
                QTimer::singleShot(delayMs_, [] { _exit(0); });
                QString text;
                text.reserve(bytes_);
                while (text.size() < bytes_) text += QStringLiteral("key\tvalue\r\n");
                return text;
            }
            case Mode::Slow:
                if (!answered_) QThread::msleep(static_cast<unsigned long>(delayMs_));
                answered_ = true;
                return QStringLiteral("slow\tanswer\r\n");
            case Mode::Never:
                for (;;) QThread::sleep(60);
        }
        return {};
    }

private:
    Mode mode_;
    qsizetype bytes_;
    int delayMs_;
    mutable bool answered_ = false;
};

}  // namespace

// Offers the text at the first key pressed in its window, then hides the window.
class KeyToOffer : public QWidget {
public:
    explicit KeyToOffer(MisbehavingText* text) : text_(text) {}

protected:
    void keyPressEvent(QKeyEvent*) override {
        if (text_ == nullptr) return;
        MisbehavingText* text = text_;
        text_ = nullptr;
        text->misbehaving = false;
        QGuiApplication::clipboard()->setMimeData(text);
        std::fprintf(stderr, "test_owner: offering\n");
        QTimer::singleShot(500, this, [this, text] {
            text->misbehaving = true;
            hide();
        });
    }

private:
    MisbehavingText* text_;
};

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    const bool window = argc > 1 && std::strcmp(argv[argc - 1], "--window") == 0;
    if (window) --argc;
    const char* mode = argc > 1 ? argv[1] : "";
    MisbehavingText* text = nullptr;
    if (std::strcmp(mode, "vanish") == 0 && argc == 4) {
        text = new MisbehavingText(MisbehavingText::Mode::Vanish,
                                   qsizetype{std::atoi(argv[2])} << 20, std::atoi(argv[3]));
    } else if (std::strcmp(mode, "slow") == 0 && argc == 3) {
        text = new MisbehavingText(MisbehavingText::Mode::Slow, 0, std::atoi(argv[2]) * 1000);
    } else if (std::strcmp(mode, "never") == 0) {
        text = new MisbehavingText(MisbehavingText::Mode::Never, 0, 0);
    } else {
        std::fprintf(stderr,
                     "usage: test_owner (vanish MB DELAY_MS | slow SECONDS | never) [--window]\n");
        return 2;
    }
    KeyToOffer shown(text);
    if (window) {
        shown.show();
        std::fprintf(stderr, "test_owner: shown\n");
    } else {
        QGuiApplication::clipboard()->setMimeData(text);
        std::fprintf(stderr, "test_owner: offering\n");
    }
    return QApplication::exec();
}
