// Times the window's commands on large lists through the real X clipboard: each paste from the
// click to the count shown, split into the wait for the clipboard's text and the window's own
// work; Compare; a header-click sort of List 1 by its codes, whose keys ICU makes, then by its
// numbers, which are their own keys; a scroll to the end of List 1; and each result list copied
// until `xclip -o` has read it all; then the process's peak memory. Run it under X (Xvfb will
// do) with xclip installed:
//
//   sorvane-window-bench LIST1 LIST2 [--out DIR] [--target TARGET]
//
// xclip offers each list as UTF8_STRING, as Gnumeric does; --target offers it as another type
// instead, such as text/plain;charset=utf-8, which LibreOffice Calc offers besides.
//
// With --out, all four result lists are copied and read back with xclip into DIR
// (matches1.tsv, matches2.tsv, notfound1.tsv, notfound2.tsv), with the four count labels in
// counts.txt, for checks from outside.
//
// On Wayland (QT_QPA_PLATFORM=wayland, in weston on an X display, as scripts/bench runs it), the
// lists are offered with wl-copy and read back with wl-paste. A Wayland program may take the
// clipboard only after input of its own, so each copy follows a key sent to weston's window
// with xdotool.

#include <sys/resource.h>

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QMimeData>
#include <QComboBox>
#include <QDir>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFile>
#include <QHeaderView>
#include <QLabel>
#include <QProcess>
#include <QPushButton>
#include <QScrollBar>
#include <QTableView>
#include <QThread>
#include <QTimer>
#include <QToolBar>

#include <cstdio>
#include <functional>

#include "principal.h"
#include "system_clipboard.h"

namespace {

double peakMb() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_maxrss / 1024.0;
}

// Runs `step`, then lets the window paint what it changed; returns the milliseconds it took.
double timed(const std::function<void()>& step) {
    QElapsedTimer timer;
    timer.start();
    step();
    QApplication::processEvents();
    return static_cast<double>(timer.nsecsElapsed()) / 1e6;
}

bool onWayland() { return QGuiApplication::platformName() == QLatin1String("wayland"); }

// Lets the window handle what came for `ms` milliseconds.
void settle(int ms) {
    QElapsedTimer timer;
    timer.start();
    while (timer.elapsed() < ms) {
        QApplication::processEvents(QEventLoop::AllEvents, 10);
        QThread::msleep(5);
    }
}

// Puts a file on the clipboard through xclip, which keeps serving it in the background, or
// through wl-copy, which serves it until the next text is offered.
void offer(const QString& path, const QString& target) {
    if (!onWayland()) {
        QProcess::execute(QStringLiteral("xclip"),
                          {"-selection", "clipboard", "-t", target, "-i", path});
        QThread::msleep(200);
        return;
    }
    // The last list's wl-copy ends by itself once another owns the clipboard. Ended before,
    // it would leave weston's own copy of its text, which may be cut short, on the clipboard.
    static QProcess* owner = nullptr;
    QProcess* const last = owner;
    owner = new QProcess;
    const QMimeData* before = QGuiApplication::clipboard()->mimeData();
    owner->setStandardInputFile(path);
    // wl-copy offers a text under every name of text unless told one.
    QStringList arguments = {QStringLiteral("--foreground")};
    if (target != QLatin1String("UTF8_STRING")) arguments << "--type" << target;
    owner->start(QStringLiteral("wl-copy"), arguments);
    owner->waitForStarted();
    // wl-copy takes the keyboard with a surface of its own while it sets the clipboard, and the
    // window hears of the new text, an offer of its own, once it has the keyboard back.
    for (int k = 0; k < 500; ++k) {
        const QMimeData* now = QGuiApplication::clipboard()->mimeData();
        if (now != nullptr && now != before && !now->formats().isEmpty()) break;
        settle(20);
    }
    settle(100);
    delete last;
}

// Input of the program's own, which a Wayland program must have had before it takes the
// clipboard.
void press() {
    if (!onWayland()) return;
    QProcess::execute(QStringLiteral("xdotool"), {"key", "shift"});
    settle(150);
}

// The system clipboard, timing how long each read waits for the text from its owner.
class TimedClipboard : public sorvane::ui::SystemClipboard {
public:
    double waitMs = 0;

protected:
    Delivery platformText() override {
        QElapsedTimer timer;
        timer.start();
        Delivery delivery = SystemClipboard::platformText();
        waitMs = static_cast<double>(timer.nsecsElapsed()) / 1e6;
        return delivery;
    }
};

