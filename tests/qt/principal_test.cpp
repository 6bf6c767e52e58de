#include "principal.h"

#include <gtest/gtest.h>

#include <QAbstractItemModelTester>
#include <QAccessible>
#include <QAction>
#include <QClipboard>
#include <QApplication>
#include <QComboBox>
#include <QGroupBox>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRegularExpression>
#include <QTableView>
#include <QTest>
#include <QToolBar>

#include "captioned_frame.h"
#include "fake_messages.h"
#include "fakes.h"
#include "qt_printing.h"
#include "window_driver.h"

namespace sorvane::ui {
namespace {

using core::testing::FakeClipboard;
using testing::FakeMessages;
using testing::Rows;

class PrincipalTest : public ::testing::Test, protected testing::WindowDriver {
protected:
    PrincipalTest() : WindowDriver(window) {}

    void paste(int k, const std::string& text) {
        clipboard.content = text;
        clickToolbar(k);
    }

    FakeMessages messages;
    FakeClipboard clipboard;
    Principal window{&messages, &clipboard};
};


TEST_F(PrincipalTest, EveryControlExistsWithItsClassAndCaption) {
    EXPECT_EQ(window.objectName(), "Principal");
    EXPECT_EQ(window.windowTitle(), "Sorvane");
    EXPECT_FALSE(window.windowIcon().isNull());
    const std::pair<const char*, const char*> frames[] = {{"Frame1", "Columns to compare"},
                                                          {"Frame2", "Matches"},
                                                          {"Frame3", "Records not found"},
                                                          {"Frame4", "Original records"}};
    for (const auto& [name, title] : frames) {
        EXPECT_EQ(control<QGroupBox>(name)->title(), title);
    }
    const std::pair<int, const char*> captions[] = {
        {1, "List 1"}, {2, "List 2"}, {3, "1st comparison"}, {4, "2nd comparison"},
        {5, "3rd comparison"}, {18, "4th comparison"}, {6, "with"}, {7, "with"}, {8, "with"},
        {17, "with"}, {9, "List 1"}, {10, "List 2"}};
    for (const auto& [k, caption] : captions) EXPECT_EQ(label(k), caption) << k;
    for (int k = 1; k <= 18; ++k) {
        EXPECT_EQ(control<QLabel>(QStringLiteral("Label%1").arg(k))->textFormat(), Qt::PlainText);
    }
    EXPECT_EQ(control<QPushButton>("Command1")->text(), "&Compare");
    EXPECT_EQ(control<QPushButton>("Command2")->text(), "?");
    for (int k = 1; k <= 6; ++k) {
        auto* toolbar = control<QToolBar>(QStringLiteral("Toolbar%1").arg(k));
        EXPECT_EQ(toolbar->parent(), control<QFrame>(QStringLiteral("CoolBar%1").arg(k)));
        ASSERT_EQ(toolbar->actions().size(), 1);
        EXPECT_EQ(toolbar->actions().first()->toolTip(), k <= 2 ? "Paste records" : "Copy records");
        EXPECT_FALSE(toolbar->actions().first()->icon().isNull());
    }
    EXPECT_EQ(control<QLabel>("Label1")->parent(), control<QGroupBox>("Frame1"));
    EXPECT_EQ(list(3)->parent(), control<QGroupBox>("Frame2"));
    EXPECT_EQ(list(6)->parent(), control<QGroupBox>("Frame3"));
    EXPECT_EQ(control<QLineEdit>("Text2")->parent(), control<QGroupBox>("Frame4"));
}

TEST_F(PrincipalTest, StartsWithEmptyChoosersListsLabelsAndTextBoxes) {
    for (int side = 1; side <= 2; ++side) {
        for (int row = 0; row < 4; ++row) {
            EXPECT_EQ(chooser(side, row)->count(), 0);
            EXPECT_EQ(chooser(side, row)->currentText(), "");
            EXPECT_TRUE(chooser(side, row)->isEditable());
            EXPECT_EQ(chooser(side, row)->insertPolicy(), QComboBox::NoInsert);
            EXPECT_EQ(chooser(side, row)->completer(), nullptr);
        }
    }
    for (int k = 1; k <= 6; ++k) {
        EXPECT_EQ(list(k)->model()->rowCount(), 0);
        EXPECT_EQ(list(k)->model()->columnCount(), 1);
        EXPECT_EQ(list(k)->model()->headerData(0, Qt::Horizontal).toString(), "1");
        EXPECT_EQ(list(k)->columnWidth(0), 96);
        EXPECT_FALSE(list(k)->verticalHeader()->isVisible());
        EXPECT_EQ(list(k)->editTriggers(), QAbstractItemView::NoEditTriggers);
        EXPECT_EQ(list(k)->selectionBehavior(), QAbstractItemView::SelectRows);
        EXPECT_EQ(label(10 + k), "");
    }
    EXPECT_EQ(control<QLineEdit>("Text1")->text(), "");
    EXPECT_EQ(control<QLineEdit>("Text2")->text(), "");
}

TEST_F(PrincipalTest, FontsFollowTheDesign) {
    EXPECT_DOUBLE_EQ(window.font().pointSizeF(), 8.25);
    EXPECT_TRUE(control<QLabel>("Label1")->font().underline());
    EXPECT_TRUE(control<QLabel>("Label9")->font().bold());
    EXPECT_DOUBLE_EQ(control<QLabel>("Label9")->font().pointSizeF(), 12);
    EXPECT_TRUE(control<QPushButton>("Command2")->font().bold());
    EXPECT_EQ(control<QLabel>("Label3")->font().family(), "Arial");
    EXPECT_EQ(chooser(1, 0)->font().family(), "Arial");
    EXPECT_EQ(chooser(1, 0)->palette().color(QPalette::Text), QColor(0, 0, 128));
}

// Pressing Tab, as a keyboard user does: the toolbar buttons take the focus after the lists, and
// Tab leaves a list that holds records.
TEST_F(PrincipalTest, TabVisitsChoosersCompareListsToolbarsTextsAndHelp) {
    paste(1, "a\tb\rc\td\r");
    QStringList expected;
    for (int row = 0; row < 4; ++row) expected << QStringLiteral("Combo1_%1").arg(row) << QStringLiteral("Combo2_%1").arg(row);
    expected << "Command1" << "ListView1" << "ListView2" << "ListView3" << "ListView4"
             << "ListView5" << "ListView6" << "Toolbar1" << "Toolbar2" << "Toolbar3" << "Toolbar4"
             << "Toolbar5" << "Toolbar6" << "Text1" << "Text2" << "Command2" << "Combo1_0";
    window.show();
    window.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&window));
    QStringList order;
    for (int i = 0; i < expected.size(); ++i) {
        QWidget* focused = QApplication::focusWidget();
        ASSERT_NE(focused, nullptr);
        // A chooser's focus is in its text field, a toolbar's in its button.
        while (focused->objectName().isEmpty()) focused = focused->parentWidget();
        order << focused->objectName();
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    }
    EXPECT_EQ(order, expected);
}

