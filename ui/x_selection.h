#pragma once

#include <QByteArray>

#include <memory>
#include <string>

struct xcb_connection_t;

namespace sorvane::ui {

/// What a read of the X clipboard came to.
enum class SelectionRead {
    kDelivered,    ///< the owner sent its text
    kRefused,      ///< the owner sends no text under that name, or there is no owner
    kFailed,       ///< the owner went away, fell silent or sent something broken on the way
    kUnavailable,  ///< no second connection to the same X server could be made
};

struct SelectionText {
    SelectionRead outcome = SelectionRead::kUnavailable;
    std::string bytes;  ///< what the owner sent, as it sent it
};

/// Reads the CLIPBOARD selection as `target` (an X atom name such as UTF8_STRING) from the
/// program that owns it, over a connection of this program's own to the X server that
/// `sameServerAs` talks to, straight into one buffer: large texts come in chunks (the INCR
/// transfer), which are appended where they will stay. Qt's own clipboard holds such a text as
/// the transfer's bytes and as the UTF-16 made of them at once, three times the memory of the
/// text. Waits up to five seconds for each answer of the owner, as Qt does.
///
/// Blocks the calling thread, so it must not be asked while this program owns the clipboard:
/// nothing would answer.
SelectionText readClipboardSelection(xcb_connection_t* sameServerAs, const char* target);

/// Serves this program's copied text as the X CLIPBOARD selection, over a connection of its own,
/// from the thread that opened it. Qt sends a large text in chunks as large as the server takes
/// (16 MB), and the server and the program reading it then each wait for a whole chunk before
/// passing it on; chunks of 256 KB keep all three busy at once, which more than halved the
/// time xclip took to read 45 MB.
class XClipboardOwner {
public:
    /// A connection to the X server that `sameServerAs` talks to; null where none can be made.
    static std::unique_ptr<XClipboardOwner> open(xcb_connection_t* sameServerAs);
    /// Hands the text to the desktop's clipboard manager, where one runs, so that it can still
    /// be pasted after this program has ended.
    ~XClipboardOwner();

    /// Takes the clipboard with `text`; false when the server left it with another program.
    bool own(const QByteArray& text);
    /// Gives the clipboard up, if this still owns it.
    void release();
    /// The text while this owns the clipboard, else null.
    const QByteArray* text();

private:
    struct State;
    explicit XClipboardOwner(std::unique_ptr<State> state);

    std::unique_ptr<State> state_;
};

}  // namespace sorvane::ui
