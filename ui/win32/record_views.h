#pragma once

#include <windows.h>
#include <commctrl.h>

#include <array>
#include <cstddef>

#include "record_list.h"
#include "workspace.h"

namespace sorvane::win32 {

// The six record lists on the screen: report-mode list views that ask for the cells they show
// (LVS_OWNERDATA), each converted from the core's UTF-8 only when asked for. Each view keeps
// the list it shows, which shares the records, so what it shows stays valid until it is told of
// the next state.
class RecordViews {
public:
    /// Takes `view` as the list view of `id`, with its first column `columnWidth` pixels wide.
    void attach(core::ListId id, HWND view, int columnWidth);

    /// Shows `list`, which changed, in the view of `id`: adds the columns it lacks,
    /// `columnWidth` pixels wide each (the others keep their widths), and refills the records.
    void show(core::ListId id, const core::RecordList& list, int columnWidth);

    /// Answers a view's request for the text of a cell.
    void cellText(core::ListId id, LVITEMW& item) const;

    /// Answers a view's search for typed text: the record to move to, or -1 for none.
    int find(core::ListId id, const NMLVFINDITEMW& search) const;

    /// Scales the width of every column from `from` to `to` dots per inch.
    void scaleColumns(UINT from, UINT to);

private:
    struct View {
        HWND hwnd = nullptr;
        core::RecordList shown;
        std::size_t columns = 0;
    };
    void addColumn(View& view, int width);

    std::array<View, core::kListCount> views_;
};

}  // namespace sorvane::win32