// A focused toolbar button shows it, and Space and Enter run its command as a click does.
TEST_F(PrincipalTest, SpaceAndEnterOnAToolbarButtonRunItsCommand) {
    window.show();
    window.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&window));
    clipboard.content = "a\r";
    const QImage unfocused = toolbarButton(1)->grab().toImage();
    toolbarButton(1)->setFocus();
    EXPECT_NE(toolbarButton(1)->grab().toImage(), unfocused);  // the focus shows
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Space);
    EXPECT_EQ(label(11), "1 records.");
    clipboard.content = "b\rc\r";
    toolbarButton(2)->setFocus();
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
    EXPECT_EQ(label(12), "2 records.");
    choose(0, "1", "1");
    pressCompare();
    EXPECT_EQ(label(15), "1 records.");
    toolbarButton(5)->setFocus();
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Enter);
    EXPECT_EQ(clipboard.content, "a\r");
}

// What a screen reader hears of each control: a name to act on, distinct for every control,
// with no visible text or tooltip changed.
TEST_F(PrincipalTest, EveryControlHasADistinctAccessibleName) {
    window.show();
    auto nameOf = [](QWidget* w) {
        return QAccessible::queryAccessibleInterface(w)->text(QAccessible::Name);
    };
    EXPECT_EQ(nameOf(control<QLabel>("Label11")), "Original records, List 1 count");
    paste(1, "a\rb\r");
    QMap<QString, QString> names;  // name -> control
    QList<QWidget*> controls = window.findChildren<QWidget*>(QRegularExpression("^[A-Z]"));
    for (int k = 1; k <= 6; ++k) controls << toolbarButton(k);
    for (QWidget* w : controls) {
        const QString name = nameOf(w);
        EXPECT_FALSE(name.isEmpty()) << w->objectName().toStdString();
        EXPECT_FALSE(names.contains(name))
            << name.toStdString() << ": " << w->objectName().toStdString() << " and "
            << names.value(name).toStdString();
        names.insert(name, w->objectName());
    }
    const std::pair<QWidget*, const char*> expected[] = {
        {toolbarButton(1), "Paste records into List 1"},
        {toolbarButton(2), "Paste records into List 2"},
        {toolbarButton(4), "Copy records: Matches, List 2"},
        {toolbarButton(5), "Copy records: Records not found, List 1"},
        {list(1), "Original records, List 1"},
        {list(6), "Records not found, List 2"},
        {chooser(1, 0), "1st comparison, column of List 1"},
        {chooser(2, 3), "4th comparison, column of List 2"},
        {control<QLabel>("Label11"), "Original records, List 1 count: 2 records."},
        {control<QLabel>("Label14"), "Matches, List 2 count"},
        {control<QPushButton>("Command1"), "Compare"},
        {control<QPushButton>("Command2"), "Instructions"},
    };
    for (const auto& [w, name] : expected) EXPECT_EQ(nameOf(w), name);
    EXPECT_EQ(control<QPushButton>("Command2")->text(), "?");
    EXPECT_EQ(toolbarButton(1)->toolTip(), "Paste records");
    // Each count label is tied to its list.
    const auto labelled =
        QAccessible::queryAccessibleInterface(control<QLabel>("Label13"))->relations(QAccessible::Labelled);
    ASSERT_EQ(labelled.size(), 1);
    EXPECT_EQ(labelled.first().first->object(), list(3));
}

