#pragma once

// Drives a Principal through its controls, found by their names, as a user would.

#include <QAbstractItemModel>
#include <QAction>
#include <QComboBox>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QTableView>
#include <QToolBar>

#include <string>
#include <vector>

#include "principal.h"

namespace sorvane::ui::testing {

using Rows = std::vector<std::vector<std::string>>;

class WindowDriver {
public:
    explicit WindowDriver(const Principal& window) : window_(window) {}

    template <typename T>
    T* control(const QString& name) const {
        T* w = window_.findChild<T*>(name);
        if (w == nullptr) throw std::runtime_error("no control " + name.toStdString());
        return w;
    }
    QTableView* list(int k) const { return control<QTableView>(QStringLiteral("ListView%1").arg(k)); }
    QComboBox* chooser(int side, int row) const {
        return control<QComboBox>(QStringLiteral("Combo%1_%2").arg(side).arg(row));
    }
    QString label(int k) const { return control<QLabel>(QStringLiteral("Label%1").arg(k))->text(); }

    void clickToolbar(int k) const {
        control<QToolBar>(QStringLiteral("Toolbar%1").arg(k))->actions().first()->trigger();
    }
    /// The one button of toolbar k.
    QWidget* toolbarButton(int k) const {
        auto* toolbar = control<QToolBar>(QStringLiteral("Toolbar%1").arg(k));
        return toolbar->widgetForAction(toolbar->actions().first());
    }
    void choose(int row, const QString& one, const QString& two) const {
        chooser(1, row)->setEditText(one);
        chooser(2, row)->setEditText(two);
    }
    void pressCompare() const { control<QPushButton>(QStringLiteral("Command1"))->click(); }
    void clickHeader(int k, int section) const {
        emit list(k)->horizontalHeader()->sectionClicked(section);
    }

    /// What list k shows in one cell.
    QString cell(int k, int row, int column) const {
        return list(k)->model()->index(row, column).data().toString();
    }
    int rows(int k) const { return list(k)->model()->rowCount(); }
    int columns(int k) const { return list(k)->model()->columnCount(); }

    /// Every cell list k shows.
    Rows shown(int k) const {
        Rows all;
        for (int r = 0; r < rows(k); ++r) {
            auto& row = all.emplace_back();
            for (int c = 0; c < columns(k); ++c) row.push_back(cell(k, r, c).toStdString());
        }
        return all;
    }
    QStringList entries(int side, int row) const {
        QStringList e;
        for (int i = 0; i < chooser(side, row)->count(); ++i) e << chooser(side, row)->itemText(i);
        return e;
    }

private:
    const Principal& window_;
};

}  // namespace sorvane::ui::testing
