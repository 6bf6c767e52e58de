#pragma once

#include <windows.h>

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

#include "clipboard.h"

namespace sorvane::win32 {

/// The Windows clipboard's text (CF_UNICODETEXT), as the toolbar commands use it. Windows offers
/// every text as CF_UNICODETEXT, making it from the older formats where a program gave only
/// those; Wine makes it from the X clipboard's text.
///
/// Each operation that Windows refuses throws core::StepError with the system's error number and
/// its description. A text that the clipboard offers but that never arrives fails too
/// (core::textNotSent): an empty list must not pass for the records of a text that never came.
/// Only a clipboard that offers no text pastes as empty.
///
/// A spreadsheet makes the text of a million copied rows only when it is asked for, which takes
/// seconds; the text is read on a thread of its own, and meanwhile the window goes on painting
/// (see waitAnswering). A program that has sent nothing after the read limit ends the read with
/// core::textNotSent; the next read of the same clipboard (Retry) waits for the same answer
/// again, since the system will not ask that program twice at once.
class Win32Clipboard : public core::Clipboard {
public:
    /// How long a read waits for the program that copied the text: as long as Windows waits.
    static constexpr DWORD kReadLimitMs = 30'000;

    /// The clipboard, whose reads wait at most `readLimitMs` for their text.
    explicit Win32Clipboard(DWORD readLimitMs = kReadLimitMs);
    ~Win32Clipboard() override;
    Win32Clipboard(const Win32Clipboard&) = delete;
    Win32Clipboard& operator=(const Win32Clipboard&) = delete;

    core::TextBuffer text() override;
    void clear() override;
    void setText(const std::string& text) override;
    /// Converts the text in the room to UTF-16 straight into the block handed to the clipboard.
    void putText(std::size_t length) override;

protected:
    /// The records text of the UTF-16 that the clipboard handed over, up to its first NUL.
    virtual core::TextBuffer recordsText(std::u16string_view text);

    /// Empties the clipboard and hands it `block`, a CF_UNICODETEXT text, which it then owns.
    virtual void handOver(HGLOBAL block);

private:
    struct PendingRead;
    core::TextBuffer recordsOf(HANDLE data);
    void putUtf8(std::string_view text);
    void abandonRead();

    // The clipboard is opened for this hidden window of the clipboard's own, which then owns
    // what it puts there: Windows sets no text for a clipboard opened for no window.
    HWND owner_;
    DWORD readLimitMs_;
    std::shared_ptr<PendingRead> pending_;  // a read still waiting for its text, if any
};

/// Waits for `event` at most `limitMs`, while the thread's windows go on answering: they paint,
/// follow size and DPI changes and show the busy pointer, but take no click or key, which would
/// start another command inside the one that waits, and cannot be closed. Returns whether the
/// event came.
bool waitAnswering(HANDLE event, DWORD limitMs);

}  // namespace sorvane::win32
