#include "principal.h"

#include <QAbstractButton>
#include <QAction>
#include <QComboBox>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QPushButton>
#include <QResizeEvent>
#include <QTableView>
#include <QToolBar>

#include <cmath>
#include <cstdlib>

#include "captioned_frame.h"
#include "pictures.h"
#include "record_list_model.h"
#include "system_clipboard.h"
#include "text_order.h"

namespace sorvane::ui {
namespace {

using core::ListId;
using core::Side;
using form::ControlId;
using form::Kind;

// Twips are laid out in device-independent pixels; Qt scales those to the screen.
constexpr double kTwipsPerPixel = 15;

QFont qtFont(form::FontId id) {
    const form::Font f = form::fontOf(id);
    QFont font(QString::fromLatin1(f.family));
    font.setStyleHint(QFont::SansSerif);  // where the face is missing, the nearest sans serif
    font.setPointSizeF(f.points);
    font.setBold(f.bold);
    font.setUnderline(f.underline);
    return font;
}

std::string grouping() { return QLocale::system().groupSeparator().toStdString(); }

// The locale whose rules order text, resolved from the environment as the C library does.
std::string collation() {
    return core::collationLocale(std::getenv("LC_ALL"), std::getenv("LC_COLLATE"),
                                 std::getenv("LANG"));
}

// Not every style marks a focused toolbar button or an empty focused list; a keyboard user must
// see where the focus is, so these draw a frame in the highlight colour while focused.
const QString kFocusFrame =
    QStringLiteral("%1:focus { border: 1px solid palette(highlight); border-radius: 2px; }");

int pixels(double twips) { return static_cast<int>(std::lround(twips / kTwipsPerPixel)); }

void place(QWidget* w, const form::TwipRect& r) {
    w->setGeometry(pixels(r.left), pixels(r.top), pixels(r.width), pixels(r.height));
}

void colour(QWidget* w, form::TextColour colour) {
    if (colour == form::TextColour::Default) return;
    QPalette palette = w->palette();
    const QColor c = colour == form::TextColour::Navy ? QColor(0, 0, 128)
                                                      : palette.color(QPalette::Highlight);
    palette.setColor(QPalette::Text, c);
    palette.setColor(QPalette::ButtonText, c);
    w->setPalette(palette);
}

}  // namespace

Principal::Principal(Messages* messages, core::Clipboard* clipboard, QWidget* parent)
    : QWidget(parent),
      ownMessages_(messages ? nullptr : std::make_unique<MessageBoxes>()),
      ownClipboard_(clipboard ? nullptr : std::make_unique<SystemClipboard>()),
      messages_(messages ? messages : ownMessages_.get()),
      workspace_(grouping(), collation()),
      commands_(workspace_, clipboard ? *clipboard : *ownClipboard_, *this) {
    setObjectName(QStringLiteral("Principal"));
    setWindowTitle(QString::fromLatin1(form::kWindowCaption));
    setWindowIcon(applicationIcon());
    setFont(qtFont(form::FontId::Default));
    for (const form::Control& c : form::controls()) {
        widgets_[static_cast<std::size_t>(c.id)] = create(c);
    }
    for (int id = 0; id < 6; ++id) {
        const auto list = static_cast<ListId>(id);
        static_cast<QLabel*>(widget(form::countLabel(list)))->setBuddy(widget(form::listView(list)));
    }
    setTabOrder();
    resize(pixels(form::kClientWidth), pixels(form::kClientHeight));
    applyLayout();
    loadStep();
}

Principal::~Principal() = default;

QWidget* Principal::create(const form::Control& c) {
    QWidget* parent = c.container ? widget(*c.container) : this;
    const QString caption = QString::fromLatin1(c.caption);
    QWidget* w = nullptr;
    switch (c.kind) {
        case Kind::Frame:
            w = new CaptionedFrame(caption, parent);
            break;
        case Kind::Label: {
            auto* label = new QLabel(caption, parent);
            label->setTextFormat(Qt::PlainText);
            if (c.centred) label->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
            w = label;
            break;
        }
        case Kind::ComboBox: {
            auto* combo = new QComboBox(parent);
            combo->setEditable(true);
            combo->setInsertPolicy(QComboBox::NoInsert);
            combo->setCompleter(nullptr);  // typing "1" must stay "1"
            combo->setEditText(caption);
            w = combo;
            break;
        }
        case Kind::PushButton: {
            auto* button = new QPushButton(caption, parent);
            if (c.id == ControlId::Command1) {
                connect(button, &QPushButton::clicked, this, &Principal::compare);
            } else {
                connect(button, &QPushButton::clicked, this, &Principal::showInstructions);
            }
            w = button;
            break;
        }
        case Kind::TextBox:
            w = new QLineEdit(parent);
            break;
        case Kind::BandContainer: {
            auto* band = new QFrame(parent);
            band->setFrameShape(QFrame::StyledPanel);
            band->setFrameShadow(QFrame::Raised);
            w = band;
            break;
        }
        case Kind::Toolbar:
            w = createToolbar(c, parent);
            break;
        case Kind::ListView:
            w = createListView(c, parent);
            break;
    }
    w->setObjectName(QString::fromLatin1(c.name));
    if (c.font != form::FontId::Default) w->setFont(qtFont(c.font));
    colour(w, c.colour);
    w->setAccessibleName(QString::fromLatin1(c.accessibleName));
    place(w, c.rect);
    return w;
}

QWidget* Principal::createToolbar(const form::Control& c, QWidget* parent) {
    const ListId list = *form::listOf(c.id);
    auto* toolbar = new QToolBar(parent);
    toolbar->setMovable(false);
    toolbar->setFloatable(false);
    toolbar->setIconSize(QSize(16, 16));
    toolbar->setContentsMargins(0, 0, 0, 0);
    QAction* action = toolbar->addAction(
        c.picture == form::Picture::Paste ? pastePicture() : copyPicture(), QString());
    action->setToolTip(QString::fromLatin1(c.tooltip));
    // Qt's toolbars keep their buttons out of the focus chain; these take it, so that a keyboard
    // reaches Paste records and Copy records, and Enter presses them as Space does.
    QWidget* button = toolbar->widgetForAction(action);
    button->setFocusPolicy(Qt::StrongFocus);
    button->setStyleSheet(kFocusFrame.arg(QLatin1String("QToolButton")));
    button->installEventFilter(this);
    button->setAccessibleName(QString::fromLatin1(c.buttonName));
    toolButtons_[static_cast<std::size_t>(list)] = button;
    if (list == ListId::List1 || list == ListId::List2) {
        const Side side = list == ListId::List1 ? Side::List1 : Side::List2;
        connect(action, &QAction::triggered, this, [this, side] { commands_.paste(side); });
    } else {
        connect(action, &QAction::triggered, this, [this, list] { commands_.copy(list); });
    }
    return toolbar;
}

QWidget* Principal::createListView(const form::Control& c, QWidget* parent) {
    const ListId list = *form::listOf(c.id);
    auto* view = new QTableView(parent);
    view->setStyleSheet(kFocusFrame.arg(QLatin1String("QTableView")));
    auto* model = new RecordListModel(view);
    view->setModel(model);
    view->setEditTriggers(QAbstractItemView::NoEditTriggers);
    view->setTabKeyNavigation(false);  // Tab goes on to the next control, arrows go to records
    view->setSelectionBehavior(QAbstractItemView::SelectRows);
    view->verticalHeader()->hide();
    view->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    view->verticalHeader()->setDefaultSectionSize(view->fontMetrics().height() + 4);
    view->horizontalHeader()->setSectionResizeMode(QHeaderView::Interactive);
    view->horizontalHeader()->setSortIndicatorShown(false);
    view->horizontalHeader()->setHighlightSections(false);
    view->setWordWrap(false);
    const int firstColumn = pixels(form::kFirstColumnWidth);
    connect(model, &QAbstractItemModel::modelReset, view,
            [view, firstColumn] { view->setColumnWidth(0, firstColumn); });
    view->setColumnWidth(0, firstColumn);
    const bool sortable = core::sortsOnHeaderClick(list);
    view->horizontalHeader()->setSectionsClickable(sortable);
    if (sortable) {
        connect(view->horizontalHeader(), &QHeaderView::sectionClicked, this,
                [this, list](int section) {
                    commands_.headerClicked(list, static_cast<std::size_t>(section) + 1);
                });
    }
    models_[static_cast<std::size_t>(list)] = model;
    return view;
}

QComboBox* Principal::chooser(Side side, int row) const {
    return static_cast<QComboBox*>(widget(form::chooser(side, row)));
}

void Principal::loadStep() {
    for (int r = 0; r < 4; ++r) {
        for (const Side side : {Side::List1, Side::List2}) {
            chooser(side, r)->clear();  // removes the entries, not the typed text
            chooser(side, r)->clearEditText();
        }
    }
}

QWidget* Principal::focusTarget(ControlId id) const {
    if (const auto list = form::listOf(id); list && form::control(id).kind == Kind::Toolbar) {
        return toolButtons_[static_cast<std::size_t>(*list)];
    }
    return widget(id);
}

void Principal::setTabOrder() {
    const auto order = form::tabOrder();
    for (std::size_t k = 1; k < order.size(); ++k) {
        QWidget::setTabOrder(focusTarget(order[k - 1]), focusTarget(order[k]));
    }
    focusTarget(order.front())->setFocus();
}

bool Principal::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent*>(event)->key();
        auto* button = qobject_cast<QAbstractButton*>(watched);
        if (button != nullptr && (key == Qt::Key_Return || key == Qt::Key_Enter)) {
            button->click();
            return true;
        }
    }
    return QWidget::eventFilter(watched, event);
}

