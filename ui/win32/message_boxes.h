#pragma once

#include <windows.h>

#include <string>

#include "commands.h"

namespace sorvane::win32 {

/// The window's modal messages, which the tests fake as they fake the clipboard.
class Messages {
public:
    virtual ~Messages() = default;
    /// Shows a message of `kind` as the window's description has it, modal over `owner`.
    /// Returns Retry or Cancel for the error report (closing the box answers Cancel), Cancel for
    /// a box that has only OK.
    virtual core::Answer show(HWND owner, core::Message kind, const std::string& text) = 0;
};

/// The system's message boxes.
class MessageBoxes : public Messages {
public:
    core::Answer show(HWND owner, core::Message kind, const std::string& text) override;
};

}  // namespace sorvane::win32
