#pragma once

#include <QString>

#include "commands.h"

class QWidget;

namespace sorvane::ui {

/// The window's modal messages. User data may stand in them, so they show plain text.
class Messages {
public:
    virtual ~Messages() = default;
    /// Shows a message of `kind` as the window's description has it, titled, with its icon and
    /// buttons, modal over `parent`. Returns the answer: Retry or Cancel for the error report
    /// (closing the box answers Cancel), Cancel for a box that has only OK.
    virtual core::Answer show(QWidget* parent, core::Message kind, const QString& text) = 0;
};

/// Real message boxes.
class MessageBoxes : public Messages {
public:
    core::Answer show(QWidget* parent, core::Message kind, const QString& text) override;
};

}  // namespace sorvane::ui
