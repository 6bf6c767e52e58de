#pragma once

#include <QElapsedTimer>
#include <QTableView>

#include "record_list.h"

namespace sorvane::ui {

class RecordListModel;

// A record list on the screen: the header row of column numbers over one row per record, which
// keeps every column width the user set, and finds a typed text by the rule every window
// shares.
class RecordView : public QTableView {
    Q_OBJECT

public:
    explicit RecordView(QWidget* parent = nullptr);

    /// Shows `list`, which changed. New columns start one inch wide; the others keep theirs.
    void showList(const core::RecordList& list);

    /// The list shown.
    const core::RecordList& list() const;

    /// Moves to the record whose first cell starts with what was typed, as findTyped decides.
    void keyboardSearch(const QString& search) override;

private:
    RecordListModel* model_;
    QString typed_;          // what was typed so far, while keys follow each other quickly
    QElapsedTimer typedAt_;  // when the last key of it was typed
};

}  // namespace sorvane::ui