TEST_F(PrincipalTest, GeometryAtTheStartingSize) {
    EXPECT_EQ(window.size(), QSize(1272, 745));
    EXPECT_EQ(control<QGroupBox>("Frame1")->geometry(), QRect(16, 8, 273, 123));  // 1838.75 high
    EXPECT_EQ(control<QGroupBox>("Frame4")->geometry(), QRect(8, 141, 1257, 189));
    EXPECT_EQ(control<QFrame>("CoolBar1")->pos(), QPoint(588, 8));   // 8812.5 twips
    EXPECT_EQ(control<QFrame>("CoolBar2")->pos(), QPoint(1216, 8));
    EXPECT_EQ(list(2)->geometry(), QRect(632, 40, 617, 137));
    EXPECT_EQ(control<QPushButton>("Command2")->pos(), QPoint(1238, 8));

    window.show();  // a hidden window defers its resize events
    window.resize(800, 600);  // outer 12090 x 9480 twips
    EXPECT_EQ(control<QGroupBox>("Frame3")->width(), 785);        // 11775
    EXPECT_EQ(control<QPushButton>("Command2")->x(), 766);        // 11490
    EXPECT_EQ(control<QGroupBox>("Frame1")->height(), 86);        // 1295
    EXPECT_EQ(list(6)->x(), 396);                                  // 5939.5

    // A pass that the size skips keeps what the last one set.
    window.resize(800, 254);  // outer height 4290: no vertical pass
    EXPECT_EQ(control<QGroupBox>("Frame1")->height(), 86);
    EXPECT_EQ(list(1)->height(), control<QGroupBox>("Frame4")->height() - 52);
    const int listWidth = list(1)->width();
    window.resize(60, 600);  // outer width 990: no horizontal pass
    EXPECT_EQ(list(1)->width(), listWidth);
    EXPECT_EQ(control<QGroupBox>("Frame3")->width(), 785);
}

