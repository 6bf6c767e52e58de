#include "record_views.h"

#include <algorithm>
#include <climits>
#include <optional>
#include <string>

#include "clipboard_text.h"
#include "controls.h"
#include "record_find.h"
#include "wide_text.h"

namespace sorvane::win32 {
namespace {

int clampToInt(std::size_t n) {
    return n > static_cast<std::size_t>(INT_MAX) ? INT_MAX : static_cast<int>(n);
}

}  // namespace

void RecordViews::attach(core::ListId id, HWND view, int columnWidth) {
    View& v = views_[static_cast<std::size_t>(id)];
    v.hwnd = view;
    addColumn(v, columnWidth);
}

void RecordViews::show(core::ListId id, const core::RecordList& list, int columnWidth) {
    View& v = views_[static_cast<std::size_t>(id)];
    v.shown = list;
    // Drawn once at the end, not once for each column added and again for the new count.
    SendMessageW(v.hwnd, WM_SETREDRAW, FALSE, 0);
    while (v.columns < list.columnCount()) addColumn(v, columnWidth);
    // Emptied first, which drops its selection and focus at once: setting the state of every
    // item would visit each of a million records.
    ListView_SetItemCountEx(v.hwnd, 0, 0);
    ListView_SetItemCountEx(v.hwnd, clampToInt(list.recordCount()), 0);
    SendMessageW(v.hwnd, WM_SETREDRAW, TRUE, 0);
}

void RecordViews::addColumn(View& view, int width) {
    std::wstring caption = wide(form::columnCaption(view.columns));
    LVCOLUMNW column{};
    column.mask = LVCF_TEXT | LVCF_WIDTH | LVCF_SUBITEM;
    column.pszText = caption.data();
    column.cx = width;
    column.iSubItem = static_cast<int>(view.columns);
    ListView_InsertColumn(view.hwnd, static_cast<int>(view.columns), &column);
    ++view.columns;
}

void RecordViews::cellText(core::ListId id, LVITEMW& item) const {
    if ((item.mask & LVIF_TEXT) == 0 || item.pszText == nullptr || item.cchTextMax <= 0) return;
    const core::RecordList& shown = views_[static_cast<std::size_t>(id)].shown;
    item.pszText[0] = L'\0';
    if (item.iItem < 0 || item.iSubItem < 0 ||
        static_cast<std::size_t>(item.iItem) >= shown.recordCount() ||
        static_cast<std::size_t>(item.iSubItem) >= shown.columnCount()) {
        return;
    }
    // Only the cell asked for is converted, and only what a view shows of it.
    const core::ShownCell cell = core::shownCell(
        shown.cell(static_cast<std::size_t>(item.iItem), static_cast<std::size_t>(item.iSubItem)));
    std::array<char16_t, core::ShownCell::kShownBytes + 2> text;
    std::size_t length = core::writeUtf16(cell.text, text.data());
    if (cell.cut) text[length++] = u'\u2026';
    std::size_t fits = std::min(length, static_cast<std::size_t>(item.cchTextMax) - 1);
    // A character of two units is not cut in half.
    if (fits < length && fits > 0 && text[fits - 1] >= 0xD800 && text[fits - 1] <= 0xDBFF) --fits;
    std::copy_n(text.data(), fits, reinterpret_cast<char16_t*>(item.pszText));
    item.pszText[fits] = L'\0';
}

int RecordViews::find(core::ListId id, const NMLVFINDITEMW& search) const {
    const View& v = views_[static_cast<std::size_t>(id)];
    if ((search.lvfi.flags & (LVFI_STRING | LVFI_PARTIAL)) == 0 || search.lvfi.psz == nullptr) {
        return -1;
    }
    // The view gathers what is typed; where to look from is the rule every window shares.
    const int focus = ListView_GetNextItem(v.hwnd, -1, LVNI_FOCUSED);
    std::optional<std::size_t> focused;
    if (focus >= 0) focused = static_cast<std::size_t>(focus);
    const auto found = core::findTyped(v.shown, focused, utf8(search.lvfi.psz));
    return found ? clampToInt(*found) : -1;
}

void RecordViews::scaleColumns(UINT from, UINT to) {
    for (const View& v : views_) {
        for (std::size_t k = 0; k < v.columns; ++k) {
            const int width = ListView_GetColumnWidth(v.hwnd, static_cast<int>(k));
            ListView_SetColumnWidth(v.hwnd, static_cast<int>(k),
                                    MulDiv(width, static_cast<int>(to), static_cast<int>(from)));
        }
    }
}

}  // namespace sorvane::win32
