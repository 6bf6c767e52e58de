#include "record_list_model.h"

#include <limits>

#include "controls.h"

namespace sorvane::ui {
namespace {

QString shownText(std::string_view cell) {
    const core::ShownCell shown = core::shownCell(cell);
    QString text = QString::fromUtf8(shown.text.data(), static_cast<qsizetype>(shown.text.size()));
    if (shown.cut) text += QChar(0x2026);
    return text;
}

int clampToInt(std::size_t n) {
    return n > static_cast<std::size_t>(std::numeric_limits<int>::max())
               ? std::numeric_limits<int>::max()
               : static_cast<int>(n);
}

}  // namespace

RecordListModel::RecordListModel(QObject* parent) : QAbstractTableModel(parent) {}

void RecordListModel::show(const core::RecordList& list) {
    beginResetModel();
    list_ = list;
    endResetModel();
}

int RecordListModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : clampToInt(list_.recordCount());
}

int RecordListModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : clampToInt(list_.columnCount());
}

QVariant RecordListModel::data(const QModelIndex& index, int role) const {
    if (role != Qt::DisplayRole || !checkIndex(index, CheckIndexOption::IndexIsValid)) return {};
    return shownText(list_.cell(index.row(), index.column()));
}

QVariant RecordListModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (role != Qt::DisplayRole) return {};
    if (orientation == Qt::Horizontal) {
        return QString::fromStdString(form::columnCaption(static_cast<std::size_t>(section)));
    }
    return {};
}

}  // namespace sorvane::ui
