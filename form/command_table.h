#pragma once

#include "commands.h"
#include "controls.h"

namespace sorvane::form {

/// What pressing a control runs.
enum class CommandKind {
    None,          ///< nothing: the control runs no command
    Compare,       ///< "&Compare"
    Instructions,  ///< "?"
    Paste,         ///< Paste records into `list`, an input list
    Copy,          ///< Copy records of `list`, a result list
};

/// The command of one control.
struct Command {
    CommandKind kind = CommandKind::None;
    core::ListId list = core::ListId::List1;  ///< the list of Paste and Copy
    bool operator==(const Command&) const = default;
};

/// Which command pressing control `id` runs: a click on a push button or on a toolbar's button.
Command commandOf(ControlId id);

/// Runs the command of control `id`, if it has one: every window forwards its presses here.
void press(ControlId id, core::Commands& commands);

}  // namespace sorvane::form
