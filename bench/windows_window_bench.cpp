// Times the Windows window's commands on large lists, as bench/window_bench.cpp does for the Qt
// window: start-up to a shown window; each paste from the click to the repainted window, split
// into the wait for the clipboard's text and the window's own work; Compare; a header-click
// sort of List 1 by column 1, then by column 2; each result list copied, split into the
// window's own work (the text made and converted to UTF-16) and the clipboard's taking it; the
// process's peak memory. Each list is put on the clipboard as CF_UNICODETEXT by the bench itself
// first, as a spreadsheet would put it there. Run it under Wine with an X display (Xvfb will
// do; scripts/bench-windows does it all), or on Windows:
//
//   sorvane-window-bench LIST1 LIST2
//
// Prints name=value figures in milliseconds and megabytes. The engine's own part of each command,
// without a window, is sorvane-bench's to measure, as on Linux.

#include <windows.h>
#include <commctrl.h>
#include <psapi.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <functional>
#include <string>

#include "bench_support.h"
#include "principal.h"
#include "win32_clipboard.h"

namespace {

using Clock = std::chrono::steady_clock;
using Id = sorvane::form::ControlId;
using sorvane::win32::Principal;

double msSince(Clock::time_point start) {
    return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

// Lets the window handle and paint everything that waits, as it would before the user sees it.
void settle(HWND window) {
    RedrawWindow(window, nullptr, nullptr, RDW_UPDATENOW | RDW_ALLCHILDREN);
    MSG message;
    while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
}

// Runs `step`, then lets the window paint what it changed; returns the milliseconds it took.
double timed(HWND window, const std::function<void()>& step) {
    return sorvane::bench::millis([&] {
        step();
        settle(window);
    });
}

struct Memory {
    double workingSetMb;
    double privateMb;
};

Memory peakMemory() {
    PROCESS_MEMORY_COUNTERS counters{};
    counters.cb = sizeof(counters);
    GetProcessMemoryInfo(GetCurrentProcess(), &counters, sizeof(counters));
    return {static_cast<double>(counters.PeakWorkingSetSize) / (1 << 20),
            static_cast<double>(counters.PeakPagefileUsage) / (1 << 20)};
}

// Puts a UTF-8 file on the clipboard as CF_UNICODETEXT, converted a part at a time straight
// into the block the clipboard takes, so that the bench holds no other copy of it; returns the
// file's size in bytes. `setMs` is what handing the block to the clipboard took, which a copy of
// a list of that size takes too.
std::size_t offer(const wchar_t* path, double& setMs) {
    // The clipboard lets go of the last list first. A spreadsheet holds what it copies in its
    // own memory; here the bench is that program, and its last list must not count twice
    // towards the window's peak while the next one is made.
    OpenClipboard(nullptr);
    EmptyClipboard();
    CloseClipboard();
    const HANDLE file = CreateFileW(path, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                    FILE_FLAG_SEQUENTIAL_SCAN, nullptr);
    LARGE_INTEGER size{};
    GetFileSizeEx(file, &size);
    const auto bytes = static_cast<std::size_t>(size.QuadPart);
    // ASCII needs one unit a byte, and no UTF-8 sequence makes more units than bytes.
    HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE, (bytes + 1) * sizeof(wchar_t));
    auto* out = static_cast<wchar_t*>(GlobalLock(block));
    std::size_t units = 0;
    std::string part(1 << 20, '\0');
    std::size_t kept = 0;  // bytes of a character cut at the end of the last part
    for (;;) {
        DWORD read = 0;
        ReadFile(file, part.data() + kept, static_cast<DWORD>(part.size() - kept), &read, nullptr);
        std::size_t have = kept + read;
        if (have == 0) break;
        std::size_t whole = have;
        if (read != 0) {
            while (whole > 0 && (static_cast<unsigned char>(part[whole - 1]) & 0xC0) == 0x80) --whole;
            if (whole > 0 && static_cast<unsigned char>(part[whole - 1]) >= 0xC0) --whole;
        }
        units += static_cast<std::size_t>(MultiByteToWideChar(
            CP_UTF8, 0, part.data(), static_cast<int>(whole), out + units,
            static_cast<int>(bytes + 1 - units)));
        kept = have - whole;
        std::copy(part.begin() + static_cast<std::ptrdiff_t>(whole),
                  part.begin() + static_cast<std::ptrdiff_t>(have), part.begin());
        if (read == 0) break;
    }
    out[units] = L'\0';
    GlobalUnlock(block);
    CloseHandle(file);
    const auto start = Clock::now();
    OpenClipboard(nullptr);
    EmptyClipboard();
    SetClipboardData(CF_UNICODETEXT, block);
    CloseClipboard();
    setMs = msSince(start);
    return bytes;
}

// The system clipboard, timing how long each read waits for the text to be handed over, and
// how long the clipboard takes to take each copy's text, once made.
class TimedClipboard : public sorvane::win32::Win32Clipboard {
public:
    double waitMs = 0;
    double convertMs = 0;
    double handOverMs = 0;

