#pragma once

#include <cstddef>
#include <string>

#include "clipboard.h"
#include "comparison.h"
#include "step_runner.h"
#include "workspace.h"

namespace sorvane::core {

/// The window's modal messages; each window shows each kind as the window's description says.
enum class Message {
    Refusal,       ///< a comparison that does not run, or a command out of memory: OK
    ErrorReport,   ///< a failed step of a toolbar command: Retry or Cancel
    Instructions,  ///< the "?" button's how-to: OK
};

/// What the commands need of a window besides the pointer and the error report.
class WindowPort : public CommandUi {
public:
    /// Shows what a command changed: exactly these lists, count labels and choosers, each read
    /// from the workspace as it now stands.
    virtual void showChanges(const Changes& changes) = 0;
    /// Shows a message that has only OK, modally.
    virtual void showMessage(Message kind, const std::string& text) = 0;
    /// The texts of the eight column choosers, as the user left them.
    virtual ChooserTexts chooserTexts() const = 0;
};

// The window's commands, as every window runs them: each changes the workspace, has the window
// show what changed, gives the memory it freed back to the system, and tells the user why a
// command did not run. A window only turns its events into these calls.
class Commands {
public:
    /// Commands on `workspace`, with `clipboard` and the window `port`, all of which outlive
    /// it; Compare pairs records with `pairing`.
    Commands(Workspace& workspace, Clipboard& clipboard, WindowPort& port,
             Pairing pairing = pairRecords)
        : workspace_(workspace), clipboard_(clipboard), port_(port), pairing_(pairing) {}

    /// Paste records into a side's input list, under the error report.
    void paste(Side side);
    /// Copy records of a result list, under the error report.
    void copy(ListId id);
    /// Compare, with the choosers' texts as they stand: the result lists, or the message of a
    /// refusal.
    void compare();
    /// Shows the instructions `text`; changes nothing.
    void instructions(const std::string& text);
    /// A click on the header of column `column` (0-based) of a list.
    void headerClicked(ListId id, std::size_t column);

private:
    // The error report shows what the command did so far behind it.
    class ReportOver : public CommandUi {
    public:
        explicit ReportOver(Commands& commands) : commands_(commands) {}
        void setPointer(Pointer pointer) override { commands_.port_.setPointer(pointer); }
        Answer askRetry(const std::string& report) override;

    private:
        Commands& commands_;
    };

    void reportChanges();
    void finish();

    Workspace& workspace_;
    Clipboard& clipboard_;
    WindowPort& port_;
    Pairing pairing_;
};

}  // namespace sorvane::core
