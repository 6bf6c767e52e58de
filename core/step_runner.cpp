#include "step_runner.h"

#include <new>

namespace sorvane::core {

std::string errorText(std::int32_t number, const std::string& description) {
    std::string text = "Error:";
    if (number >= 0) text.push_back(' ');
    text += std::to_string(number);
    text += " = ";
    text += description;
    text += ".";
    return text;
}

std::string errorReportText(std::int32_t number, const std::string& description) {
    return errorText(number, description) + "\nRetry or Cancel?";
}

bool StepRunner::run(const std::function<void()>& step) {
    return !cancelled_ && runAlways(step);
}

bool StepRunner::runAlways(const std::function<void()>& step) {
    for (;;) {
        std::string report;
        try {
            step();
            return true;
        } catch (const StepError& e) {
            report = errorReportText(e.number(), e.what());
        } catch (const std::bad_alloc&) {
            report = errorReportText(kOutOfMemoryNumber, kOutOfMemoryDescription);
        } catch (const std::exception& e) {
            report = errorReportText(1, e.what());
        }
        // The report is shown outside the handler, so the exception and what it holds are gone
        // before the user is asked.
        if (ui_.askRetry(report) == Answer::Cancel) {
            cancelled_ = true;
            ui_.setPointer(Pointer::Arrow);
            return false;
        }
    }
}

}  // namespace sorvane::core