void trigger(sorvane::ui::Principal& window, int toolbar) {
    window.findChild<QToolBar*>(QStringLiteral("Toolbar%1").arg(toolbar))->actions().first()->trigger();
}

}  // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QString out;
    QString target = QStringLiteral("UTF8_STRING");
    for (int i = 3; i + 1 < argc; i += 2) {
        if (QByteArray(argv[i]) == "--out") out = QString::fromLocal8Bit(argv[i + 1]);
        if (QByteArray(argv[i]) == "--target") target = QString::fromLocal8Bit(argv[i + 1]);
    }
    if (argc < 3 || argc % 2 == 0) {
        std::fprintf(stderr, "usage: sorvane-window-bench LIST1 LIST2 [--out DIR] [--target TARGET]\n");
        return 64;
    }
    const bool keep = !out.isEmpty();
    if (!keep) out = QDir::tempPath();
    TimedClipboard clipboard;
    sorvane::ui::Principal window(nullptr, &clipboard);
    window.show();
    QApplication::processEvents();

    double pasteMs[2];
    double waitMs[2];
    double pastePeakMb[2];
    for (int side = 0; side < 2; ++side) {
        offer(QString::fromLocal8Bit(argv[1 + side]), target);
        pasteMs[side] = timed([&] { trigger(window, 1 + side); });
        waitMs[side] = clipboard.waitMs;
        pastePeakMb[side] = peakMb();
    }
    const QString counts = window.findChild<QLabel*>("Label11")->text() + " / " +
                           window.findChild<QLabel*>("Label12")->text();

    window.findChild<QComboBox*>("Combo1_0")->setEditText("1");
    window.findChild<QComboBox*>("Combo2_0")->setEditText("1");
    const double compareMs = timed([&] { window.findChild<QPushButton*>("Command1")->click(); });
    const double comparePeakMb = peakMb();

    auto* list1 = window.findChild<QTableView*>("ListView1");
    const double sortMs = timed([&] { emit list1->horizontalHeader()->sectionClicked(0); });
    const double sortNumbersMs =
        timed([&] { emit list1->horizontalHeader()->sectionClicked(1); });
    const double sortPeakMb = peakMb();
    const double scrollMs = timed([&] {
        list1->verticalScrollBar()->setValue(list1->verticalScrollBar()->maximum());
        list1->viewport()->repaint();
    });

    // Copy a result list and read it back as another program would, into a file, so what it
    // reads is not counted in this process's memory.
    double copyOwnMs[4];
    auto copyAndRead = [&](int toolbar, const QString& file, double& ownMs) {
        return timed([&] {
            ownMs = timed([&] { trigger(window, toolbar); });
            QProcess reader;
            reader.setStandardOutputFile(file);
            // The window answers xclip's requests from its event loop, as it does while it waits
            // for its user; a blocking wait would hold up every chunk.
            QEventLoop waiting;
            QObject::connect(&reader, &QProcess::finished, &waiting, &QEventLoop::quit);
            QObject::connect(&reader, &QProcess::errorOccurred, &waiting, &QEventLoop::quit);
            QTimer::singleShot(120'000, &waiting, &QEventLoop::quit);
            if (onWayland()) {
                reader.start(QStringLiteral("wl-paste"), {"--no-newline"});
            } else {
                reader.start(QStringLiteral("xclip"), {"-o", "-selection", "clipboard"});
            }
            waiting.exec();
            if (reader.state() != QProcess::NotRunning) {
                std::fprintf(stderr, "sorvane-window-bench: xclip -o did not finish\n");
                reader.kill();
                reader.waitForFinished();
            }
        });
    };
    const char* const names[4] = {"matches1.tsv", "matches2.tsv", "notfound1.tsv", "notfound2.tsv"};
    double copyMs[4];
    QString countLines;
    for (int k = 0; k < 4; ++k) {
        press();
        copyMs[k] = copyAndRead(3 + k, QDir(out).filePath(QString::fromLatin1(names[k])),
                                copyOwnMs[k]);
        countLines += window.findChild<QLabel*>(QStringLiteral("Label%1").arg(13 + k))->text() + "\n";
        if (!keep) QFile::remove(QDir(out).filePath(QString::fromLatin1(names[k])));
    }
    const double peak = peakMb();
    if (keep) {
        QFile counts(QDir(out).filePath("counts.txt"));
        if (counts.open(QIODevice::WriteOnly)) counts.write(countLines.toUtf8());
    }

    std::printf("counts: %s; results: %s\n", qPrintable(counts),
                qPrintable(countLines.trimmed().replace('\n', QStringLiteral(" / "))));
    std::printf("paste1_ms=%.0f paste2_ms=%.0f compare_ms=%.0f sort_ms=%.0f sort_numbers_ms=%.0f "
                "scroll_ms=%.0f\n",
                pasteMs[0], pasteMs[1], compareMs, sortMs, sortNumbersMs, scrollMs);
    std::printf("paste1_wait_ms=%.0f paste2_wait_ms=%.0f paste1_own_ms=%.0f paste2_own_ms=%.0f\n",
                waitMs[0], waitMs[1], pasteMs[0] - waitMs[0], pasteMs[1] - waitMs[1]);
    std::printf("copy_matches1_ms=%.0f copy_matches2_ms=%.0f copy_notfound1_ms=%.0f "
                "copy_notfound2_ms=%.0f\n",
                copyMs[0], copyMs[1], copyMs[2], copyMs[3]);
    std::printf("copy_matches1_own_ms=%.0f copy_matches2_own_ms=%.0f copy_notfound1_own_ms=%.0f "
                "copy_notfound2_own_ms=%.0f\n",
                copyOwnMs[0], copyOwnMs[1], copyOwnMs[2], copyOwnMs[3]);
    std::printf("peak_rss_mb=%.0f (after paste 1: %.0f, after paste 2: %.0f, after compare: %.0f, "
                "after sort: %.0f)\n",
                peak, pastePeakMb[0], pastePeakMb[1], comparePeakMb, sortPeakMb);
    return 0;
}
