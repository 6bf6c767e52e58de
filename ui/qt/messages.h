#pragma once

#include <QString>

#include "step_runner.h"

class QWidget;

namespace sorvane::ui {

/// The window's modal messages. User data may stand in them, so they show plain text.
class Messages {
public:
    virtual ~Messages() = default;
    /// A refused comparison: warning icon, OK, titled "Sorvane".
    virtual void refusal(QWidget* parent, const QString& text) = 0;
    /// The error report: Retry (the default) and Cancel, no icon, titled "Sorvane"; closing the
    /// box answers Cancel.
    virtual core::Answer errorReport(QWidget* parent, const QString& text) = 0;
    /// The instructions: information icon, OK, titled "Instructions".
    virtual void instructions(QWidget* parent, const QString& text) = 0;
};

/// Real message boxes.
class MessageBoxes : public Messages {
public:
    void refusal(QWidget* parent, const QString& text) override;
    core::Answer errorReport(QWidget* parent, const QString& text) override;
    void instructions(QWidget* parent, const QString& text) override;
};

}  // namespace sorvane::ui
