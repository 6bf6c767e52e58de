#pragma once

// Fakes of the platform for the command tests: a clipboard whose operations fail on demand,
// and a window that answers the error report from a script and records what it was shown.

#include <deque>
#include <optional>
#include <string>
#include <vector>

#include "clipboard.h"
#include "commands.h"
#include "step_runner.h"

namespace sorvane::core::testing {

class FakeClipboard : public Clipboard {
public:
    std::optional<std::string> content;  ///< nullopt: holds no text
    int failReads = 0;                   ///< how many of the next reads fail
    int failClears = 0;
    int failSets = 0;
    int sets = 0;                        ///< successful setText calls

    TextBuffer text() override {
        if (failReads > 0 && failReads--) throw StepError(521, "Can't open Clipboard");
        return content.value_or("");
    }
    void clear() override {
        if (failClears > 0 && failClears--) throw StepError(521, "Can't open Clipboard");
        content.reset();
    }
    void setText(const std::string& text) override {
        if (failSets > 0 && failSets--) throw StepError(-2147221040, "OpenClipboard Failed");
        content = text;
        ++sets;
    }
};

class FakeUi : public CommandUi {
public:
    std::deque<Answer> answers;        ///< answers to the next reports, in order
    std::vector<std::string> reports;  ///< every report shown
    std::vector<Pointer> pointers;     ///< every pointer set

    void setPointer(Pointer pointer) override { pointers.push_back(pointer); }
    Answer askRetry(const std::string& report) override {
        reports.push_back(report);
        if (answers.empty()) return Answer::Cancel;
        const Answer a = answers.front();
        answers.pop_front();
        return a;
    }
};

// A window that keeps a log of what the commands asked of it, in order, and answers the error
// report from a script.
class FakeWindow : public WindowPort {
public:
    std::deque<Answer> answers;       ///< answers to the next reports, in order; then Cancel
    ChooserTexts texts;               ///< what the choosers hold
    std::vector<std::string> log;  ///< "busy", "arrow", "show …", "report …", "refusal …"…
    std::vector<Changes> shown;       ///< every account of changes shown

    void setPointer(Pointer pointer) override {
        log.push_back(pointer == Pointer::Busy ? "busy" : "arrow");
    }
    Answer askRetry(const std::string& report) override {
        std::string line = "report ";
        log.push_back(line += report);
        if (answers.empty()) return Answer::Cancel;
        const Answer a = answers.front();
        answers.pop_front();
        return a;
    }
    void showChanges(const Changes& changes) override {
        shown.push_back(changes);
        log.push_back("show");
    }
    void showMessage(Message kind, const std::string& text) override {
        std::string line = kind == Message::Refusal ? "refusal " : "instructions ";
        log.push_back(line += text);
    }
    ChooserTexts chooserTexts() const override { return texts; }
};

}  // namespace sorvane::core::testing
