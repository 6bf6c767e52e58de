#include "record_view.h"

#include <QApplication>
#include <QHeaderView>

#include <cmath>
#include <optional>
#include <vector>

#include "controls.h"
#include "record_find.h"
#include "record_list_model.h"

namespace sorvane::ui {
namespace {

// Not every style marks an empty focused list; a keyboard user must see where the focus is.
const QString kFocusFrame = QStringLiteral(
    "QTableView:focus { border: 1px solid palette(highlight); border-radius: 2px; }");

// Twips are laid out in device-independent pixels; Qt scales those to the screen.
constexpr double kTwipsPerPixel = 15;

}  // namespace

RecordView::RecordView(QWidget* parent) : QTableView(parent), model_(new RecordListModel(this)) {
    setStyleSheet(kFocusFrame);
    setModel(model_);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setTabKeyNavigation(false);  // Tab goes on to the next control, arrows go to records
    setSelectionBehavior(QAbstractItemView::SelectRows);
    verticalHeader()->hide();
    verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    verticalHeader()->setDefaultSectionSize(fontMetrics().height() + 4);
    horizontalHeader()->setSectionResizeMode(QHeaderView::Interactive);
    horizontalHeader()->setSortIndicatorShown(false);
    horizontalHeader()->setHighlightSections(false);
    horizontalHeader()->setDefaultSectionSize(
        static_cast<int>(std::lround(form::kColumnWidth / kTwipsPerPixel)));
    setColumnWidth(0, horizontalHeader()->defaultSectionSize());
    setWordWrap(false);
}

void RecordView::showList(const core::RecordList& list) {
    // A refill gives every column the default width again; the widths the user set are put
    // back. Only those are kept, so a list of a hundred thousand columns costs nothing here.
    QHeaderView* header = horizontalHeader();
    std::vector<std::pair<int, int>> set;
    for (int k = 0; k < header->count(); ++k) {
        if (header->sectionSize(k) != header->defaultSectionSize()) {
            set.emplace_back(k, header->sectionSize(k));
        }
    }
    model_->show(list);
    for (const auto& [column, width] : set) header->resizeSection(column, width);
}

const core::RecordList& RecordView::list() const { return model_->list(); }

void RecordView::keyboardSearch(const QString& search) {
    if (search.isEmpty()) return;
    const bool goesOn =
        typedAt_.isValid() && typedAt_.elapsed() <= QApplication::keyboardInputInterval();
    typed_ = goesOn ? typed_ + search : search;
    typedAt_.start();
    std::optional<std::size_t> focused;
    if (currentIndex().isValid()) focused = static_cast<std::size_t>(currentIndex().row());
    const auto found = core::findTyped(model_->list(), focused, typed_.toStdString());
    if (!found) return;
    const QModelIndex record = model_->index(static_cast<int>(*found), 0);
    setCurrentIndex(record);
    scrollTo(record);
}

}  // namespace sorvane::ui
