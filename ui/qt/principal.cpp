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
#include "command_table.h"
#include "pictures.h"
#include "record_view.h"
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
    QFont font(QString::fromUtf8(f.family));
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

// Not every style marks a focused toolbar button; a keyboard user must see where the focus is,
// so it draws a frame in the highlight colour while focused.
const QString kFocusFrame = QStringLiteral(
    "QToolButton:focus { border: 1px solid palette(highlight); border-radius: 2px; }");

int pixels(double twips) { return static_cast<int>(std::lround(twips / kTwipsPerPixel)); }

void place(QWidget* w, const form::TwipRect& r) {
    w->setGeometry(pixels(r.left), pixels(r.top), pixels(r.width), pixels(r.height));
}

void colour(QWidget* w, form::TextColour colour) {
    if (colour == form::TextColour::Default) return;
    QPalette palette = w->palette();
    const QColor c = colour == form::TextColour::Navy
                         ? QColor(form::kNavyRgb.red, form::kNavyRgb.green, form::kNavyRgb.blue)
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
    setWindowTitle(QString::fromUtf8(form::kWindowCaption));
    setWindowIcon(applicationIcon());
    setFont(qtFont(form::FontId::Default));
    for (const form::Control& c : form::controls()) {
        widgets_[static_cast<std::size_t>(c.id)] = create(c);
    }
    for (const ListId list : core::kLists) {
        static_cast<QLabel*>(widget(form::countLabel(list)))->setBuddy(widget(form::listView(list)));
    }
    setTabOrder();
    resize(pixels(form::kClientWidth), pixels(form::kClientHeight));
    applyLayout();
}

Principal::~Principal() = default;

QWidget* Principal::create(const form::Control& c) {
    QWidget* parent = c.container ? widget(*c.container) : this;
    const QString caption = QString::fromUtf8(c.caption);
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
            connect(button, &QPushButton::clicked, this,
                    [this, id = c.id] { form::press(id, commands_); });
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
    w->setObjectName(QString::fromUtf8(c.name));
    if (c.font != form::FontId::Default) w->setFont(qtFont(c.font));
    colour(w, c.colour);
    w->setAccessibleName(QString::fromUtf8(c.accessibleName));
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
    action->setToolTip(QString::fromUtf8(c.tooltip));
    // Qt's toolbars keep their buttons out of the focus chain; these take it, so that a keyboard
    // reaches Paste records and Copy records, and Enter presses them as Space does.
    QWidget* button = toolbar->widgetForAction(action);
    button->setFocusPolicy(Qt::StrongFocus);
    button->setStyleSheet(kFocusFrame);
    button->installEventFilter(this);
    button->setAccessibleName(QString::fromUtf8(c.buttonName));
    toolButtons_[static_cast<std::size_t>(list)] = button;
    connect(action, &QAction::triggered, this, [this, id = c.id] { form::press(id, commands_); });
    return toolbar;
}

QWidget* Principal::createListView(const form::Control& c, QWidget* parent) {
    const ListId list = *form::listOf(c.id);
    auto* view = new RecordView(parent);
    const bool sortable = core::sortsOnHeaderClick(list);
    view->horizontalHeader()->setSectionsClickable(sortable);
    if (sortable) {
        connect(view->horizontalHeader(), &QHeaderView::sectionClicked, this,
                [this, list](int section) {
                    commands_.headerClicked(list, static_cast<std::size_t>(section));
                });
    }
    views_[static_cast<std::size_t>(list)] = view;
    return view;
}

QComboBox* Principal::chooser(Side side, int row) const {
    return static_cast<QComboBox*>(widget(form::chooser(side, row)));
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

core::ChooserTexts Principal::chooserTexts() const {
    core::ChooserTexts texts;
    for (int r = 0; r < form::kComparisonRows; ++r) {
        texts.list1[r] = chooser(Side::List1, r)->currentText().toStdString();
        texts.list2[r] = chooser(Side::List2, r)->currentText().toStdString();
    }
    return texts;
}

void Principal::showChanges(const core::Changes& changes) {
    for (const ListId list : core::kLists) {
        if (changes.list(list))
            views_[static_cast<std::size_t>(list)]->showList(workspace_.list(list));
        if (!changes.count(list)) continue;
        const std::string& count = workspace_.countLabel(list);
        auto* label = static_cast<QLabel*>(widget(form::countLabel(list)));
        label->setText(QString::fromStdString(count));
        label->setAccessibleName(QString::fromStdString(form::countName(list, count)));
    }
    for (const Side side : {Side::List1, Side::List2}) {
        if (changes.chooser(side)) refillChoosers(side);
    }
}

void Principal::refillChoosers(Side side) {
    QStringList entries;
    entries.reserve(static_cast<qsizetype>(workspace_.chooserEntries(side).size()));
    for (const std::string& entry : workspace_.chooserEntries(side)) {
        entries.push_back(QString::fromStdString(entry));
    }
    for (int r = 0; r < form::kComparisonRows; ++r) {
        QComboBox* combo = chooser(side, r);
        combo->clear();
        combo->addItems(entries);
        // Qt selects the first entry added to an empty combo; nothing is chosen after a paste.
        combo->setCurrentIndex(-1);
        combo->clearEditText();
    }
}

void Principal::showMessage(core::Message kind, const std::string& text) {
    messages_->show(this, kind, QString::fromStdString(text));
}

void Principal::setPointer(core::Pointer pointer) {
    setCursor(pointer == core::Pointer::Busy ? Qt::WaitCursor : Qt::ArrowCursor);
}

core::Answer Principal::askRetry(const std::string& report) {
    return messages_->show(this, core::Message::ErrorReport, QString::fromStdString(report));
}

}  // namespace sorvane::ui
