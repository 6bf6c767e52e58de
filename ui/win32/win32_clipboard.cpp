#include "win32_clipboard.h"

#include <algorithm>
#include <condition_variable>
#include <cwchar>
#include <exception>
#include <mutex>
#include <thread>

#include "clipboard_text.h"
#include "handles.h"
#include "step_runner.h"
#include "wide_text.h"

namespace sorvane::win32 {
namespace {

// The system's description of an error, without the line end and full stop that it ends with
// (the error report adds its own).
std::string describe(DWORD code) {
    wchar_t* text = nullptr;
    const DWORD length = FormatMessageW(
        FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
        nullptr, code, 0, reinterpret_cast<wchar_t*>(&text), 0, nullptr);
    std::wstring_view message(text, length);
    while (!message.empty() && (std::iswspace(message.back()) || message.back() == L'.')) {
        message.remove_suffix(1);
    }
    std::string described = utf8(message);
    LocalFree(text);
    if (described.empty()) described = "System error " + std::to_string(code);
    return described;
}

// The failure of the system call just made, as its error number and description.
[[noreturn]] void failWithLastError() {
    const DWORD code = GetLastError();
    throw core::StepError(static_cast<std::int32_t>(code), describe(code));
}

// Whether a message is the user's input, which a window that waits must not take.
bool isInput(UINT message) {
    if (message >= WM_KEYFIRST && message <= WM_KEYLAST) return true;
    if (message > WM_MOUSEMOVE && message <= WM_MOUSELAST) return true;  // buttons and wheels
    if (message >= WM_NCLBUTTONDOWN && message <= WM_NCXBUTTONDBLCLK) return true;
    return message == WM_SYSCOMMAND || message == WM_CLOSE;  // the close box, Alt+F4, the taskbar
}

// The clipboard, open while this lives.
class OpenClipboardGuard {
public:
    explicit OpenClipboardGuard(HWND owner) {
        if (!OpenClipboard(owner)) failWithLastError();
    }
    ~OpenClipboardGuard() { CloseClipboard(); }
    OpenClipboardGuard(const OpenClipboardGuard&) = delete;
    OpenClipboardGuard& operator=(const OpenClipboardGuard&) = delete;
};

}  // namespace

// One read of the clipboard's text. Its thread opens the clipboard and waits in
// GetClipboardData until the program that copied the text has sent it. While the window waits,
// the block stays the clipboard's, and the clipboard open, until the window has made its
// records; a text that comes when nobody waits any more is let go at once, with the clipboard,
// which other programs may then use.
struct Win32Clipboard::PendingRead {
    explicit PendingRead(DWORD sequence)
        : sequence(sequence), handed(CreateEventW(nullptr, TRUE, FALSE, nullptr)) {}
    ~PendingRead() {
        if (handed != nullptr) CloseHandle(handed);
    }
    PendingRead(const PendingRead&) = delete;
    PendingRead& operator=(const PendingRead&) = delete;

    // Runs on the read's own thread.
    void read() {
        const bool open = OpenClipboard(nullptr);
        try {
            if (!open) failWithLastError();
            if (IsClipboardFormatAvailable(CF_UNICODETEXT)) {
                SetLastError(0);
                data = GetClipboardData(CF_UNICODETEXT);
                if (data == nullptr) {
                    // Offered, yet not handed over: the program that owns the clipboard did not
                    // send its text, or went away.
                    if (GetLastError() != 0) failWithLastError();
                    throw core::textNotSent(core::NotSent::kUnknown);
                }
            }
        } catch (...) {
            error = std::current_exception();
        }
        std::unique_lock lock(mutex);
        SetEvent(handed);
        if (!open) return;
        change.wait(lock, [this] { return released || !waiting; });
        if (!released) letGo = true;
        CloseClipboard();
    }

    // Whether the window waits for the text: while it does not, a text that comes is let go.
    void setWaiting(bool wait) {
        {
            const std::lock_guard lock(mutex);
            waiting = wait;
        }
        change.notify_one();
    }

    bool handedOver() const { return WaitForSingleObject(handed, 0) == WAIT_OBJECT_0; }

    // Lets the thread close the clipboard and end, once the text is in records.
    void release() {
        {
            const std::lock_guard lock(mutex);
            released = true;
        }
        change.notify_one();
    }

    // Whether the text came, or why it did not, and was not let go.
    bool usable() {
        const std::lock_guard lock(mutex);
        return WaitForSingleObject(handed, 0) == WAIT_OBJECT_0 && !letGo;
    }

