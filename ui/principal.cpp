#include "principal.h"

#include <QAbstractButton>
#include <QAction>
#include <QComboBox>
#include <QFrame>
#include <QGroupBox>
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
#include "layout.h"
#include "memory_advice.h"
#include "pictures.h"
#include "record_list_model.h"
#include "system_clipboard.h"
#include "text_order.h"

namespace sorvane::ui {
namespace {

using core::ListId;
using core::Side;

constexpr double kTwipsPerPixel = 15;
constexpr int kFirstColumnWidth = 96;  // one inch

QFont fontOf(const char* family, double points, bool bold = false, bool underline = false) {
    QFont font(QString::fromLatin1(family));
    font.setStyleHint(QFont::SansSerif);  // where the face is missing, the nearest sans serif
    font.setPointSizeF(points);
    font.setBold(bold);
    font.setUnderline(underline);
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

}  // namespace

Principal::Principal(Messages* messages, core::Clipboard* clipboard, QWidget* parent)
    : QWidget(parent),
      ownMessages_(messages ? nullptr : std::make_unique<MessageBoxes>()),
      ownClipboard_(clipboard ? nullptr : std::make_unique<SystemClipboard>()),
      messages_(messages ? messages : ownMessages_.get()),
      clipboard_(clipboard ? clipboard : ownClipboard_.get()),
      workspace_(grouping(), collation()) {
    setObjectName(QStringLiteral("Principal"));
    setWindowTitle(QStringLiteral("Sorvane"));
    setWindowIcon(applicationIcon());
    setFont(fontOf("MS Sans Serif", 8.25));
    createControls();
    setTabOrder();
    resize(pixels(kClientWidth), pixels(kClientHeight));
    applyLayout();
    loadStep();
}

Principal::~Principal() = default;

void Principal::createControls() {
    geometry_ = designGeometry();
    auto place = [&](QWidget* w, const char* name) {
        w->setObjectName(QString::fromLatin1(name));
        controls_[name] = w;
        const TwipRect& r = geometry_.at(name);
        w->setGeometry(pixels(r.left), pixels(r.top), pixels(r.width), pixels(r.height));
    };
    auto frame = [&](const char* name, const char* caption) {
        auto* box = new CaptionedFrame(QString::fromLatin1(caption), this);
        place(box, name);
        return box;
    };
    auto label = [&](QWidget* parent, const char* name, const char* caption, const QFont& font) {
        auto* l = new QLabel(QString::fromLatin1(caption), parent);
        l->setTextFormat(Qt::PlainText);
        l->setFont(font);
        place(l, name);
        return l;
    };
    const QFont arial = fontOf("Arial", 8.25);
    const QFont headingFont = fontOf("MS Sans Serif", 12, true);

    // Columns to compare.
    QGroupBox* frame1 = frame("Frame1", "Columns to compare");
    const QFont underlined = fontOf("MS Sans Serif", 8.25, false, true);
    for (const auto& [name, side] : {std::pair{"Label1", "List 1"}, {"Label2", "List 2"}}) {
        QLabel* heading = label(frame1, name, side, underlined);
        heading->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
        heading->setAccessibleName(QStringLiteral("Columns of ") + QLatin1String(side));
    }
    const char* rowLabels[4] = {"Label3", "Label4", "Label5", "Label18"};
    const char* rowCaptions[4] = {"1st comparison", "2nd comparison", "3rd comparison",
                                  "4th comparison"};
    const char* withLabels[4] = {"Label6", "Label7", "Label8", "Label17"};
    for (int r = 0; r < 4; ++r) {
        label(frame1, rowLabels[r], rowCaptions[r], arial);
        label(frame1, withLabels[r], "with", arial)
            ->setAccessibleName(QStringLiteral("%1, with").arg(QLatin1String(rowCaptions[r])));
        for (int side = 0; side < 2; ++side) {
            auto* combo = new QComboBox(frame1);
            combo->setAccessibleName(QStringLiteral("%1, column of List %2")
                                         .arg(QLatin1String(rowCaptions[r]))
                                         .arg(side + 1));
            combo->setEditable(true);
            combo->setInsertPolicy(QComboBox::NoInsert);
            combo->setCompleter(nullptr);  // typing "1" must stay "1"
            combo->setFont(arial);
            QPalette navy = combo->palette();
            navy.setColor(QPalette::Text, QColor(0, 0, 128));
            navy.setColor(QPalette::ButtonText, QColor(0, 0, 128));
            combo->setPalette(navy);
            combo->setEditText(side == 0 ? QStringLiteral("Combo1") : QStringLiteral("Combo2"));
            place(combo, ("Combo" + std::to_string(side + 1) + "_" + std::to_string(r)).c_str());
            choosers_[side][r] = combo;
        }
    }

    auto* compareButton = new QPushButton(QStringLiteral("&Compare"), this);
    place(compareButton, "Command1");
    connect(compareButton, &QPushButton::clicked, this, &Principal::compare);
    auto* help = new QPushButton(QStringLiteral("?"), this);
    help->setFont(fontOf("MS Sans Serif", 12, true));
    help->setAccessibleName(QStringLiteral("Instructions"));
    place(help, "Command2");
    connect(help, &QPushButton::clicked, this, &Principal::showInstructions);

    // The three wide frames, each with a List 1 half and a List 2 half.
    QGroupBox* frame4 = frame("Frame4", "Original records");
    QGroupBox* frame2 = frame("Frame2", "Matches");
    QGroupBox* frame3 = frame("Frame3", "Records not found");
    label(frame4, "Label9", "List 1", headingFont);
    label(frame4, "Label10", "List 2", headingFont);
    for (const char* name : {"Text1", "Text2"}) {
        auto* text = new QLineEdit(frame4);
        text->setAccessibleName(QStringLiteral("Note on List %1").arg(name[4]));
        text->setFont(arial);
        QPalette highlighted = text->palette();
        highlighted.setColor(QPalette::Text, highlighted.color(QPalette::Highlight));
        text->setPalette(highlighted);
        place(text, name);
    }

    struct ListRole {
        ListId id;
        QGroupBox* frame;
        int number;  // k of ListViewk, Labelk+10, CoolBark, Toolbark
        bool paste;
        bool sortable;
    };
    const ListRole roles[6] = {
        {ListId::List1, frame4, 1, true, true},     {ListId::List2, frame4, 2, true, true},
        {ListId::Matches1, frame2, 3, false, false}, {ListId::Matches2, frame2, 4, false, false},
        {ListId::NotFound1, frame3, 5, false, true}, {ListId::NotFound2, frame3, 6, false, true},
    };
    const QIcon pasteIcon = pastePicture();
    const QIcon copyIcon = copyPicture();
    for (const ListRole& role : roles) {
        const std::string k = std::to_string(role.number);
        const int index = static_cast<int>(role.id);
        // What a screen reader says of this list's controls: its frame and its side.
        const QString where =
            role.frame->title() + QStringLiteral(", List %1").arg(2 - role.number % 2);
        listNames_[index] = where;
        counts_[index] = label(role.frame, ("Label1" + k).c_str(), "", font());
        nameCount(index);

        auto* band = new QFrame(role.frame);
        band->setFrameShape(QFrame::StyledPanel);
        band->setFrameShadow(QFrame::Raised);
        band->setAccessibleName(where + QStringLiteral(", band"));
        place(band, ("CoolBar" + k).c_str());
        auto* toolbar = new QToolBar(band);
        toolbar->setAccessibleName(where + QStringLiteral(", toolbar"));
        toolbar->setMovable(false);
        toolbar->setFloatable(false);
        toolbar->setIconSize(QSize(16, 16));
        toolbar->setContentsMargins(0, 0, 0, 0);
        auto* action = toolbar->addAction(role.paste ? pasteIcon : copyIcon, QString());
        action->setToolTip(role.paste ? QStringLiteral("Paste records")
                                      : QStringLiteral("Copy records"));
        place(toolbar, ("Toolbar" + k).c_str());
        // Qt's toolbars keep their buttons out of the focus chain; these take it, so that a
        // keyboard reaches Paste records and Copy records, and Enter presses them as Space does.
        QWidget* button = toolbar->widgetForAction(action);
        button->setFocusPolicy(Qt::StrongFocus);
        button->setStyleSheet(kFocusFrame.arg(QLatin1String("QToolButton")));
        button->installEventFilter(this);
        button->setAccessibleName(role.paste ? QStringLiteral("Paste records into List %1")
                                                   .arg(role.number)
                                             : QStringLiteral("Copy records: ") + where);
        toolButtons_[index] = button;
        if (role.paste) {
            const Side side = role.id == ListId::List1 ? Side::List1 : Side::List2;
            connect(action, &QAction::triggered, this, [this, side] { paste(side); });
        } else {
            const ListId id = role.id;
            connect(action, &QAction::triggered, this, [this, id] { copy(id); });
        }

        auto* view = new QTableView(role.frame);
        view->setAccessibleName(where);
        view->setStyleSheet(kFocusFrame.arg(QLatin1String("QTableView")));
        counts_[index]->setBuddy(view);
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
        view->horizontalHeader()->setSectionsClickable(role.sortable);
        view->setWordWrap(false);
        connect(model, &QAbstractItemModel::modelReset, view,
                [view] { view->setColumnWidth(0, kFirstColumnWidth); });
        view->setColumnWidth(0, kFirstColumnWidth);
        if (role.sortable) {
            const ListId id = role.id;
            connect(view->horizontalHeader(), &QHeaderView::sectionClicked, this,
                    [this, id](int section) { headerClicked(id, section); });
        }
        place(view, ("ListView" + k).c_str());
        lists_[index] = view;
        models_[index] = model;
    }
}

void Principal::loadStep() {
    for (int r = 0; r < 4; ++r) {
        for (int side = 0; side < 2; ++side) {
            choosers_[side][r]->clear();  // removes the entries, not the typed text
            choosers_[side][r]->clearEditText();
        }
    }
}

void Principal::setTabOrder() {
    std::vector<QWidget*> order;
    for (int r = 0; r < 4; ++r) {
        order.push_back(choosers_[0][r]);
        order.push_back(choosers_[1][r]);
    }
    order.push_back(controls_.at("Command1"));
    for (QTableView* view : lists_) order.push_back(view);
    for (QWidget* button : toolButtons_) order.push_back(button);
    order.push_back(controls_.at("Text1"));
    order.push_back(controls_.at("Text2"));
    order.push_back(controls_.at("Command2"));
    for (std::size_t k = 1; k < order.size(); ++k) QWidget::setTabOrder(order[k - 1], order[k]);
    choosers_[0][0]->setFocus();
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
    // Each step starts from where the last one left the controls: a pass that the window's size
    // skips keeps every value it would set.
    layOut(geometry_, width() * kTwipsPerPixel + kBorderWidth,
           height() * kTwipsPerPixel + kBorderHeight);
    for (const auto& [name, r] : geometry_) {
        const auto it = controls_.find(name);
        if (it == controls_.end()) continue;
        it->second->setGeometry(pixels(r.left), pixels(r.top), pixels(r.width), pixels(r.height));
    }
}

void Principal::paste(Side side) {
    workspace_.paste(side, *clipboard_, *this);
    showWorkspace();
    core::releaseFreedMemory();
}

void Principal::copy(ListId id) {
    workspace_.copy(id, *clipboard_, *this);
    core::releaseFreedMemory();
}

void Principal::compare() {
    core::ChooserTexts texts;
    for (int r = 0; r < 4; ++r) {
        texts.list1[r] = choosers_[0][r]->currentText().toStdString();
        texts.list2[r] = choosers_[1][r]->currentText().toStdString();
    }
    std::optional<std::string> refusal;
    try {
        refusal = workspace_.compare(texts);
    } catch (const std::bad_alloc&) {
        // The comparison has no error report of its own; ending the program would lose every
        // list, so the run ends with its result lists empty and says why.
        refusal = core::errorText(core::kOutOfMemoryNumber, core::kOutOfMemoryDescription);
    }
    showWorkspace();
    core::releaseFreedMemory();
    if (refusal) messages_->refusal(this, QString::fromStdString(*refusal));
}

void Principal::headerClicked(ListId id, int section) {
    try {
        workspace_.headerClicked(id, static_cast<std::size_t>(section) + 1);
    } catch (const std::bad_alloc&) {
        // The list keeps its order; the program goes on.
        messages_->refusal(this, QString::fromStdString(core::errorText(
                                     core::kOutOfMemoryNumber, core::kOutOfMemoryDescription)));
    }
    showWorkspace();
    core::releaseFreedMemory();
}

QString Principal::instructionsText() {
    return QStringLiteral(
        "Sorvane is free software under the MIT licence and comes without any warranty.\n"
        "\n"
        "1. From Microsoft Excel select the first list of records and copy it to the clipboard.\n"
        "2. In this program, paste the list of records by using the paste records icon of List "
        "1.\n"
        "3. From Microsoft Excel select the second list of records and Copy it to the "
        "clipboard.\n"
        "4. In this program, paste the list of records by using the paste records icon of List "
        "2.\n"
        "5. In the 'Columns to compare' section, set the columns that will be compared.\n"
        "6. Press the 'Compare' button.\n"
        "\n"
        "Made by the Sorvane developers.");
}

void Principal::showInstructions() { messages_->instructions(this, instructionsText()); }

void Principal::showWorkspace() {
    for (int id = 0; id < 6; ++id) {
        models_[id]->show(workspace_.list(static_cast<ListId>(id)));
        counts_[id]->setText(QString::fromStdString(workspace_.countLabel(static_cast<ListId>(id))));
        nameCount(id);
    }
    for (int side = 0; side < 2; ++side) {
        const auto s = static_cast<Side>(side);
        if (workspace_.chooserRevision(s) == chooserRevisions_[side]) continue;
        chooserRevisions_[side] = workspace_.chooserRevision(s);
        QStringList entries;
        entries.reserve(static_cast<qsizetype>(workspace_.chooserEntries(s).size()));
        for (const std::string& entry : workspace_.chooserEntries(s)) {
            entries.push_back(QString::fromStdString(entry));
        }
        for (QComboBox* combo : choosers_[side]) {
            combo->clear();
            combo->addItems(entries);
            // Qt selects the first entry added to an empty combo; nothing is chosen after a paste.
            combo->setCurrentIndex(-1);
            combo->clearEditText();
        }
    }
}

void Principal::nameCount(int id) {
    const QString count = counts_[id]->text();
    counts_[id]->setAccessibleName(listNames_[id] + QStringLiteral(" count") +
                                   (count.isEmpty() ? QString() : QStringLiteral(": ") + count));
}

void Principal::setPointer(core::Pointer pointer) {
    setCursor(pointer == core::Pointer::Busy ? Qt::WaitCursor : Qt::ArrowCursor);
}

core::Answer Principal::askRetry(const std::string& report) {
    showWorkspace();  // what the command did so far shows behind the report
    return messages_->errorReport(this, QString::fromStdString(report));
}

}  // namespace sorvane::ui
