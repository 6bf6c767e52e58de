#pragma once

#include <QWidget>

#include <array>
#include <map>
#include <memory>
#include <string>

#include "clipboard.h"
#include "layout.h"
#include "messages.h"
#include "workspace.h"

class QComboBox;
class QLabel;
class QTableView;

namespace sorvane::ui {

class RecordListModel;

// Sorvane's one window. It builds every control once, named as the design names it, and moves
// data between the controls and the workspace, which decides everything about the data.
class Principal : public QWidget, private core::CommandUi {
    Q_OBJECT

public:
    /// The window; null arguments give real message boxes and the system clipboard.
    explicit Principal(Messages* messages = nullptr, core::Clipboard* clipboard = nullptr,
                       QWidget* parent = nullptr);
    ~Principal() override;

    /// The text of the instructions message.
    static QString instructionsText();

    /// Everything the window shows of the data.
    const core::Workspace& workspace() const { return workspace_; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    void createControls();
    void loadStep();
    void setTabOrder();
    void applyLayout();

    void paste(core::Side side);
    void copy(core::ListId id);
    void compare();
    void headerClicked(core::ListId id, int section);
    void showInstructions();
    void showWorkspace();
    void nameCount(int id);  // a count label's accessible name: its list and its count

    // core::CommandUi
    void setPointer(core::Pointer pointer) override;
    core::Answer askRetry(const std::string& report) override;

    std::unique_ptr<Messages> ownMessages_;
    std::unique_ptr<core::Clipboard> ownClipboard_;
    Messages* messages_;
    core::Clipboard* clipboard_;
    core::Workspace workspace_;

    Geometry geometry_;                         // every control's rectangle, in twips
    std::map<std::string, QWidget*> controls_;  // every control the layout places, by name
    std::array<QTableView*, 6> lists_{};
    std::array<RecordListModel*, 6> models_{};
    std::array<QLabel*, 6> counts_{};
    std::array<QWidget*, 6> toolButtons_{};  // the one button of each toolbar
    std::array<QString, 6> listNames_;       // each list's frame and side, as a screen reader says
    std::array<std::array<QComboBox*, 4>, 2> choosers_{};
    std::array<std::uint64_t, 2> chooserRevisions_{};
};

}  // namespace sorvane::ui
