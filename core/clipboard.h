#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

#include "huge_vector.h"
#include "text_buffer.h"

namespace sorvane::core {

class StepError;

/// Why a read of the clipboard's text did not complete, though the clipboard offered text.
enum class NotSent {
    kSilent,   ///< the program that copied it did not answer in time
    kGone,     ///< that program went away before it had sent the text
    kUnknown,  ///< the platform does not tell which
};

/// The error number of a clipboard text that was offered and never arrived whole.
inline constexpr std::int32_t kTextNotSent = 5;

/// The failure of a read that did not complete: number kTextNotSent, and why as the user reads
/// it. An empty list must not pass for the records of a text that never came.
StepError textNotSent(NotSent why);

/// The system clipboard's plain text, as the toolbar commands use it. Each operation throws
/// StepError when the platform refuses it.
class Clipboard {
public:
    virtual ~Clipboard() = default;
    /// The clipboard's text as the text of records (see recordsTextOfUtf8); empty when the
    /// clipboard holds no text. A read that does not complete throws: an empty list must not
    /// pass for the records of a text that never arrived.
    virtual TextBuffer text() = 0;
    /// Empties the clipboard.
    virtual void clear() = 0;
    /// Puts `text` on the clipboard, whole.
    virtual void setText(const std::string& text) = 0;

    /// Room for `bytes` bytes of text that the next putText() puts on the clipboard. A copy
    /// writes straight into it, so a clipboard that holds its text in a buffer of its own hands
    /// that buffer out rather than take a second copy; only the bytes written are ever touched.
    /// By default the room is kept from copy to copy, growing when asked for more.
    virtual char* textRoom(std::size_t bytes);
    /// Puts the first `length` bytes of the room on the clipboard, whole; by default through
    /// setText. The room keeps them, so a failed putText can be tried again.
    virtual void putText(std::size_t length) { setText(std::string(room_.data(), length)); }

protected:
    /// The room that textRoom() gave by default.
    const char* room() const { return room_.data(); }

private:
    HugeVector<char> room_;
};

}  // namespace sorvane::core