// The caption sits on the top border, which runs through its middle, and every control inside
// lies wholly below the border: found in the frame as drawn, whatever the style adds.
TEST_F(PrincipalTest, FrameCaptionsSitOnTheirBorderAboveEveryControl) {
    for (const char* name : {"Frame1", "Frame2", "Frame3", "Frame4"}) {
        auto* frame = control<CaptionedFrame>(name);
        const QRect caption = frame->captionRect();
        EXPECT_LE(std::abs(caption.center().y() - frame->borderTop()), 1) << name;
        const QImage drawn = frame->grab().toImage();
        const QRgb background = drawn.pixel(caption.right() + 10, 0);
        int line = 0;
        while (line < drawn.height() && drawn.pixel(caption.right() + 10, line) == background) ++line;
        EXPECT_LE(std::abs(line - frame->borderTop()), 1) << name;
        for (const QWidget* child : frame->findChildren<QWidget*>(Qt::FindDirectChildrenOnly)) {
            EXPECT_GE(child->y(), line + 2) << name << " " << child->objectName().toStdString();
        }
    }
}

TEST_F(PrincipalTest, PasteFillsTheListItsResultColumnsAndChoosers) {
    paste(1, "Ann\t12\r\nBob\t7\tx\r\n");
    EXPECT_EQ(shown(1), (Rows{{"Ann", "12", ""}, {"Bob", "7", "x"}}));
    for (int k : {1, 3, 5}) {
        EXPECT_EQ(list(k)->model()->columnCount(), 3);
        EXPECT_EQ(list(k)->model()->headerData(2, Qt::Horizontal).toString(), "3");
        EXPECT_EQ(list(k)->columnWidth(0), 96);
    }
    for (int k : {2, 4, 6}) EXPECT_EQ(list(k)->model()->columnCount(), 1);
    for (int row = 0; row < 4; ++row) {
        EXPECT_EQ(entries(1, row), (QStringList{"1", "2", "3"}));
        EXPECT_EQ(chooser(1, row)->currentIndex(), -1);
        EXPECT_EQ(chooser(1, row)->currentText(), "");
        EXPECT_EQ(entries(2, row), QStringList{});
    }
    EXPECT_EQ(label(11), "2 records.");
    EXPECT_EQ(label(12), "");
    EXPECT_EQ(window.cursor().shape(), Qt::ArrowCursor);
}

// The window's own clipboard: text copied on Linux has LF line ends and may lack a final one.
TEST(PrincipalSystemClipboardTest, PastesLinuxTextAndCopiesCrEndedRows) {
    FakeMessages messages;
    Principal window(&messages);
    QGuiApplication::clipboard()->setText(QStringLiteral("a\tx\nb\nc \t\u00e9"));
    window.findChild<QToolBar*>("Toolbar1")->actions().first()->trigger();
    window.findChild<QToolBar*>("Toolbar2")->actions().first()->trigger();
    EXPECT_EQ(window.workspace().list(core::ListId::List1).recordCount(), 3u);
    EXPECT_EQ(window.findChild<QLabel*>("Label11")->text(), "3 records.");
    window.findChild<QComboBox*>("Combo1_0")->setEditText("1");
    window.findChild<QComboBox*>("Combo2_0")->setEditText("1");
    window.findChild<QPushButton*>("Command1")->click();
    window.findChild<QToolBar*>("Toolbar3")->actions().first()->trigger();
    EXPECT_EQ(QGuiApplication::clipboard()->text(), QStringLiteral("a\tx\rb\t\rc\t\u00e9\r"));
    EXPECT_TRUE(messages.shown.empty());
}

