#pragma once

#include <cstddef>
#include <string>

#include "clipboard.h"
#include "comparison.h"
#include "step_runner.h"
#include "workspace.h"

namespace sorvane::core {

/// What the commands need of a window besides the pointer and the error report.
class WindowPort : public CommandUi {
public:
    /// Shows the workspace as it stands: every list, count label and chooser entry.
    virtual void showWorkspace() = 0;
    /// A modal message with the exclamation icon and OK, titled as the window.
    virtual void showRefusal(const std::string& text) = 0;
};

// The window's commands, as every window runs them: each changes the workspace, has the window
// show the result, gives the memory it freed back to the system, and tells the user why a
// command did not run. A window only turns its events into these calls.
class Commands {
public:
    /// Commands on `workspace`, with `clipboard` and the window `port`, all of which outlive it.
    Commands(Workspace& workspace, Clipboard& clipboard, WindowPort& port)
        : workspace_(workspace), clipboard_(clipboard), port_(port) {}

    /// Paste records into a side's input list, under the error report.
    void paste(Side side);
    /// Copy records of a result list, under the error report.
    void copy(ListId id);
    /// Compare: the result lists, or the message of a refusal.
    void compare(const ChooserTexts& texts);
    /// A click on column header `header` (1-based) of a list.
    void headerClicked(ListId id, std::size_t header);

private:
    // The error report shows what the command did so far behind it.
    class ReportOver : public CommandUi {
    public:
        explicit ReportOver(WindowPort& port) : port_(port) {}
        void setPointer(Pointer pointer) override { port_.setPointer(pointer); }
        Answer askRetry(const std::string& report) override;

    private:
        WindowPort& port_;
    };

    void finish();

    Workspace& workspace_;
    Clipboard& clipboard_;
    WindowPort& port_;
};

}  // namespace sorvane::core