    const DWORD sequence;   // the clipboard's content the read is of
    HANDLE handed;          // set once the text, or why there is none, is in
    HANDLE data = nullptr;  // the clipboard's CF_UNICODETEXT; none where it offers no text
    std::exception_ptr error;
    std::thread thread;
    std::mutex mutex;
    std::condition_variable change;
    bool waiting = true;
    bool released = false;
    bool letGo = false;
};

Win32Clipboard::Win32Clipboard(DWORD readLimitMs)
    : owner_(CreateWindowExW(0, L"STATIC", L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr,
                             GetModuleHandleW(nullptr), nullptr)),
      readLimitMs_(readLimitMs) {}

Win32Clipboard::~Win32Clipboard() {
    abandonRead();
    if (owner_ != nullptr) DestroyWindow(owner_);
}

void Win32Clipboard::abandonRead() {
    if (!pending_) return;
    // Its thread still waits for a program that may never answer: it closes the clipboard and
    // ends when that program does, or with the process.
    pending_->release();
    pending_->thread.detach();
    pending_.reset();
}

core::TextBuffer Win32Clipboard::text() {
    for (;;) {
        // A read that was waited for in vain goes on, and the next one waits for its answer;
        // unless that answer came, and was let go, or the clipboard holds something else now.
        const DWORD sequence = GetClipboardSequenceNumber();
        if (pending_ && pending_->handedOver() &&
            (pending_->sequence != sequence || !pending_->usable())) {
            abandonRead();
        }
        if (!pending_) {
            auto read = std::make_shared<PendingRead>(sequence);
            if (read->handed == nullptr) failWithLastError();
            read->thread = std::thread([read] { read->read(); });
            pending_ = std::move(read);
        }
        pending_->setWaiting(true);
        if (!waitAnswering(pending_->handed, readLimitMs_)) {
            pending_->setWaiting(false);
            throw core::textNotSent(core::NotSent::kSilent);
        }
        if (pending_->usable()) break;
    }
    const std::shared_ptr<PendingRead> read = std::move(pending_);
    core::TextBuffer records;
    std::exception_ptr error = read->error;
    if (!error && read->data != nullptr) {
        try {
            records = recordsOf(read->data);
        } catch (...) {
            error = std::current_exception();
        }
    }
    read->release();
    read->thread.join();
    if (error) std::rethrow_exception(error);
    // Wine keeps the UTF-16 text it handed over in this process (for ASCII, twice the size of
    // the list made of it) until the clipboard is next opened while another program owns it.
    // Opening it once more lets that block go now, while the list is worked on, not at the next
    // paste. Where nothing is kept, as when this program owns the clipboard, the second opening
    // is all it costs.
    if (OpenClipboard(owner_)) CloseClipboard();
    return records;
}

core::TextBuffer Win32Clipboard::recordsOf(HANDLE data) {
    GlobalLockGuard lock(data);
    if (lock.data() == nullptr) failWithLastError();
    // The block may be larger than its text, and hold bytes past the NUL that ends it.
    const auto* units = static_cast<const char16_t*>(lock.data());
    const std::size_t room = GlobalSize(data) / sizeof(char16_t);
    const std::size_t length = std::find(units, units + room, u'\0') - units;
    return recordsText(std::u16string_view(units, length));
}

core::TextBuffer Win32Clipboard::recordsText(std::u16string_view text) {
    return core::recordsTextOfUtf16(text);
}

void Win32Clipboard::clear() {
    OpenClipboardGuard open(owner_);
    if (!EmptyClipboard()) failWithLastError();
}

void Win32Clipboard::setText(const std::string& text) { putUtf8(text); }

void Win32Clipboard::putText(std::size_t length) { putUtf8(std::string_view(room(), length)); }

void Win32Clipboard::putUtf8(std::string_view text) {
    const std::size_t units = core::utf16Length(text);
    GlobalMemory block(GlobalAlloc(GMEM_MOVEABLE, (units + 1) * sizeof(char16_t)));
    if (!block) failWithLastError();
    {
        GlobalLockGuard lock(block.get());
        if (lock.data() == nullptr) failWithLastError();
        auto* out = static_cast<char16_t*>(lock.data());
        core::writeUtf16(text, out);
        out[units] = u'\0';
    }
    handOver(block.get());
    block.release();  // the clipboard's now
}

bool waitAnswering(HANDLE event, DWORD limitMs) {
    const ULONGLONG deadline = GetTickCount64() + limitMs;
    bool quit = false;
    int exitCode = 0;
    bool came = false;
    for (;;) {
        MSG message;
        while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
            if (message.message == WM_QUIT) {
                quit = true;  // for the message loop, once the wait is over
                exitCode = static_cast<int>(message.wParam);
            } else if (!isInput(message.message)) {
                TranslateMessage(&message);
                DispatchMessageW(&message);
            }
        }
        const ULONGLONG now = GetTickCount64();
        const DWORD left = now >= deadline ? 0 : static_cast<DWORD>(deadline - now);
        const DWORD woke =
            MsgWaitForMultipleObjectsEx(1, &event, left, QS_ALLINPUT, MWMO_INPUTAVAILABLE);
        if (woke == WAIT_OBJECT_0) {
            came = true;
            break;
        }
        if (woke != WAIT_OBJECT_0 + 1) break;  // the limit, or a wait that failed
    }
    if (quit) PostQuitMessage(exitCode);
    return came;
}

void Win32Clipboard::handOver(HGLOBAL block) {
    OpenClipboardGuard open(owner_);
    // Emptied in the same opening, so that the text is this program's alone, with no format of
    // the clipboard's earlier owner beside it.
    if (!EmptyClipboard()) failWithLastError();
    if (SetClipboardData(CF_UNICODETEXT, block) == nullptr) failWithLastError();
}

}  // namespace sorvane::win32