TEST_F(PrincipalTest, TypingIntoAChooserKeepsWhatWasTyped) {
    paste(1, "1\t2\t3\t4\t5\t6\t7\t8\t9\t10\t11\r");
    QLineEdit* edit = chooser(1, 0)->lineEdit();
    QTest::keyClicks(edit, "1");
    EXPECT_EQ(chooser(1, 0)->currentText(), "1");  // not completed to "10"
    QTest::keyClick(edit, Qt::Key_Return);
    EXPECT_EQ(chooser(1, 0)->currentText(), "1");
    EXPECT_EQ(chooser(1, 0)->count(), 11);  // nothing inserted
}

TEST_F(PrincipalTest, PasteEmptiesTheChoosersTheUserHadFilled) {
    paste(1, "a\tb\r");
    choose(0, "2", "");
    paste(1, "x\r");
    EXPECT_EQ(chooser(1, 0)->currentText(), "");
    EXPECT_EQ(entries(1, 0), (QStringList{"1", "2"}));
}

struct RefusalCase {
    const char* name;
    std::string list1;
    std::string list2;
    QString one;
    QString two;
    QString message;
    friend void PrintTo(const RefusalCase& c, std::ostream* os) { *os << c.name; }
};

class PrincipalRefusalTest : public PrincipalTest,
                             public ::testing::WithParamInterface<RefusalCase> {};

TEST_P(PrincipalRefusalTest, ShowsTheMessageEmptiesResultsKeepsCounts) {
    paste(1, "k\r");
    paste(2, "k\r");
    choose(0, "1", "1");
    pressCompare();
    ASSERT_EQ(label(13), "1 records.");

    const RefusalCase& c = GetParam();
    paste(1, c.list1);
    paste(2, c.list2);
    choose(0, c.one, c.two);
    pressCompare();
    ASSERT_EQ(messages.shown.size(), 1u);
    EXPECT_EQ(messages.shown[0].kind, "refusal");
    EXPECT_EQ(messages.shown[0].text, c.message);
    for (int k = 3; k <= 6; ++k) EXPECT_EQ(list(k)->model()->rowCount(), 0);
    EXPECT_EQ(label(13), "1 records.");
    EXPECT_EQ(label(16), "0 records.");
}

