// Real spreadsheets' text and hostile and huge clipboard input through the window's real path:
// the system clipboard (the offscreen platform's), Paste records, Compare and Copy records. Each
// case states what the user sees; no record may be lost and no cell changed beyond its outer
// spaces.

#include <gtest/gtest.h>

#include <QClipboard>
#include <QFile>
#include <QGuiApplication>
#include <QImage>
#include <QMimeData>

#include "fake_messages.h"
#include "principal.h"
#include "qt_printing.h"
#include "window_driver.h"

namespace sorvane::ui {
namespace {

using testing::FakeMessages;

class BadInputTest : public ::testing::Test, protected testing::WindowDriver {
protected:
    BadInputTest() : WindowDriver(window) {}

    static QClipboard* clipboard() { return QGuiApplication::clipboard(); }
    void paste(int k, const QString& text) {
        clipboard()->setText(text);
        clickToolbar(k);
    }
    QString copied(int k) {
        clipboard()->clear();
        clickToolbar(k);
        return clipboard()->text();
    }
    void compare(const QString& one, const QString& two) {
        choose(0, one, two);
        pressCompare();
    }

    FakeMessages messages;
    Principal window{&messages};
};

TEST_F(BadInputTest, NulCharactersStayInsideTheirCells) {
    const QString withNul = QStringLiteral("a") + QChar(0) + QStringLiteral("b");
    paste(1, withNul + "\tc\r\nd\r\n");
    paste(2, withNul + "\r\n");
    EXPECT_EQ(label(11), "2 records.");
    EXPECT_EQ(cell(1, 0, 0), withNul);
    compare("1", "1");
    EXPECT_EQ(label(13), "1 records.");
    EXPECT_EQ(copied(3), withNul + "\tc\r");
}

// Text offered as UTF-8 bytes (as Calc offers it) is taken as it comes; text offered otherwise
// comes decoded by Qt. Both must read the same: a leading byte order mark dropped, one inside
// kept, and invalid bytes replaced.
TEST_F(BadInputTest, InvalidUtf8BecomesReplacementCharactersAndNothingElseChanges) {
    for (const char* format : {"text/plain;charset=utf-8", "text/plain"}) {
        SCOPED_TRACE(format);
        const auto offer = [&](const QByteArray& bytes) {
            auto* mime = new QMimeData;
            mime->setData(format, bytes);
            clipboard()->setMimeData(mime);
            clickToolbar(1);
        };
        offer("\xEF\xBB\xBFok\t\xEF\xBB\xBF\r\n");
        const core::RecordList& list1 = window.workspace().list(core::ListId::List1);
        EXPECT_EQ(list1.cell(0, 0), "ok");  // the display would hide a mark left in
        EXPECT_EQ(list1.cell(0, 1), "\xEF\xBB\xBF");
        offer(QByteArray("\xEF\xBB\xBFok\t\xff\xfe\r\n\xEF\xBB\xBFnext\t\xc3\r\n", 21));
        EXPECT_EQ(label(11), "2 records.");
        EXPECT_EQ(cell(1, 0, 0), "ok");
        EXPECT_EQ(cell(1, 0, 1), QString(2, QChar(0xFFFD)));
        paste(2, "zz\r\n");
        compare("1", "1");
        const QStringList rows = copied(5).split('\r', Qt::SkipEmptyParts);
        ASSERT_EQ(rows.size(), 2);
        EXPECT_TRUE(rows[0].startsWith("ok\t"));
        EXPECT_TRUE(rows[1].startsWith(QChar(0xFEFF) + QStringLiteral("next\t")));
    }
}

TEST_F(BadInputTest, AHundredMegabyteCellIsShownInPartAndCopiedWhole) {
    const QString big(100'000'000, QChar('x'));
    paste(1, big + "\tkey\r\nw\tzz\r\n");
    paste(2, "key\r\n");
    EXPECT_EQ(label(11), "2 records.");
    clickHeader(1, 0);
    EXPECT_EQ(cell(1, 0, 0), "w");
    clickHeader(1, 1);
    const QString shownCell = cell(1, 0, 0);
    EXPECT_LT(shownCell.size(), 5000);
    EXPECT_TRUE(shownCell.endsWith(QChar(0x2026)));
    EXPECT_EQ(cell(1, 0, 1), "key");
    compare("2", "1");
    EXPECT_EQ(label(13), "1 records.");
    const QString text = copied(3);
    EXPECT_EQ(text.size(), big.size() + 5);
    EXPECT_TRUE(text.endsWith("x\tkey\r"));
}

TEST_F(BadInputTest, AMillionEmptyLinesAreAMillionEmptyRecords) {
    QString lines;
    for (int i = 0; i < 1'000'000; ++i) lines += "\r\n";
    paste(1, lines);
    paste(2, "\r\n");
    EXPECT_EQ(label(11), "1,000,000 records.");
    EXPECT_EQ(columns(1), 1);
    compare("1", "1");
    EXPECT_EQ(label(13), "1 records.");  // an empty cell agrees with an empty cell
    EXPECT_EQ(label(15), "999,999 records.");
    EXPECT_EQ(copied(5), QString(999'999, QChar('\r')));
}

TEST_F(BadInputTest, ARowOfAHundredThousandCellsGivesAHundredThousandColumns) {
    QString row;
    for (int c = 0; c < 100'000; ++c) row += (c ? "\tc" : "c") + QString::number(c);
    paste(1, row + "\r\n");
    paste(2, "c99999\r\n");
    for (int k : {1, 3, 5}) EXPECT_EQ(columns(k), 100'000);
    EXPECT_EQ(list(1)->model()->headerData(99'999, Qt::Horizontal).toString(), "100000");
    EXPECT_EQ(cell(1, 0, 99'999), "c99999");
    EXPECT_EQ(cell(1, 0, 50'000), "c50000");
    for (int r = 0; r < 4; ++r) {
        EXPECT_EQ(chooser(1, r)->count(), 100'000);
        EXPECT_EQ(chooser(1, r)->itemText(99'999), "100000");
        EXPECT_EQ(chooser(1, r)->currentText(), "");
    }
    compare("100000", "1");
    EXPECT_EQ(label(13), "1 records.");
    EXPECT_EQ(copied(3), row + "\r");

    paste(1, row + "\r\nz\r\n");
    clickHeader(1, 99'999);  // the short row has no such cell: it sorts as empty, first
    EXPECT_EQ(cell(1, 0, 0), "z");
    EXPECT_EQ(cell(1, 1, 99'999), "c99999");
}

TEST_F(BadInputTest, TenMillionOneCharacterRows) {
    QString text;
    text.reserve(30'000'000);
    for (int i = 0; i < 10'000'000; ++i) text += i % 2 ? "a\r\n" : "b\r\n";
    paste(1, text);
    text.clear();
    paste(2, "a\r\n");
    EXPECT_EQ(label(11), "10,000,000 records.");
    compare("1", "1");
    EXPECT_EQ(label(13), "1 records.");
    EXPECT_EQ(label(15), "9,999,999 records.");
    EXPECT_EQ(copied(5).size(), 2 * 9'999'999);
}

TEST_F(BadInputTest, RichTextIsShownLiterallyInListsAndMessages) {
    paste(1, "<b>bold</b>\t<a href='x'>link</a>\r\n");
    paste(2, "<b>bold</b>\r\n");
    EXPECT_EQ(cell(1, 0, 0), "<b>bold</b>");
    EXPECT_EQ(cell(1, 0, 1), "<a href='x'>link</a>");
    compare("<i>1</i>", "1");
    ASSERT_EQ(messages.shown.size(), 1u);
    EXPECT_EQ(messages.shown[0].text,
              "The 1st comparison names column \"<i>1</i>\" of List 1, which does not exist. "
              "Choose a column from 1 to 2.");
    compare("1", "1");
    EXPECT_EQ(copied(3), "<b>bold</b>\t<a href='x'>link</a>\r");
    for (int k = 11; k <= 16; ++k) {
        EXPECT_EQ(control<QLabel>(QStringLiteral("Label%1").arg(k))->textFormat(), Qt::PlainText);
    }
}

TEST_F(BadInputTest, EmptyClipboardAndImageOnlyClipboardGiveNoRecords) {
    paste(1, "old\r\n");
    clipboard()->clear();
    clickToolbar(1);
    EXPECT_EQ(rows(1), 0);
    EXPECT_EQ(label(11), "0 records.");

    paste(2, "old\r\n");
    QImage image(8, 8, QImage::Format_RGB32);
    image.fill(Qt::red);
    clipboard()->setImage(image);
    clickToolbar(2);
    EXPECT_EQ(rows(2), 0);
    EXPECT_EQ(label(12), "0 records.");
    EXPECT_TRUE(messages.shown.empty());
}

struct SpreadsheetCase {
    const char* file;
    testing::Rows rows;
    friend void PrintTo(const SpreadsheetCase& c, std::ostream* os) { *os << c.file; }
};

class SpreadsheetTest : public BadInputTest,
                        public ::testing::WithParamInterface<SpreadsheetCase> {
protected:
    void pasteBytes(int k, const QByteArray& bytes, const QString& format = "text/plain") {
        auto* mime = new QMimeData;
        mime->setData(format, bytes);
        clipboard()->setMimeData(mime);
        clickToolbar(k);
    }
};

// Each capture holds one row per record with LF line ends. The same text as a Windows
// spreadsheet sends it, rows ended by CR LF and a cell's own line break kept an LF, must read
// the same.
TEST_P(SpreadsheetTest, CapturedTextPastesOneRecordPerRowWhicheverLineEnds) {
    QFile file(QStringLiteral(SORVANE_TEST_DATA "/clipboard/") + GetParam().file);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const QByteArray lf = file.readAll();
    pasteBytes(1, lf, "text/plain;charset=utf-8");  // as Calc offers it besides UTF8_STRING
    EXPECT_EQ(shown(1), GetParam().rows);
    pasteBytes(1, lf);
    EXPECT_EQ(shown(1), GetParam().rows);
    EXPECT_EQ(label(11), QString::number(GetParam().rows.size()) + " records.");
    QByteArray crLf = lf;
    pasteBytes(2, crLf.replace("\n", "\r\n").replace("one\r\nLine", "one\nLine"));
    EXPECT_EQ(shown(2), GetParam().rows);
}

INSTANTIATE_TEST_SUITE_P(
    Captures, SpreadsheetTest,
    ::testing::Values(
        SpreadsheetCase{"libreoffice-calc-utf8.txt",
                        {{"A001", "  padded  ", "1,234,567.50"}, {"A002", "", "42"},
                         {"A003", "Café é", "03/15/2024"}, {"A004", "中文", "cjk"},
                         {"A005", "Line one Line two", "two-line"},
                         {"A006", "He said \"hi\"", "quote"}, {"A007", "plain", "7"},
                         {"A008", "last", "8"}}},
        // The quoted two-line cell stays one cell, quotes kept and its lines joined.
        SpreadsheetCase{"libreoffice-calc-tsvc.txt",
                        {{"A001", "  padded  ", "1,234,567.50"}, {"A002", "", "42"},
                         {"A003", "Café é", "03/15/2024"}, {"A004", "中文", "cjk"},
                         {"A005", "\"Line oneLine two\"", "two-line"},
                         {"A006", "He said \"hi\"", "quote"}, {"A007", "plain", "7"},
                         {"A008", "last", "8"}}},
        // An unquoted line break cannot be told from a row end, and ends the row.
        SpreadsheetCase{"gnumeric-utf8.txt",
                        {{"A001", "  spaced  ", "9,876.50"}, {"A002", "", "17"},
                         {"A003", "Crème é", "12/31/2024"}, {"A005", "中文 text", "cjk"},
                         {"A006", "Alpha", ""}, {"Beta", "two-line", ""},
                         {"B010", "She said \"yes\"", "quote"}, {"B011", "extra", "11"},
                         {"A008", "last", "8"}}}),
    [](const auto& info) {
        std::string name = info.param.file;
        name = name.substr(0, name.find('.'));
        std::erase(name, '-');
        return name;
    });

struct ChooserCase {
    const char* name;
    QString text;
    QString message;  // empty: the comparison runs
    friend void PrintTo(const ChooserCase& c, std::ostream* os) { *os << c.name; }
};

class ChooserTextTest : public BadInputTest, public ::testing::WithParamInterface<ChooserCase> {};

TEST_P(ChooserTextTest, NamesAColumnOrIsRefused) {
    paste(1, "k\tx\tq\r\n");
    paste(2, "x\r\n");
    compare(GetParam().text, "1");
    if (GetParam().message.isEmpty()) {
        EXPECT_TRUE(messages.shown.empty());
        EXPECT_EQ(label(13), "1 records.");
    } else {
        ASSERT_EQ(messages.shown.size(), 1u);
        EXPECT_EQ(messages.shown[0].kind, "refusal");
        EXPECT_EQ(messages.shown[0].text,
                  "The 1st comparison names column \"" + GetParam().text +
                      "\" of List 1, which does not exist. Choose a column from 1 to 3.");
        EXPECT_EQ(rows(3), 0);
    }
}

const QString kRefused = QStringLiteral("refused");

INSTANTIATE_TEST_SUITE_P(
    Cases, ChooserTextTest,
    ::testing::Values(ChooserCase{"Zero", "0", kRefused}, ChooserCase{"Negative", "-1", kRefused},
                      ChooserCase{"Huge", "99999999999999999999", kRefused},
                      ChooserCase{"Spaced", " 2 ", ""}, ChooserCase{"Fraction", "2.5", kRefused},
                      ChooserCase{"Word", "abc", kRefused},
                      ChooserCase{"ArabicIndicDigit", QString(QChar(0x0663)), kRefused},
                      ChooserCase{"LoneSpace", " ", kRefused}),
    [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace sorvane::ui