void Principal::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    applyLayout();
}

void Principal::applyLayout() {
    // Laid out from the client size plus the reference borders, which no window manager
    // changes; each step starts from where the last one left the controls.
    form::layOut(geometry_, width() * kTwipsPerPixel + form::kBorderWidth,
                 height() * kTwipsPerPixel + form::kBorderHeight);
    for (const form::Control& c : form::controls()) place(widget(c.id), geometry_[c.id]);
}

void Principal::compare() {
    core::ChooserTexts texts;
    for (int r = 0; r < 4; ++r) {
        texts.list1[r] = chooser(Side::List1, r)->currentText().toStdString();
        texts.list2[r] = chooser(Side::List2, r)->currentText().toStdString();
    }
    commands_.compare(texts);
}

void Principal::showInstructions() {
    messages_->instructions(this, QString::fromUtf8(form::instructionsText()));
}

void Principal::showWorkspace() {
    for (int id = 0; id < 6; ++id) {
        const auto list = static_cast<ListId>(id);
        models_[id]->show(workspace_.list(list));
        const std::string& count = workspace_.countLabel(list);
        auto* label = static_cast<QLabel*>(widget(form::countLabel(list)));
        label->setText(QString::fromStdString(count));
        label->setAccessibleName(QString::fromStdString(form::countName(list, count)));
    }
    for (const Side side : {Side::List1, Side::List2}) {
        const auto s = static_cast<std::size_t>(side);
        if (workspace_.chooserRevision(side) == chooserRevisions_[s]) continue;
        chooserRevisions_[s] = workspace_.chooserRevision(side);
        QStringList entries;
        entries.reserve(static_cast<qsizetype>(workspace_.chooserEntries(side).size()));
        for (const std::string& entry : workspace_.chooserEntries(side)) {
            entries.push_back(QString::fromStdString(entry));
        }
        for (int r = 0; r < 4; ++r) {
            QComboBox* combo = chooser(side, r);
            combo->clear();
            combo->addItems(entries);
            // Qt selects the first entry added to an empty combo; nothing is chosen after a paste.
            combo->setCurrentIndex(-1);
            combo->clearEditText();
        }
    }
}

void Principal::showRefusal(const std::string& text) {
    messages_->refusal(this, QString::fromStdString(text));
}

void Principal::setPointer(core::Pointer pointer) {
    setCursor(pointer == core::Pointer::Busy ? Qt::WaitCursor : Qt::ArrowCursor);
}

core::Answer Principal::askRetry(const std::string& report) {
    return messages_->errorReport(this, QString::fromStdString(report));
}

}  // namespace sorvane::ui
