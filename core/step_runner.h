#pragma once

#include <cstdint>
#include <functional>
#include <stdexcept>
#include <string>

namespace sorvane::core {

/// A failing platform operation, with the number and description that the platform gives it.
class StepError : public std::runtime_error {
public:
    StepError(std::int32_t number, const std::string& description)
        : std::runtime_error(description), number_(number) {}

    /// The error's number.
    std::int32_t number() const { return number_; }

private:
    std::int32_t number_;
};

/// The user's answer to the error report.
enum class Answer { Retry, Cancel };

/// The mouse pointer that a command shows.
enum class Pointer { Busy, Arrow };

/// What a toolbar command needs of the window while it runs.
class CommandUi {
public:
    virtual ~CommandUi() = default;
    /// Shows the given mouse pointer over the window.
    virtual void setPointer(Pointer pointer) = 0;
    /// Shows the error report text modally and returns the user's answer.
    virtual Answer askRetry(const std::string& report) = 0;
};

/// The number and description of running out of memory.
inline constexpr std::int32_t kOutOfMemoryNumber = 7;
inline constexpr const char* kOutOfMemoryDescription = "Out of memory";

/// An error as the user reads it: "Error:", the number with a place for its sign, " = ", the
/// description and ".".
std::string errorText(std::int32_t number, const std::string& description);

/// The error report: errorText, a line feed and "Retry or Cancel?".
std::string errorReportText(std::int32_t number, const std::string& description);

// Runs a toolbar command's steps in order under the error report. A failing step shows the
// report; Retry runs that step again from its beginning, keeping everything done before it;
// Cancel sets the arrow pointer and skips every later step, undoing nothing.
//
// Failures are StepError (its number and description), std::bad_alloc (out of memory) or
// another std::exception (its what() under number 1).
class StepRunner {
public:
    /// A runner whose report and pointer go through `ui`.
    explicit StepRunner(CommandUi& ui) : ui_(ui) {}

    /// Runs one step until it succeeds or the user cancels. Returns whether it succeeded;
    /// once cancelled, every later call returns false without running its step.
    bool run(const std::function<void()>& step);

    /// Runs a step that must run even after a cancel (keeping what was done), under the same
    /// report: Retry runs it again, Cancel gives up on it. Returns whether it succeeded.
    bool runAlways(const std::function<void()>& step);

    /// Whether the user cancelled.
    bool cancelled() const { return cancelled_; }

private:
    CommandUi& ui_;
    bool cancelled_ = false;
};

}  // namespace sorvane::core
