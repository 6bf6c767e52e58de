#include "commands.h"

#include <gtest/gtest.h>

#include <new>

#include "fakes.h"
#include "test_lists.h"

namespace sorvane::core {
namespace {

using testing::cellsOf;
using testing::FakeClipboard;
using testing::FakeWindow;
using testing::Rows;
using Log = std::vector<std::string>;

const std::string kClipboardReport = "report Error: 521 = Can't open Clipboard.\nRetry or Cancel?";

Outcome runsOutOfMemory(const RecordList&, const RecordList&, const std::vector<ColumnPair>&) {
    throw std::bad_alloc();
}

class CommandsTest : public ::testing::Test {
protected:
    void paste(Side side, std::string text) {
        clipboard.content = std::move(text);
        commands.paste(side);
    }
    // Two lists compared on their first columns, with the log started afresh.
    void compared(std::string one, std::string two) {
        paste(Side::List1, std::move(one));
        paste(Side::List2, std::move(two));
        window.texts = ChooserTexts{{"1"}, {"1"}};
        commands.compare();
        window.log.clear();
        window.shown.clear();
    }

    Workspace ws;
    FakeClipboard clipboard;
    FakeWindow window;
    Commands commands{ws, clipboard, window};
};

// ---- Paste records ----

TEST_F(CommandsTest, PasteShowsWhatChangedOnceAtTheEnd) {
    paste(Side::List2, "a\tb\r");
    EXPECT_EQ(window.log, (Log{"busy", "arrow", "show"}));
    ASSERT_EQ(window.shown.size(), 1u);
    EXPECT_TRUE(window.shown[0].list(ListId::List2));
    EXPECT_TRUE(window.shown[0].list(ListId::NotFound2));
    EXPECT_FALSE(window.shown[0].list(ListId::List1));
    EXPECT_TRUE(window.shown[0].count(ListId::List2));
    EXPECT_TRUE(window.shown[0].chooser(Side::List2));
}

// A read that fails and is cancelled leaves the list, its choosers and its count as they were,
// and there is nothing to show.
TEST_F(CommandsTest, PasteWhoseReadIsCancelledLosesNothing) {
    paste(Side::List1, "a\rb\r");
    window.log.clear();
    clipboard.failReads = 1;
    paste(Side::List1, "x\r");
    EXPECT_EQ(window.log, (Log{"busy", kClipboardReport, "arrow"}));
    EXPECT_EQ(cellsOf(ws.list(ListId::List1)), (Rows{{"a"}, {"b"}}));
    EXPECT_EQ(ws.countLabel(ListId::List1), "2 records.");
    EXPECT_EQ(ws.chooserEntries(Side::List1), (std::vector<std::string>{"1"}));
}

TEST_F(CommandsTest, PasteRetriedAfterAFailedReadGoesOnWithTheBusyPointer) {
    clipboard.failReads = 2;
    window.answers = {Answer::Retry, Answer::Retry};
    paste(Side::List1, "x\r");
    EXPECT_EQ(window.log, (Log{"busy", kClipboardReport, kClipboardReport, "arrow", "show"}));
    EXPECT_EQ(ws.countLabel(ListId::List1), "1 records.");
}

// ---- Copy records ----

// The error report of a copy stands over the window as the command left it.
TEST_F(CommandsTest, CopyReportsEachFailureAndCancelEndsIt) {
    compared("a\r", "a\r");
    clipboard.failSets = 1;
    window.answers = {Answer::Retry};
    commands.copy(ListId::Matches1);
    ASSERT_EQ(window.log.size(), 3u);
    EXPECT_EQ(window.log[0], "busy");
    EXPECT_EQ(window.log[1], "report Error:-2147221040 = OpenClipboard Failed.\nRetry or Cancel?");
    EXPECT_EQ(window.log[2], "arrow");
    EXPECT_EQ(clipboard.content, "a\r");

    window.log.clear();
    clipboard.failClears = 1;
    commands.copy(ListId::Matches2);
    EXPECT_EQ(window.log, (Log{"busy", kClipboardReport, "arrow"}));
    EXPECT_TRUE(window.shown.empty());
}

// ---- Compare ----

TEST_F(CommandsTest, CompareReadsTheChoosersAsTheWindowHoldsThem) {
    compared("k\tx\rk\ty\r", "y\r");
    window.texts = ChooserTexts{{"2"}, {"1"}};
    commands.compare();
    EXPECT_EQ(window.log, (Log{"show"}));
    EXPECT_EQ(cellsOf(ws.list(ListId::Matches1)), (Rows{{"k", "y"}}));
    EXPECT_EQ(ws.countLabel(ListId::NotFound1), "1 records.");
}

// A refusal empties the result lists; the window shows that before the message stands over it.
TEST_F(CommandsTest, CompareRefusedShowsTheEmptiedResultsThenSaysWhy) {
    compared("a\r", "a\r");
    window.texts = ChooserTexts{{"1"}, {""}};
    commands.compare();
    EXPECT_EQ(
        window.log,
        (Log{"show",
             "refusal To make the comparison it is necessary to select the rows to compare."}));
    EXPECT_EQ(ws.list(ListId::Matches1).recordCount(), 0u);
    EXPECT_FALSE(window.shown[0].count(ListId::Matches1));  // counts stay as they were
}

TEST_F(CommandsTest, CompareOutOfMemoryEndsWithEmptyResultsAndSaysSo) {
    Commands starved(ws, clipboard, window, runsOutOfMemory);
    compared("a\r", "a\r");
    starved.compare();
    EXPECT_EQ(window.log, (Log{"show", "refusal Error: 7 = Out of memory."}));
    EXPECT_EQ(ws.list(ListId::Matches1).recordCount(), 0u);
    EXPECT_EQ(cellsOf(ws.list(ListId::List1)), (Rows{{"a"}}));
}

// ---- Header clicks and the instructions ----

TEST_F(CommandsTest, HeaderClickSortsByTheZeroBasedColumnAndShowsThatListAlone) {
    compared("a\t2\rb\t1\r", "zz\r");
    commands.headerClicked(ListId::NotFound1, 1);
    EXPECT_EQ(cellsOf(ws.list(ListId::NotFound1)), (Rows{{"b", "1"}, {"a", "2"}}));
    ASSERT_EQ(window.shown.size(), 1u);
    Changes expected;
    expected.lists.set(static_cast<std::size_t>(ListId::NotFound1));
    EXPECT_EQ(window.shown[0], expected);
    commands.headerClicked(ListId::Matches1, 0);  // the Matches lists are never sorted
    EXPECT_EQ(window.shown.size(), 1u);
}

TEST_F(CommandsTest, InstructionsShowTheirTextAndChangeNothing) {
    compared("a\r", "b\r");
    commands.instructions("how to");
    EXPECT_EQ(window.log, (Log{"instructions how to"}));
}

}  // namespace
}  // namespace sorvane::core
