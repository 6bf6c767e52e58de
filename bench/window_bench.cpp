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

#include "bench_support.h"
#include "principal.h"
#include "system_clipboard.h"

namespace {

using sorvane::bench::peakMemoryMb;

// Runs `step`, then lets the window paint what it changed; returns the milliseconds it took.
double timed(const std::function<void()>& step) {
    return sorvane::bench::millis([&] {
        step();
        QApplication::processEvents();
    });
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

// What the window's commands took, and its peak memory on the way.
struct WindowFigures {
    double pasteMs[2] = {}, waitMs[2] = {}, pastePeakMb[2] = {};
    double compareMs = 0, comparePeakMb = 0, sortMs = 0, sortNumbersMs = 0, sortPeakMb = 0;
    double scrollMs = 0, copyMs[4] = {}, copyOwnMs[4] = {}, peakMb = 0;
    QString counts, results;
};

void pasteBoth(sorvane::ui::Principal& window, TimedClipboard& clipboard, char** lists,
               const QString& target, WindowFigures& f) {
    for (int side = 0; side < 2; ++side) {
        offer(QString::fromLocal8Bit(lists[side]), target);
        f.pasteMs[side] = timed([&] { trigger(window, 1 + side); });
        f.waitMs[side] = clipboard.waitMs;
        f.pastePeakMb[side] = peakMemoryMb();
    }
    f.counts = window.findChild<QLabel*>("Label11")->text() + " / " +
               window.findChild<QLabel*>("Label12")->text();
}

void compareSortScroll(sorvane::ui::Principal& window, WindowFigures& f) {
    window.findChild<QComboBox*>("Combo1_0")->setEditText("1");
    window.findChild<QComboBox*>("Combo2_0")->setEditText("1");
    f.compareMs = timed([&] { window.findChild<QPushButton*>("Command1")->click(); });
    f.comparePeakMb = peakMemoryMb();
    auto* list1 = window.findChild<QTableView*>("ListView1");
    f.sortMs = timed([&] { emit list1->horizontalHeader()->sectionClicked(0); });
    f.sortNumbersMs = timed([&] { emit list1->horizontalHeader()->sectionClicked(1); });
    f.sortPeakMb = peakMemoryMb();
    f.scrollMs = timed([&] {
        list1->verticalScrollBar()->setValue(list1->verticalScrollBar()->maximum());
        list1->viewport()->repaint();
    });
}

// Copies a result list and reads it back as another program would, into `file`, so what it
// reads is not counted in this process's memory; returns the milliseconds the whole took, and
// the window's own part in `ownMs`.
double copyAndRead(sorvane::ui::Principal& window, int toolbar, const QString& file, double& ownMs) {
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
}

// Copies the four result lists into `out`, keeping the files and the count labels only where
// `keep`.
void copyAll(sorvane::ui::Principal& window, const QString& out, bool keep, WindowFigures& f) {
    const char* const names[4] = {"matches1.tsv", "matches2.tsv", "notfound1.tsv", "notfound2.tsv"};
    QString countLines;
    for (int k = 0; k < 4; ++k) {
        press();
        const QString file = QDir(out).filePath(QString::fromLatin1(names[k]));
        f.copyMs[k] = copyAndRead(window, 3 + k, file, f.copyOwnMs[k]);
        countLines += window.findChild<QLabel*>(QStringLiteral("Label%1").arg(13 + k))->text() + "\n";
        if (!keep) QFile::remove(file);
    }
    f.peakMb = peakMemoryMb();
    if (keep) {
        QFile counts(QDir(out).filePath("counts.txt"));
        if (counts.open(QIODevice::WriteOnly)) counts.write(countLines.toUtf8());
    }
    f.results = countLines.trimmed().replace('\n', QStringLiteral(" / "));
}

void report(const WindowFigures& f) {
    using sorvane::bench::printFigures;
    std::printf("counts: %s; results: %s\n", qPrintable(f.counts), qPrintable(f.results));
    printFigures({{"paste1_ms", f.pasteMs[0]}, {"paste2_ms", f.pasteMs[1]},
                  {"compare_ms", f.compareMs}, {"sort_ms", f.sortMs},
                  {"sort_numbers_ms", f.sortNumbersMs}, {"scroll_ms", f.scrollMs}});
    printFigures({{"paste1_wait_ms", f.waitMs[0]}, {"paste2_wait_ms", f.waitMs[1]},
                  {"paste1_own_ms", f.pasteMs[0] - f.waitMs[0]},
                  {"paste2_own_ms", f.pasteMs[1] - f.waitMs[1]}});
    printFigures({{"copy_matches1_ms", f.copyMs[0]}, {"copy_matches2_ms", f.copyMs[1]},
                  {"copy_notfound1_ms", f.copyMs[2]}, {"copy_notfound2_ms", f.copyMs[3]}});
    printFigures({{"copy_matches1_own_ms", f.copyOwnMs[0]}, {"copy_matches2_own_ms", f.copyOwnMs[1]},
                  {"copy_notfound1_own_ms", f.copyOwnMs[2]},
                  {"copy_notfound2_own_ms", f.copyOwnMs[3]}});
    printFigures({{"peak_rss_mb", f.peakMb}, {"after_paste1_mb", f.pastePeakMb[0]},
                  {"after_paste2_mb", f.pastePeakMb[1]}, {"after_compare_mb", f.comparePeakMb},
                  {"after_sort_mb", f.sortPeakMb}});
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
    WindowFigures figures;
    pasteBoth(window, clipboard, argv + 1, target, figures);
    compareSortScroll(window, figures);
    copyAll(window, out, keep, figures);
    report(figures);
    return 0;
}