    sorvane::core::TextBuffer text() override {
        start_ = Clock::now();
        return Win32Clipboard::text();
    }

protected:
    void handOver(HGLOBAL block) override {
        const auto start = Clock::now();
        Win32Clipboard::handOver(block);
        handOverMs = msSince(start);
    }

    sorvane::core::TextBuffer recordsText(std::u16string_view text) override {
        waitMs = msSince(start_);
        const auto start = Clock::now();
        sorvane::core::TextBuffer records = Win32Clipboard::recordsText(text);
        convertMs = msSince(start);
        return records;
    }

private:
    Clock::time_point start_;
};

// A click on the one button of a toolbar, as the toolbar tells the window of it.
void click(const Principal& window, Id toolbar) {
    SendMessageW(window.hwnd(), WM_COMMAND,
                 MAKEWPARAM(Principal::controlNumber(toolbar), BN_CLICKED),
                 reinterpret_cast<LPARAM>(window.control(toolbar)));
}

// A click on header `column` (0-based) of a list view, as the list view tells the window of it.
void clickHeader(const Principal& window, Id list, int column) {
    NMLISTVIEW click{};
    click.hdr.hwndFrom = window.control(list);
    click.hdr.idFrom = static_cast<UINT_PTR>(Principal::controlNumber(list));
    click.hdr.code = LVN_COLUMNCLICK;
    click.iItem = -1;
    click.iSubItem = column;
    SendMessageW(window.hwnd(), WM_NOTIFY, click.hdr.idFrom, reinterpret_cast<LPARAM>(&click));
}

std::string captionOf(HWND control) {
    wchar_t buffer[128] = {};
    GetWindowTextW(control, buffer, 128);
    std::string out;
    for (const wchar_t* c = buffer; *c != 0; ++c) out.push_back(static_cast<char>(*c));
    return out;
}

// What the window's commands took, and its memory on the way.
struct WindowFigures {
    double startupMs = 0;
    Memory atStart{}, afterPastes{}, afterCompare{}, afterSort{}, peak{};
    double pasteMs[2] = {}, waitMs[2] = {}, convertMs[2] = {}, setMs[2] = {};
    double compareMs = 0, sortMs = 0, sortNumbersMs = 0;
    double copyMs[4] = {}, handOverMs[4] = {};
    std::size_t bytes = 0;
};

void pasteBoth(const Principal& window, TimedClipboard& clipboard, wchar_t** lists,
               WindowFigures& f) {
    for (int side = 0; side < 2; ++side) {
        f.bytes += offer(lists[side], f.setMs[side]);
        f.pasteMs[side] = timed(window.hwnd(),
                                [&] { click(window, side == 0 ? Id::Toolbar1 : Id::Toolbar2); });
        f.waitMs[side] = clipboard.waitMs;
        f.convertMs[side] = clipboard.convertMs;
    }
    f.afterPastes = peakMemory();
}

void compareAndSort(const Principal& window, WindowFigures& f) {
    SetWindowTextW(window.control(Id::Combo1_0), L"1");
    SetWindowTextW(window.control(Id::Combo2_0), L"1");
    f.compareMs = timed(window.hwnd(), [&] {
        SendMessageW(window.hwnd(), WM_COMMAND,
                     MAKEWPARAM(Principal::controlNumber(Id::Command1), BN_CLICKED),
                     reinterpret_cast<LPARAM>(window.control(Id::Command1)));
    });
    f.afterCompare = peakMemory();
    f.sortMs = timed(window.hwnd(), [&] { clickHeader(window, Id::ListView1, 0); });
    f.sortNumbersMs = timed(window.hwnd(), [&] { clickHeader(window, Id::ListView1, 1); });
    f.afterSort = peakMemory();
}

void copyAll(const Principal& window, TimedClipboard& clipboard, WindowFigures& f) {
    const Id toolbars[4] = {Id::Toolbar3, Id::Toolbar4, Id::Toolbar5, Id::Toolbar6};
    for (int k = 0; k < 4; ++k) {
        clipboard.handOverMs = 0;
        f.copyMs[k] = timed(window.hwnd(), [&] { click(window, toolbars[k]); });
        f.handOverMs[k] = clipboard.handOverMs;
    }
    f.peak = peakMemory();
}

void report(const Principal& window, const WindowFigures& f) {
    using sorvane::bench::printFigures;
    std::printf("counts: %s / %s; results: %s / %s / %s / %s\n",
                captionOf(window.control(Id::Label11)).c_str(),
                captionOf(window.control(Id::Label12)).c_str(),
                captionOf(window.control(Id::Label13)).c_str(),
                captionOf(window.control(Id::Label14)).c_str(),
                captionOf(window.control(Id::Label15)).c_str(),
                captionOf(window.control(Id::Label16)).c_str());
    printFigures({{"startup_ms", f.startupMs}, {"startup_working_set_mb", f.atStart.workingSetMb}});
    printFigures({{"paste1_ms", f.pasteMs[0]}, {"paste2_ms", f.pasteMs[1]},
                  {"paste1_wait_ms", f.waitMs[0]}, {"paste2_wait_ms", f.waitMs[1]},
                  {"paste1_own_ms", f.pasteMs[0] - f.waitMs[0]},
                  {"paste2_own_ms", f.pasteMs[1] - f.waitMs[1]}});
    printFigures({{"paste1_convert_ms", f.convertMs[0]}, {"paste2_convert_ms", f.convertMs[1]},
                  {"offer1_set_ms", f.setMs[0]}, {"offer2_set_ms", f.setMs[1]}});
    printFigures({{"compare_ms", f.compareMs}, {"sort_ms", f.sortMs},
                  {"sort_numbers_ms", f.sortNumbersMs}});
    printFigures({{"copy_matches1_ms", f.copyMs[0]}, {"copy_matches2_ms", f.copyMs[1]},
                  {"copy_notfound1_ms", f.copyMs[2]}, {"copy_notfound2_ms", f.copyMs[3]}});
    printFigures({{"copy_matches1_own_ms", f.copyMs[0] - f.handOverMs[0]},
                  {"copy_matches2_own_ms", f.copyMs[1] - f.handOverMs[1]},
                  {"copy_notfound1_own_ms", f.copyMs[2] - f.handOverMs[2]},
                  {"copy_notfound2_own_ms", f.copyMs[3] - f.handOverMs[3]}});
    printFigures({{"copy_matches1_handover_ms", f.handOverMs[0]},
                  {"copy_matches2_handover_ms", f.handOverMs[1]},
                  {"copy_notfound1_handover_ms", f.handOverMs[2]},
                  {"copy_notfound2_handover_ms", f.handOverMs[3]}});
    printFigures({{"lists_mb", static_cast<double>(f.bytes) / (1 << 20)},
                  {"peak_working_set_mb", f.peak.workingSetMb},
                  {"peak_private_mb", f.peak.privateMb},
                  {"after_pastes_working_set_mb", f.afterPastes.workingSetMb},
                  {"after_compare_working_set_mb", f.afterCompare.workingSetMb},
                  {"after_sort_working_set_mb", f.afterSort.workingSetMb}});
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    const auto start = Clock::now();
    if (argc != 3) {
        std::fprintf(stderr, "usage: sorvane-window-bench LIST1 LIST2\n");
        return 64;
    }
    TimedClipboard clipboard;
    Principal window(&clipboard);
    window.show(SW_SHOWNORMAL);
    settle(window.hwnd());
    WindowFigures figures;
    figures.startupMs = msSince(start);
    figures.atStart = peakMemory();
    pasteBoth(window, clipboard, argv + 1, figures);
    compareAndSort(window, figures);
    copyAll(window, clipboard, figures);
    report(window, figures);
    return 0;
}
