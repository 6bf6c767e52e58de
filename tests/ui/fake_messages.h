#pragma once

// Records the window's messages instead of showing them, and answers the error report from a
// script.

#include <deque>
#include <string>
#include <vector>

#include "messages.h"

namespace sorvane::ui::testing {

class FakeMessages : public Messages {
public:
    struct Shown {
        std::string kind;  // "refusal", "errorReport" or "instructions"
        QString text;
    };
    std::vector<Shown> shown;
    std::deque<core::Answer> answers;

    void refusal(QWidget*, const QString& text) override { shown.push_back({"refusal", text}); }
    core::Answer errorReport(QWidget*, const QString& text) override {
        shown.push_back({"errorReport", text});
        if (answers.empty()) return core::Answer::Cancel;
        const core::Answer a = answers.front();
        answers.pop_front();
        return a;
    }
    void instructions(QWidget*, const QString& text) override {
        shown.push_back({"instructions", text});
    }
};

}  // namespace sorvane::ui::testing
