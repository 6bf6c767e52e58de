#pragma once

#include <QWidget>

#include <array>
#include <memory>
#include <string>

#include "clipboard.h"
#include "commands.h"
#include "layout.h"
#include "messages.h"
#include "workspace.h"

class QComboBox;

namespace sorvane::ui {

class RecordView;

// Sorvane's one window, built from the shared description of its controls. It turns each event
// into a command of the core and shows what the workspace holds; it decides nothing about the
// data.
class Principal : public QWidget, private core::WindowPort {
    Q_OBJECT

public:
    /// The window; null arguments give real message boxes and the system clipboard.
    explicit Principal(Messages* messages = nullptr, core::Clipboard* clipboard = nullptr,
                       QWidget* parent = nullptr);
    ~Principal() override;

    /// Everything the window shows of the data.
    const core::Workspace& workspace() const { return workspace_; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    QWidget* create(const form::Control& control);
    QWidget* createToolbar(const form::Control& control, QWidget* parent);
    QWidget* createListView(const form::Control& control, QWidget* parent);
    QWidget* focusTarget(form::ControlId id) const;
    QWidget* widget(form::ControlId id) const { return widgets_[static_cast<std::size_t>(id)]; }
    QComboBox* chooser(core::Side side, int row) const;
    void setTabOrder();
    void applyLayout();
    void refillChoosers(core::Side side);

    // core::WindowPort
    void setPointer(core::Pointer pointer) override;
    core::Answer askRetry(const std::string& report) override;
    void showChanges(const core::Changes& changes) override;
    void showMessage(core::Message kind, const std::string& text) override;
    core::ChooserTexts chooserTexts() const override;

    std::unique_ptr<Messages> ownMessages_;
    std::unique_ptr<core::Clipboard> ownClipboard_;
    Messages* messages_;
    core::Workspace workspace_;
    core::Commands commands_;

    form::Geometry geometry_;  // every control's rectangle, in twips
    std::array<QWidget*, form::kControlCount> widgets_{};
    std::array<QWidget*, core::kListCount> toolButtons_{};  // the one button of each toolbar
    std::array<RecordView*, core::kListCount> views_{};
};

}  // namespace sorvane::ui
