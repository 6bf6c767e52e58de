#pragma once

#include <windows.h>

#include <cstddef>
#include <cstdint>
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
class Win32Clipboard : public core::Clipboard {
public:
    Win32Clipboard();
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
    core::TextBuffer readText();
    void putUtf8(std::string_view text);

    // The clipboard is opened for this hidden window of the clipboard's own, which then owns
    // what it puts there: Windows sets no text for a clipboard opened for no window.
    HWND owner_;
};

}  // namespace sorvane::win32
