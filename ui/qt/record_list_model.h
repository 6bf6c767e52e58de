#pragma once

#include <QAbstractTableModel>

#include "record_list.h"

namespace sorvane::ui {

// Shows one record list: a header row of column numbers and one row per record. It holds a
// copy of the list (which shares the records), so what it shows stays valid until it is told
// of the next state; it only converts the cells asked for.
class RecordListModel : public QAbstractTableModel {
    Q_OBJECT

public:
    explicit RecordListModel(QObject* parent = nullptr);

    /// Shows `list`, which changed: the views show it anew.
    void show(const core::RecordList& list);

    /// The list shown.
    const core::RecordList& list() const { return list_; }

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    int columnCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation,
                        int role = Qt::DisplayRole) const override;

private:
    core::RecordList list_;
};

}  // namespace sorvane::ui
