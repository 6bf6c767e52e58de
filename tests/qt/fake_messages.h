#pragma once

// Records the window's messages instead of showing them, and answers the error report from a
// script.

#include <deque>
#include <string>
#include <vector>

#include <QWidget>

#include "messages.h"

namespace sorvane::ui::testing {

class FakeMessages : public Messages {
public:
    struct Shown {
        std::string kind;  // "refusal", "errorReport" or "instructions"
        QString text;
        Qt::CursorShape pointer;  // the window's pointer while the message was up
    };
    std::vector<Shown> shown;
    std::deque<core::Answer> answers;

    core::Answer show(QWidget* parent, core::Message kind, const QString& text) override {
        static const char* const kNames[] = {"refusal", "errorReport", "instructions"};
        shown.push_back({kNames[static_cast<int>(kind)], text, parent->cursor().shape()});
        if (kind != core::Message::ErrorReport || answers.empty()) return core::Answer::Cancel;
        const core::Answer a = answers.front();
        answers.pop_front();
        return a;
    }
};

}  // namespace sorvane::ui::testing
