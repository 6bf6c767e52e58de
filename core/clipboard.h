#pragma once

#include <string>

namespace sorvane::core {

/// The system clipboard's plain text, as the toolbar commands use it. Each operation throws
/// StepError when the platform refuses it.
class Clipboard {
public:
    virtual ~Clipboard() = default;
    /// The clipboard's text with its line ends normalised (see normalizeLineEnds); empty when
    /// the clipboard holds no text.
    virtual std::string text() = 0;
    /// Empties the clipboard.
    virtual void clear() = 0;
    /// Puts `text` on the clipboard, whole.
    virtual void setText(const std::string& text) = 0;
};

}  // namespace sorvane::core
