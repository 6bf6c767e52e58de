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

    void refusal(QWidget* parent, const QString& text) override {
        shown.push_back({"refusal", text, parent->cursor().shape()});
    }
    core::Answer errorReport(QWidget* parent, const QString& text) override {
        shown.push_back({"errorReport", text, parent->cursor().shape()});
        if (answers.empty()) return core::Answer::Cancel;
        const core::Answer a = answers.front();
        answers.pop_front();
        return a;
    }
    void instructions(QWidget* parent, const QString& text) override {
        shown.push_back({"instructions", text, parent->cursor().shape()});
    }
};

}  // namespace sorvane::ui::testing
