#pragma once

#include <string>

struct xcb_connection_t;

namespace sorvane::ui {

/// What a read of the X clipboard came to.
enum class SelectionRead {
    kDelivered,    ///< the owner sent its text
    kRefused,      ///< the owner sends no text under that name, or there is no owner
    kTimedOut,     ///< the owner kept silent for longer than an answer may take
    kVanished,     ///< the owner went away, or sent something broken, before the text was whole
    kUnavailable,  ///< no second connection to the same X server could be made
};

struct SelectionText {
    SelectionRead outcome = SelectionRead::kUnavailable;
    std::string bytes;  ///< what the owner sent, as it sent it
};

/// Reads the CLIPBOARD selection as `target` (an X atom name such as UTF8_STRING) from the
/// program that owns it, over a connection of this program's own to the X server that
/// `sameServerAs` talks to, straight into one buffer: large texts come in chunks (the INCR
/// transfer), which are appended where they will stay. Qt's own clipboard converts a text
/// offered as UTF8_STRING to UTF-16 and back, four times the memory of the text at once, and
/// cannot tell a transfer that failed from an empty text. Waits up to five seconds for each
/// answer of the owner, as Qt does.
///
/// Blocks the calling thread, so it must not be asked while this program owns the clipboard:
/// nothing would answer.
SelectionText readClipboardSelection(xcb_connection_t* sameServerAs, const char* target);

}  // namespace sorvane::ui
