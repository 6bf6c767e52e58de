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
// Prints name=value figures in milliseconds and megabytes; last, the same commands on the core
// alone, without the window, for what the window adds to each.

#include <windows.h>
#include <commctrl.h>
#include <psapi.h>

#include <chrono>
#include <cstdio>
#include <functional>
#include <algorithm>
#include <string>

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
    const auto start = Clock::now();
    step();
    settle(window);
    return msSince(start);
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

// The window's part of the error report, for the core run without a window: nothing fails there.
class NoWindow : public sorvane::core::CommandUi {
public:
    void setPointer(sorvane::core::Pointer) override {}
    sorvane::core::Answer askRetry(const std::string&) override {
        return sorvane::core::Answer::Cancel;
    }
};

std::string captionOf(HWND control) {
    wchar_t buffer[128] = {};
    GetWindowTextW(control, buffer, 128);
    std::string out;
    for (const wchar_t* c = buffer; *c != 0; ++c) out.push_back(static_cast<char>(*c));
    return out;
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
    const double startupMs = msSince(start);
    const Memory atStart = peakMemory();

    double pasteMs[2];
    double waitMs[2];
    double convertMs[2];
    double setMs[2];
    std::size_t bytes = 0;
    for (int side = 0; side < 2; ++side) {
        bytes += offer(argv[1 + side], setMs[side]);
        pasteMs[side] = timed(window.hwnd(),
                              [&] { click(window, side == 0 ? Id::Toolbar1 : Id::Toolbar2); });
        waitMs[side] = clipboard.waitMs;
        convertMs[side] = clipboard.convertMs;
    }
    const Memory afterPastes = peakMemory();

    SetWindowTextW(window.control(Id::Combo1_0), L"1");
    SetWindowTextW(window.control(Id::Combo2_0), L"1");
    const double compareMs = timed(window.hwnd(), [&] {
        SendMessageW(window.hwnd(), WM_COMMAND,
                     MAKEWPARAM(Principal::controlNumber(Id::Command1), BN_CLICKED),
                     reinterpret_cast<LPARAM>(window.control(Id::Command1)));
    });
    const Memory afterCompare = peakMemory();
    const double sortMs = timed(window.hwnd(), [&] { clickHeader(window, Id::ListView1, 0); });
    const double sortNumbersMs =
        timed(window.hwnd(), [&] { clickHeader(window, Id::ListView1, 1); });
    const Memory afterSort = peakMemory();

    const Id toolbars[4] = {Id::Toolbar3, Id::Toolbar4, Id::Toolbar5, Id::Toolbar6};
    double copyMs[4];
    double handOverMs[4];
    for (int k = 0; k < 4; ++k) {
        clipboard.handOverMs = 0;
        copyMs[k] = timed(window.hwnd(), [&] { click(window, toolbars[k]); });
        handOverMs[k] = clipboard.handOverMs;
    }
    const Memory peak = peakMemory();

    // The same commands on the core alone, without a window, for what the window adds to each.
    double corePasteMs[2];
    double coreCopyMs[4];
    double coreCompareMs = 0;
    double coreSortMs = 0;
    double coreSortNumbersMs = 0;
    {
        using sorvane::core::ListId;
        NoWindow ui;
        sorvane::core::Workspace alone(",", "");
        for (int side = 0; side < 2; ++side) {
            double ignored = 0;
            offer(argv[1 + side], ignored);
            const auto at = Clock::now();
            alone.paste(side == 0 ? sorvane::core::Side::List1 : sorvane::core::Side::List2,
                        clipboard, ui);
            corePasteMs[side] = msSince(at) - clipboard.waitMs;
        }
        const sorvane::core::ChooserTexts texts{{"1"}, {"1"}};
        auto at = Clock::now();
        alone.compare(texts);
        coreCompareMs = msSince(at);
        at = Clock::now();
        alone.headerClicked(ListId::List1, 0);
        coreSortMs = msSince(at);
        at = Clock::now();
        alone.headerClicked(ListId::List1, 1);
        coreSortNumbersMs = msSince(at);
        const ListId results[4] = {ListId::Matches1, ListId::Matches2, ListId::NotFound1,
                                   ListId::NotFound2};
        for (int k = 0; k < 4; ++k) {
            clipboard.handOverMs = 0;
            at = Clock::now();
            alone.copy(results[k], clipboard, ui);
            coreCopyMs[k] = msSince(at) - clipboard.handOverMs;
        }
    }

    std::printf("counts: %s / %s; results: %s / %s / %s / %s\n",
                captionOf(window.control(Id::Label11)).c_str(),
                captionOf(window.control(Id::Label12)).c_str(),
                captionOf(window.control(Id::Label13)).c_str(),
                captionOf(window.control(Id::Label14)).c_str(),
                captionOf(window.control(Id::Label15)).c_str(),
                captionOf(window.control(Id::Label16)).c_str());
    std::printf("startup_ms=%.0f startup_working_set_mb=%.0f\n", startupMs, atStart.workingSetMb);
    std::printf("paste1_ms=%.0f paste2_ms=%.0f paste1_wait_ms=%.0f paste2_wait_ms=%.0f "
                "paste1_own_ms=%.0f paste2_own_ms=%.0f\n",
                pasteMs[0], pasteMs[1], waitMs[0], waitMs[1], pasteMs[0] - waitMs[0],
                pasteMs[1] - waitMs[1]);
    std::printf("paste1_convert_ms=%.0f paste2_convert_ms=%.0f\n", convertMs[0], convertMs[1]);
    std::printf("offer1_set_ms=%.0f offer2_set_ms=%.0f\n", setMs[0], setMs[1]);
    std::printf("compare_ms=%.0f sort_ms=%.0f sort_numbers_ms=%.0f\n", compareMs, sortMs,
                sortNumbersMs);
    std::printf("copy_matches1_ms=%.0f copy_matches2_ms=%.0f copy_notfound1_ms=%.0f "
                "copy_notfound2_ms=%.0f\n",
                copyMs[0], copyMs[1], copyMs[2], copyMs[3]);
    std::printf("copy_matches1_own_ms=%.0f copy_matches2_own_ms=%.0f copy_notfound1_own_ms=%.0f "
                "copy_notfound2_own_ms=%.0f\n",
                copyMs[0] - handOverMs[0], copyMs[1] - handOverMs[1], copyMs[2] - handOverMs[2],
                copyMs[3] - handOverMs[3]);
    std::printf("copy_matches1_handover_ms=%.0f copy_matches2_handover_ms=%.0f "
                "copy_notfound1_handover_ms=%.0f copy_notfound2_handover_ms=%.0f\n",
                handOverMs[0], handOverMs[1], handOverMs[2], handOverMs[3]);
    std::printf("lists_mb=%.0f peak_working_set_mb=%.0f peak_private_mb=%.0f (working set after "
                "pastes: %.0f, after compare: %.0f, after sort: %.0f)\n",
                static_cast<double>(bytes) / (1 << 20), peak.workingSetMb, peak.privateMb,
                afterPastes.workingSetMb, afterCompare.workingSetMb, afterSort.workingSetMb);
    std::printf("without the window: core_paste1_own_ms=%.0f core_paste2_own_ms=%.0f "
                "core_compare_ms=%.0f core_sort_ms=%.0f core_sort_numbers_ms=%.0f "
                "core_copy_ms=%.0f/%.0f/%.0f/%.0f\n",
                corePasteMs[0], corePasteMs[1], coreCompareMs, coreSortMs, coreSortNumbersMs,
                coreCopyMs[0], coreCopyMs[1], coreCopyMs[2], coreCopyMs[3]);
    return 0;
}
