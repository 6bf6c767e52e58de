#include "workspace.h"

#include <gtest/gtest.h>

#include "fakes.h"
#include "test_lists.h"

namespace sorvane::core {
namespace {

using testing::cellsOf;
using testing::FakeClipboard;
using testing::FakeUi;
using testing::firstCells;
using testing::Rows;

const std::vector<std::string> kNoEntries;
std::vector<std::string> entries(int n) {
    std::vector<std::string> e;
    for (int k = 1; k <= n; ++k) e.push_back(std::to_string(k));
    return e;
}

class WorkspaceTest : public ::testing::Test {
protected:
    void paste(Side side, std::string text) {
        clipboard.content = std::move(text);
        ws.paste(side, clipboard, ui);
    }
    ChooserTexts firstColumns() const { return ChooserTexts{{"1"}, {"1"}}; }

    Workspace ws;
    FakeClipboard clipboard;
    FakeUi ui;
};

TEST_F(WorkspaceTest, StartsEmpty) {
    for (int id = 0; id < 6; ++id) {
        EXPECT_EQ(ws.list(ListId(id)).recordCount(), 0u);
        EXPECT_EQ(ws.list(ListId(id)).columnCount(), 1u);
        EXPECT_EQ(ws.countLabel(ListId(id)), "");
    }
    EXPECT_EQ(ws.chooserEntries(Side::List1), kNoEntries);
    EXPECT_EQ(ws.chooserEntries(Side::List2), kNoEntries);
}

TEST_F(WorkspaceTest, PasteFillsTheListItsResultColumnsChoosersAndCount) {
    paste(Side::List1, "Ann\t12\r\nBob\t7\tx\r\n");
    EXPECT_EQ(cellsOf(ws.list(ListId::List1)), (Rows{{"Ann", "12", ""}, {"Bob", "7", "x"}}));
    EXPECT_EQ(ws.list(ListId::Matches1).columnCount(), 3u);
    EXPECT_EQ(ws.list(ListId::NotFound1).columnCount(), 3u);
    EXPECT_EQ(ws.list(ListId::List2).columnCount(), 1u);
    EXPECT_EQ(ws.list(ListId::Matches2).columnCount(), 1u);
    EXPECT_EQ(ws.chooserEntries(Side::List1), entries(3));
    EXPECT_EQ(ws.chooserEntries(Side::List2), kNoEntries);
    EXPECT_EQ(ws.countLabel(ListId::List1), "2 records.");
    EXPECT_EQ(ws.countLabel(ListId::List2), "");
    EXPECT_EQ(ui.pointers, (std::vector<Pointer>{Pointer::Busy, Pointer::Arrow}));
    EXPECT_TRUE(ui.reports.empty());
}

TEST_F(WorkspaceTest, ShorterRowsKeepEarlierColumnsEmptyClipboardGivesNoRecords) {
    paste(Side::List2, "1\t2\t3\t4\t5\r");
    paste(Side::List2, "a\tb\tc\r");
    EXPECT_EQ(cellsOf(ws.list(ListId::List2)), (Rows{{"a", "b", "c", "", ""}}));
    EXPECT_EQ(ws.chooserEntries(Side::List2), entries(5));
    clipboard.content.reset();
    ws.paste(Side::List2, clipboard, ui);
    EXPECT_EQ(ws.list(ListId::List2).recordCount(), 0u);
    EXPECT_EQ(ws.list(ListId::List2).columnCount(), 5u);
    EXPECT_EQ(ws.chooserEntries(Side::List2), entries(5));
    EXPECT_EQ(ws.countLabel(ListId::List2), "0 records.");
}

TEST_F(WorkspaceTest, CountUsesTheGivenGroupingCharacter) {
    Workspace dotted(".");
    std::string text;
    for (int i = 0; i < 1234; ++i) text += "r\r\n";
    clipboard.content = text;
    dotted.paste(Side::List1, clipboard, ui);
    EXPECT_EQ(dotted.countLabel(ListId::List1), "1.234 records.");
}

TEST_F(WorkspaceTest, FailedClipboardReadRetriedGoesOn) {
    clipboard.failReads = 2;
    ui.answers = {Answer::Retry, Answer::Retry};
    paste(Side::List1, "a\rb\r");
    EXPECT_EQ(ui.reports, (std::vector<std::string>(
                              2, "Error: 521 = Can't open Clipboard.\nRetry or Cancel?")));
    EXPECT_EQ(firstCells(ws.list(ListId::List1)), (std::vector<std::string>{"a", "b"}));
    EXPECT_EQ(ws.countLabel(ListId::List1), "2 records.");
    EXPECT_EQ(ui.pointers, (std::vector<Pointer>{Pointer::Busy, Pointer::Arrow}));
}

// The list is emptied only once the text is in hand: a cancelled read loses nothing.
TEST_F(WorkspaceTest, FailedClipboardReadCancelledChangesNothing) {
    paste(Side::List1, "a\tb\rc\r");
    ws.takeChanges();
    clipboard.failReads = 1;
    ui.answers = {Answer::Cancel};
    paste(Side::List1, "x\ty\tz\r");
    EXPECT_EQ(cellsOf(ws.list(ListId::List1)), (Rows{{"a", "b"}, {"c", ""}}));
    EXPECT_EQ(ws.chooserEntries(Side::List1), entries(2));
    EXPECT_EQ(ws.countLabel(ListId::List1), "2 records.");
    EXPECT_EQ(ws.takeChanges(), Changes{});
    EXPECT_EQ(ui.pointers.back(), Pointer::Arrow);
}

// Each command accounts for exactly what it changed, so a window redraws that and no more.
TEST_F(WorkspaceTest, ChangesNameWhatEachCommandChanged) {
    const auto changes = [](std::initializer_list<ListId> lists,
                            std::initializer_list<ListId> counts,
                            std::initializer_list<Side> choosers) {
        Changes c;
        for (const ListId id : lists) c.lists.set(static_cast<std::size_t>(id));
        for (const ListId id : counts) c.counts.set(static_cast<std::size_t>(id));
        for (const Side side : choosers) c.choosers.set(static_cast<std::size_t>(side));
        return c;
    };
    paste(Side::List1, "a\tb\r");
    EXPECT_EQ(ws.takeChanges(), changes({ListId::List1, ListId::Matches1, ListId::NotFound1},
                                        {ListId::List1}, {Side::List1}));
    paste(Side::List1, "c\r");  // no new column, the same count
    EXPECT_EQ(ws.takeChanges(), changes({ListId::List1}, {}, {Side::List1}));
    paste(Side::List2, "c\r");
    ws.takeChanges();
    ASSERT_EQ(ws.compare(firstColumns()), std::nullopt);
    const auto results = {ListId::Matches1, ListId::Matches2, ListId::NotFound1,
                          ListId::NotFound2};
    EXPECT_EQ(ws.takeChanges(), changes(results, results, {}));
    ws.headerClicked(ListId::NotFound2, 0);
    EXPECT_EQ(ws.takeChanges(), changes({ListId::NotFound2}, {}, {}));
    ws.headerClicked(ListId::Matches1, 0);  // never sorted
    ws.headerClicked(ListId::List1, 7);     // no such column
    ws.copy(ListId::Matches1, clipboard, ui);
    EXPECT_EQ(ws.takeChanges(), Changes{});
}

TEST_F(WorkspaceTest, ComparisonFillsResultListsAndCounts) {
    paste(Side::List1, "x\t1\ry\t2\rx\t3\rz\t4\r");
    paste(Side::List2, "y\tB\rx\tA\r w \tC\r");
    ASSERT_EQ(ws.compare(firstColumns()), std::nullopt);
    EXPECT_EQ(cellsOf(ws.list(ListId::Matches1)), (Rows{{"x", "1"}, {"y", "2"}}));
    EXPECT_EQ(cellsOf(ws.list(ListId::Matches2)), (Rows{{"x", "A"}, {"y", "B"}}));
    EXPECT_EQ(cellsOf(ws.list(ListId::NotFound1)), (Rows{{"x", "3"}, {"z", "4"}}));
    EXPECT_EQ(cellsOf(ws.list(ListId::NotFound2)), (Rows{{" w ", "C"}}));
    EXPECT_EQ(ws.countLabel(ListId::Matches1), "2 records.");
    EXPECT_EQ(ws.countLabel(ListId::Matches2), "2 records.");
    EXPECT_EQ(ws.countLabel(ListId::NotFound1), "2 records.");
    EXPECT_EQ(ws.countLabel(ListId::NotFound2), "1 records.");
}

TEST_F(WorkspaceTest, RefusalEmptiesResultsButKeepsTheirCounts) {
    paste(Side::List1, "x\r");
    paste(Side::List2, "x\r");
    ASSERT_EQ(ws.compare(firstColumns()), std::nullopt);
    const auto refusal = ws.compare(ChooserTexts{{"1"}, {""}});
    EXPECT_EQ(refusal, "To make the comparison it is necessary to select the rows to compare.");
    for (const ListId id : {ListId::Matches1, ListId::Matches2, ListId::NotFound1,
                            ListId::NotFound2}) {
        EXPECT_EQ(ws.list(id).recordCount(), 0u);
    }
    EXPECT_EQ(ws.countLabel(ListId::Matches1), "1 records.");
    EXPECT_EQ(ws.countLabel(ListId::NotFound1), "0 records.");
}

TEST_F(WorkspaceTest, ResultsKeepShowingTheirRecordsAfterTheInputIsPastedAgain) {
    paste(Side::List1, "x\told\r");
    paste(Side::List2, "x\r");
    ASSERT_EQ(ws.compare(firstColumns()), std::nullopt);
    paste(Side::List1, "q\tnew\tmore\r");
    EXPECT_EQ(cellsOf(ws.list(ListId::Matches1)), (Rows{{"x", "old", ""}}));
}

TEST_F(WorkspaceTest, SortingList1ChangesWhichRecordPairsFirst) {
    paste(Side::List1, "k\tb\rk\ta\r");
    paste(Side::List2, "k\r");
    ws.headerClicked(ListId::List1, 1);
    ASSERT_EQ(ws.compare(firstColumns()), std::nullopt);
    EXPECT_EQ(cellsOf(ws.list(ListId::Matches1)), (Rows{{"k", "a"}}));
    EXPECT_EQ(cellsOf(ws.list(ListId::NotFound1)), (Rows{{"k", "b"}}));
}

TEST_F(WorkspaceTest, HeaderClicksSortOnlyTheirListAndNeverTheMatches) {
    paste(Side::List1, "b\ra\rc\r");
    paste(Side::List2, "c\rb\ra\r");
    ASSERT_EQ(ws.compare(firstColumns()), std::nullopt);
    ws.headerClicked(ListId::Matches1, 0);
    ws.headerClicked(ListId::Matches2, 0);
    EXPECT_EQ(firstCells(ws.list(ListId::Matches1)), (std::vector<std::string>{"b", "a", "c"}));
    EXPECT_FALSE(ws.list(ListId::Matches1).sorted());
    ws.headerClicked(ListId::List2, 0);
    EXPECT_EQ(firstCells(ws.list(ListId::List2)), (std::vector<std::string>{"a", "b", "c"}));
    EXPECT_EQ(firstCells(ws.list(ListId::List1)), (std::vector<std::string>{"b", "a", "c"}));
    EXPECT_EQ(ws.countLabel(ListId::List2), "3 records.");
}

TEST_F(WorkspaceTest, SortedNotFoundListIsCopiedSortedAndStaysSortedAfterTheNextCompare) {
    paste(Side::List1, "b\t2\ra\t1\rc\t0\r");
    paste(Side::List2, "zz\r");
    ws.headerClicked(ListId::NotFound1, 1);
    ASSERT_EQ(ws.compare(firstColumns()), std::nullopt);
    ws.copy(ListId::NotFound1, clipboard, ui);
    EXPECT_EQ(clipboard.content, "c\t0\ra\t1\rb\t2\r");
}

TEST_F(WorkspaceTest, CopyOfAnEmptyListDoesNothingAtAll) {
    clipboard.content = "earlier";
    ws.copy(ListId::Matches1, clipboard, ui);
    EXPECT_EQ(clipboard.content, "earlier");
    EXPECT_TRUE(ui.pointers.empty());
}

TEST_F(WorkspaceTest, CopyRetriedSetsTheWholeTextOnceAndCancelLeavesTheClipboardCleared) {
    paste(Side::List1, " a \tb\r");
    paste(Side::List2, "a\r");
    ASSERT_EQ(ws.compare(firstColumns()), std::nullopt);

    clipboard.failSets = 1;
    ui.answers = {Answer::Retry};
    ws.copy(ListId::Matches1, clipboard, ui);
    EXPECT_EQ(clipboard.content, "a\tb\r");
    EXPECT_EQ(clipboard.sets, 1);
    EXPECT_EQ(ui.reports.back(), "Error:-2147221040 = OpenClipboard Failed.\nRetry or Cancel?");

    clipboard.failSets = 1;
    ui.answers = {Answer::Cancel};
    ws.copy(ListId::Matches2, clipboard, ui);
    EXPECT_EQ(clipboard.content, std::nullopt);
    EXPECT_EQ(ui.pointers.back(), Pointer::Arrow);

    clipboard.content = "kept";
    clipboard.failClears = 1;
    ui.answers = {Answer::Cancel};
    ws.copy(ListId::Matches2, clipboard, ui);
    EXPECT_EQ(clipboard.content, "kept");
}

// Copies in turn share one buffer; each must still hold its own list and nothing of the last.
TEST_F(WorkspaceTest, CopiesInTurnHoldOnlyTheirOwnList) {
    paste(Side::List1, "a much longer record\tx\rb\r");
    paste(Side::List2, "b\r");
    ASSERT_EQ(ws.compare(firstColumns()), std::nullopt);
    ws.copy(ListId::NotFound1, clipboard, ui);
    EXPECT_EQ(clipboard.content, "a much longer record\tx\r");
    ws.copy(ListId::Matches1, clipboard, ui);
    EXPECT_EQ(clipboard.content, "b\t\r");
    ws.copy(ListId::Matches2, clipboard, ui);
    EXPECT_EQ(clipboard.content, "b\r");
}

// Copied result lists paste back as the same records, less outer spaces.
TEST_F(WorkspaceTest, CopiedResultPastesBackAsTheSameRecords) {
    paste(Side::List1, " x \t y\r\nq\r\n");
    paste(Side::List2, "zz\r\n");
    ASSERT_EQ(ws.compare(firstColumns()), std::nullopt);
    ws.copy(ListId::NotFound1, clipboard, ui);
    ws.paste(Side::List2, clipboard, ui);
    EXPECT_EQ(cellsOf(ws.list(ListId::List2)), (Rows{{"x", "y"}, {"q", ""}}));
}

}  // namespace
}  // namespace sorvane::core
