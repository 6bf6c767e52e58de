#include "command_table.h"

namespace sorvane::form {

Command commandOf(ControlId id) {
    switch (id) {
        case ControlId::Command1:
            return {CommandKind::Compare};
        case ControlId::Command2:
            return {CommandKind::Instructions};
        default:
            break;
    }
    if (control(id).kind != Kind::Toolbar) return {};
    const core::ListId list = *listOf(id);
    const bool input = list == core::ListId::List1 || list == core::ListId::List2;
    return {input ? CommandKind::Paste : CommandKind::Copy, list};
}

void press(ControlId id, core::Commands& commands) {
    const Command command = commandOf(id);
    switch (command.kind) {
        case CommandKind::Compare:
            commands.compare();
            break;
        case CommandKind::Instructions:
            commands.instructions(instructionsText());
            break;
        case CommandKind::Paste:
            commands.paste(command.list == core::ListId::List1 ? core::Side::List1
                                                               : core::Side::List2);
            break;
        case CommandKind::Copy:
            commands.copy(command.list);
            break;
        case CommandKind::None:
            break;
    }
}

}  // namespace sorvane::form