INSTANTIATE_TEST_SUITE_P(
    Cases, PrincipalRefusalTest,
    ::testing::Values(
        RefusalCase{"EmptyList1", "", "a\r", "1", "1",
                    "To make the comparison it is necessary that List 1 contains at least one "
                    "record."},
        RefusalCase{"EmptyList2", "a\r", "", "1", "1",
                    "To make the comparison it is necessary that List 2 contains at least one "
                    "record."},
        RefusalCase{"FirstRowIncomplete", "a\r", "a\r", "1", "",
                    "To make the comparison it is necessary to select the rows to compare."},
        RefusalCase{"NoSuchColumn", "a\tb\r", "a\r", "3", "1",
                    "The 1st comparison names column \"3\" of List 1, which does not exist. "
                    "Choose a column from 1 to 2."}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(PrincipalTest, FullComparisonFillsTheFourResultListsAndCounts) {
    paste(1, "x\t1\ry\t2\rx\t3\rz\t4\r");
    paste(2, "y\tB\rx\tA\r w \tC\r");
    choose(0, "1", "1");
    pressCompare();
    EXPECT_TRUE(messages.shown.empty());
    EXPECT_EQ(shown(3), (Rows{{"x", "1"}, {"y", "2"}}));
    EXPECT_EQ(shown(4), (Rows{{"x", "A"}, {"y", "B"}}));
    EXPECT_EQ(shown(5), (Rows{{"x", "3"}, {"z", "4"}}));
    EXPECT_EQ(shown(6), (Rows{{" w ", "C"}}));
    EXPECT_EQ(label(13), "2 records.");
    EXPECT_EQ(label(14), "2 records.");
    EXPECT_EQ(label(15), "2 records.");
    EXPECT_EQ(label(16), "1 records.");
}

TEST_F(PrincipalTest, EachCopyButtonCopiesItsOwnListByteForByte) {
    paste(1, " a \tb\rq\t r \r");
    paste(2, "a\tZ\rw\r");
    choose(0, "1", "1");
    pressCompare();
    const std::pair<int, std::string> expected[] = {
        {3, "a\tb\r"}, {4, "a\tZ\r"}, {5, "q\tr\r"}, {6, "w\t\r"}};
    for (const auto& [k, text] : expected) {
        clipboard.content.reset();
        clickToolbar(k);
        EXPECT_EQ(clipboard.content, text) << "Toolbar" << k;
    }
    EXPECT_EQ(window.cursor().shape(), Qt::ArrowCursor);
}

TEST_F(PrincipalTest, HeaderClicksSortListsButNotTheMatches) {
    paste(1, "b\t2\ra\t3\rc\t1\r");
    paste(2, "c\ra\rb\r");
    choose(0, "1", "1");
    pressCompare();
    clickHeader(3, 0);
    EXPECT_EQ(shown(3), (Rows{{"b", "2"}, {"a", "3"}, {"c", "1"}}));
    clickHeader(1, 1);
    EXPECT_EQ(shown(1), (Rows{{"c", "1"}, {"b", "2"}, {"a", "3"}}));
    clickHeader(1, 1);  // a second click does not reverse
    EXPECT_EQ(shown(1), (Rows{{"c", "1"}, {"b", "2"}, {"a", "3"}}));
    clickHeader(2, 0);
    EXPECT_EQ(shown(2), (Rows{{"a"}, {"b"}, {"c"}}));
    EXPECT_EQ(label(11), "3 records.");
    EXPECT_FALSE(list(1)->horizontalHeader()->isSortIndicatorShown());
    EXPECT_FALSE(list(3)->horizontalHeader()->sectionsClickable());
}

TEST_F(PrincipalTest, ErrorReportRetryGoesOnAndCancelKeepsWhatWasDone) {
    paste(1, "a\tb\rc\r");
    clipboard.failReads = 1;
    messages.answers = {core::Answer::Retry};
    paste(1, "x\r");
    ASSERT_EQ(messages.shown.size(), 1u);
    EXPECT_EQ(messages.shown[0].kind, "errorReport");
    EXPECT_EQ(messages.shown[0].text, "Error: 521 = Can't open Clipboard.\nRetry or Cancel?");
    EXPECT_EQ(messages.shown[0].pointer, Qt::WaitCursor);  // the command is still at work
    EXPECT_EQ(shown(1), (Rows{{"x", ""}}));
    EXPECT_EQ(label(11), "1 records.");

    clipboard.failReads = 1;
    messages.answers = {core::Answer::Cancel};
    paste(1, "y\tz\tw\r");
    EXPECT_EQ(shown(1), (Rows{{"x", ""}}));  // a read that failed loses nothing
    EXPECT_EQ(label(11), "1 records.");
    EXPECT_EQ(entries(1, 0), (QStringList{"1", "2"}));
    EXPECT_EQ(window.cursor().shape(), Qt::ArrowCursor);
}

TEST_F(PrincipalTest, FailedCopyCancelledLeavesTheClipboardCleared) {
    paste(1, "a\r");
    paste(2, "a\r");
    choose(0, "1", "1");
    pressCompare();
    clipboard.content = "before";
    clipboard.failSets = 1;
    messages.answers = {core::Answer::Cancel};
    clickToolbar(3);
    EXPECT_EQ(clipboard.content, std::nullopt);
    EXPECT_EQ(window.cursor().shape(), Qt::ArrowCursor);
}

TEST_F(PrincipalTest, InstructionsShowTheTenPiecesOnTheirOwnLines) {
    control<QPushButton>("Command2")->click();
    ASSERT_EQ(messages.shown.size(), 1u);
    EXPECT_EQ(messages.shown[0].kind, "instructions");
    const QString text = messages.shown[0].text;
    EXPECT_EQ(text, QString::fromUtf8(form::instructionsText()));
    EXPECT_EQ(text.count('\n'), 9);
    EXPECT_FALSE(text.contains('\r'));
    const QStringList lines = text.split('\n');
    ASSERT_EQ(lines.size(), 10);
    EXPECT_TRUE(lines[0].contains("MIT licence"));
    EXPECT_TRUE(lines[1].isEmpty());
    EXPECT_EQ(lines[2], "1. From Microsoft Excel select the first list of records and copy it to the clipboard.");
    EXPECT_EQ(lines[3], "2. In this program, paste the list of records by using the paste records icon of List 1.");
    EXPECT_EQ(lines[4], "3. From Microsoft Excel select the second list of records and Copy it to the clipboard.");
    EXPECT_EQ(lines[5], "4. In this program, paste the list of records by using the paste records icon of List 2.");
    EXPECT_EQ(lines[6], "5. In the 'Columns to compare' section, set the columns that will be compared.");
    EXPECT_EQ(lines[7], "6. Press the 'Compare' button.");
    EXPECT_TRUE(lines[8].isEmpty());
    EXPECT_FALSE(lines[9].isEmpty());
}

// Every column starts one inch wide; a width the user set survives every later command.
TEST_F(PrincipalTest, ColumnWidthsTheUserSetAreKeptAndNewColumnsAreOneInch) {
    QHeaderView* header = list(1)->horizontalHeader();
    EXPECT_EQ(header->sectionSize(0), 96);
    paste(1, "a\tb\r");
    header->resizeSection(1, 150);
    paste(1, "c\td\te\r");
    paste(2, "c\r");
    choose(0, "1", "1");
    pressCompare();
    clickHeader(1, 1);
    EXPECT_EQ(header->sectionSize(0), 96);
    EXPECT_EQ(header->sectionSize(1), 150);
    EXPECT_EQ(header->sectionSize(2), 96);
    EXPECT_EQ(list(3)->horizontalHeader()->sectionSize(2), 96);
}

TEST_F(PrincipalTest, TypingMovesToTheNextRecordThatStartsWithIt) {
    paste(1, "apple\rBanana\rband\r");
    list(1)->setFocus();
    QTest::keyClicks(list(1), "b");
    EXPECT_EQ(list(1)->currentIndex().row(), 1);
    QTest::keyClicks(list(1), "and");  // within the interval: "band"
    EXPECT_EQ(list(1)->currentIndex().row(), 2);
    QTest::keyClicks(list(1), "z");  // nothing starts with "bandz": the focus stays
    EXPECT_EQ(list(1)->currentIndex().row(), 2);
}

TEST_F(PrincipalTest, ModelsPassTheItemModelTester) {
    paste(1, "a\tb\tc\rd\r\r");
    paste(2, "x\ty\r");
    choose(0, "1", "1");
    pressCompare();
    for (int k = 1; k <= 6; ++k) {
        QAbstractItemModelTester tester(list(k)->model(),
                                        QAbstractItemModelTester::FailureReportingMode::Fatal);
        clickHeader(k, 1);
        paste(1, "q\tr\r");
        pressCompare();
    }
}

}  // namespace
}  // namespace sorvane::ui
