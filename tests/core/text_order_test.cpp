#include "text_order.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <numeric>
#include <random>

#include "test_lists.h"

#if defined(_WIN32)
#include <windows.h>
#endif

namespace sorvane::core {
namespace {

using testing::firstCells;
using testing::listOf;

#if defined(_WIN32)
// Whether this Windows program runs under Wine, whose collation differs from the system's in a
// few places.
bool underWine() {
    const HMODULE ntdll = GetModuleHandleW(L"ntdll.dll");
    return ntdll != nullptr && GetProcAddress(ntdll, "wine_get_version") != nullptr;
}
#endif

// Cells joined by ", " as one readable string.
std::string joined(const std::vector<std::string>& cells) {
    std::string out;
    for (std::size_t i = 0; i < cells.size(); ++i) out += (i == 0 ? "" : ", ") + cells[i];
    return out;
}

struct OrderCase {
    const char* name;
    const char* locale;
    std::vector<std::string> cells;
    const char* sorted;
    friend void PrintTo(const OrderCase& c, std::ostream* os) { *os << c.name; }
};

class TextOrderTest : public ::testing::TestWithParam<OrderCase> {};

TEST_P(TextOrderTest, SortsAsReadersOfTheLocaleExpect) {
    std::string text;
    for (const std::string& cell : GetParam().cells) text += cell + "\r";
    RecordList list = listOf(text);
    list.setTextOrder(std::make_shared<const TextOrder>(GetParam().locale));
    list.sortBy(0);
    EXPECT_EQ(joined(firstCells(list)), GetParam().sorted);
}

// The same order under ICU and under Windows' own collation, which takes the POSIX locale names
// too. An empty name, or C, is Windows' user locale: these cases hold in any that orders Latin
// letters as English does.
INSTANTIATE_TEST_SUITE_P(
    Locales, TextOrderTest,
    ::testing::Values(
        // Cells that differ only in case are equal and keep their order.
        OrderCase{"CaseTiesKeepTheirOrder", "", {"B", "b", "A", "a"}, "A, a, B, b"},
        OrderCase{"CaseDoesNotSeparateWords", "C.UTF-8", {"cherry", "Banana", "apple", "Banjo"},
                  "apple, Banana, Banjo, cherry"},
        OrderCase{"PosixLocaleIsTheRootOrder", "POSIX", {"b", "B", "a", "A"}, "a, A, b, B"},
        OrderCase{"AccentSortsNextToItsPlainForm", "en_US.UTF-8",
                  {"resumes", "résumé", "Resume", "resume"}, "Resume, resume, résumé, resumes"},
        OrderCase{"DigitsAreText", "en_GB.UTF-8", {"item9", "item10", "9", "10", "100"},
                  "10, 100, 9, item10, item9"},
        OrderCase{"EmptyCellFirstThenPrefixes", "", {"abcdefghij2", "abcdefghij10", "", "abcdefgh"},
                  ", abcdefgh, abcdefghij10, abcdefghij2"},
        OrderCase{"GermanUmlautsSortWithTheirVowel", "de_DE.UTF-8",
                  {"Zürich", "Ost", "Örebro", "Oslo", "Ärger", "Affe"},
                  "Affe, Ärger, Örebro, Oslo, Ost, Zürich"},
        OrderCase{"SwedishLettersComeAfterZ", "sv_SE.UTF-8",
                  {"Örebro", "Oslo", "Zürich", "Åre", "Ärla", "Arboga"},
                  "Arboga, Oslo, Zürich, Åre, Ärla, Örebro"},
        OrderCase{"PolishLWithStrokeFollowsL", "pl_PL.UTF-8",
                  {"Zakopane", "Łódź", "lublin", "Kraków", "łańcut", "Lublin"},
                  "Kraków, lublin, Lublin, łańcut, Łódź, Zakopane"},
        OrderCase{"Cyrillic", "ru_RU.UTF-8", {"Яна", "анна", "Борис", "вера", "Анна"},
                  "анна, Анна, Борис, вера, Яна"},
        OrderCase{"Greek", "el_GR.UTF-8", {"Ωμέγα", "άλφα", "Βήτα", "αλφάβητο", "Άλφα"},
                  "άλφα, Άλφα, αλφάβητο, Βήτα, Ωμέγα"},
        OrderCase{"HebrewAfterLatin", "", {"שלום", "zebra", "בית", "אבא"},
                  "zebra, אבא, בית, שלום"},
        // A hyphen is a symbol before digits and letters, in numbers as in words.
        OrderCase{"HyphenIsASymbol", "en_US.UTF-8", {"coop", "5", "co-op", "Coop", "-5", "cop"},
                  "-5, 5, co-op, coop, Coop, cop"}),
    [](const auto& info) { return std::string(info.param.name); });

#if defined(_WIN32)
// Windows' names of its locales.
INSTANTIATE_TEST_SUITE_P(
    WindowsLocales, TextOrderTest,
    ::testing::Values(
        OrderCase{"SwedishLettersComeAfterZ", "sv-SE",
                  {"Örebro", "Oslo", "Zürich", "Åre", "Ärla", "Arboga"},
                  "Arboga, Oslo, Zürich, Åre, Ärla, Örebro"},
        OrderCase{"CaseTiesAccentsFollow", "de-DE", {"Zürich", "Zurich", "Zug", "zurich"},
                  "Zug, Zurich, zurich, Zürich"}),
    [](const auto& info) { return std::string(info.param.name); });
#else
// ICU's rules that the Windows tests cannot share: under Wine, where they run, Hebrew follows
// Latin for Hebrew readers too, and the dotless i sorts as an accented i in Turkish as well.
INSTANTIATE_TEST_SUITE_P(
    IcuLocales, TextOrderTest,
    ::testing::Values(
        // Hebrew readers put their own script first; elsewhere it follows the Latin one.
        OrderCase{"HebrewFirstForHebrewReaders", "he_IL.UTF-8", {"שלום", "zebra", "בית", "אבא"},
                  "אבא, בית, שלום, zebra"},
        OrderCase{"TurkishDotlessIBeforeI", "tr_TR.UTF-8",
                  {"İzmir", "ikinci", "Istanbul", "ılık", "ısı"},
                  "ılık, ısı, Istanbul, ikinci, İzmir"},
        OrderCase{"DotlessIElsewhereAfterI", "", {"İzmir", "ikinci", "Istanbul", "ılık", "ısı"},
                  "ikinci, Istanbul, İzmir, ılık, ısı"},
        // Codes of capitals, digits and hyphens order as their bytes do...
        OrderCase{"CodesOrderAsTheirBytes", "en_US.UTF-8", {"AB-9", "B-1", "AB-10", "A1", "AA-100"},
                  "A1, AA-100, AB-10, AB-9, B-1"},
        // ...but plain ASCII letters do not always: a pair that is one letter, a letter with a
        // place of its own.
        OrderCase{"CzechChAfterH", "cs_CZ.UTF-8", {"chata", "hora", "cizi", "ihned"},
                  "cizi, hora, chata, ihned"},
        OrderCase{"LithuanianYWithI", "lt_LT.UTF-8", {"jonas", "yra", "ignas", "zuikis"},
                  "ignas, yra, jonas, zuikis"},
        OrderCase{"EstonianZAfterS", "et_EE.UTF-8", {"tee", "zoo", "sai"}, "sai, zoo, tee"},
        OrderCase{"DanishAaAfterZ", "da_DK.UTF-8", {"aabenraa", "zealand", "abe"},
                  "abe, zealand, aabenraa"}),
    [](const auto& info) { return std::string(info.param.name); });
#endif

TEST(TextOrderLocale, FirstOfLcAllLcCollateAndLangThatIsSetAndNotEmpty) {
    EXPECT_EQ(collationLocale("sv_SE.UTF-8", "de_DE.UTF-8", "pl_PL.UTF-8"), "sv_SE.UTF-8");
    EXPECT_EQ(collationLocale("", "de_DE.UTF-8", "pl_PL.UTF-8"), "de_DE.UTF-8");
    EXPECT_EQ(collationLocale(nullptr, nullptr, "pl_PL.UTF-8"), "pl_PL.UTF-8");
    EXPECT_EQ(collationLocale(nullptr, "", nullptr), "");
#if defined(_WIN32)
    EXPECT_EQ(TextOrder("sv_SE.UTF-8@euro").ruleLocale(), "sv-SE");
    EXPECT_EQ(TextOrder("sv-SE").ruleLocale(), "sv-SE");
    wchar_t user[LOCALE_NAME_MAX_LENGTH];
    ASSERT_GT(GetUserDefaultLocaleName(user, LOCALE_NAME_MAX_LENGTH), 1);
    const std::string userLocale(user, user + wcslen(user));
    for (const char* name : {"", "C.UTF-8", "POSIX", "xx_YY.UTF-8"}) {
        EXPECT_EQ(TextOrder(name).ruleLocale(), userLocale) << "for '" << name << "'";
    }
#elif defined(__EMSCRIPTEN__)
    // The browser's names: the language alone where its rules are the language's.
    EXPECT_EQ(TextOrder("sv_SE.UTF-8@euro").ruleLocale(), "sv");
    EXPECT_EQ(TextOrder("de-DE").ruleLocale(), "de");
    EXPECT_EQ(TextOrder("C.UTF-8").ruleLocale(), TextOrder("").ruleLocale());
    EXPECT_EQ(TextOrder("not a locale").ruleLocale(), TextOrder("").ruleLocale());
#else
    EXPECT_EQ(TextOrder("sv_SE.UTF-8@euro").ruleLocale(), "sv");
    EXPECT_EQ(TextOrder("C.UTF-8").ruleLocale(), "root");
#endif
}

TEST(TextOrderStability, EqualKeysKeepTheirOrderInEveryColumn) {
    RecordList list = listOf("b\t1\rB\t2\ra\t3\rb\t4\rA\t5\r");
    list.sortBy(0);
    std::vector<std::string> second;
    for (std::size_t r = 0; r < list.recordCount(); ++r) second.emplace_back(list.cell(r, 1));
    EXPECT_EQ(second, (std::vector<std::string>{"3", "5", "1", "2", "4"}));
}

// Keys larger than the room first tried for them order as short ones do: a ligature weighs as
// the letters it joins, and takes more bytes of key a character than any letter.
TEST(TextOrderStability, LongKeysOrderAsShortOnes) {
    std::string letters, ligatures;
    for (int i = 0; i < 40; ++i) {
        letters += "ffi";
        ligatures += "\xef\xac\x83";  // U+FB03, ffi as one character
    }
    RecordList list = listOf(ligatures + "b\r" + letters + "a\r" + ligatures + "a\r");
    list.sortBy(0);
    EXPECT_EQ(firstCells(list),
              (std::vector<std::string>{letters + "a", ligatures + "a", ligatures + "b"}));
}

enum Kind { Repeats, RepeatsAfterDistinct, Few, Plain, FewPlain, PlainThenOther, ManyRepeats };

// A column of `kind`, 20,000 records after as many distinct cells as RepeatsAfterDistinct has,
// or 300,000 drawn from 80,000 cells, more than the sort keeps in mind; each followed by its
// place in the list before the sort: its row, or where `shuffled` a place the list is to be
// sorted by first. Places have six digits, so that they order as numbers.
std::string columnOf(Kind kind, bool shuffled) {
    const std::vector<std::string> few = {"", "a", "A", "b", "B", "\xc3\xa9", "e\xcc\x81", "ab"};
    const std::vector<std::string> fewPlain = {"", "0", "10", "9", "-1", "1.5", "01/02", "-"};
    std::mt19937 rng(7);
    const int distinctFirst = kind == RepeatsAfterDistinct ? 20000 : 0;
    const int rows = kind == ManyRepeats ? 300000 : distinctFirst + 20000;
    std::vector<int> places(rows);
    std::iota(places.begin(), places.end(), 100000);
    if (shuffled) std::shuffle(places.begin(), places.end(), rng);
    std::string text;
    for (int r = 0; r < rows; ++r) {
        const std::string number =
            std::to_string(r < distinctFirst ? 10000 + r : 1000 + rng() % 6000);
        if (kind == Few || kind == FewPlain) {
            const auto& cells = kind == Few ? few : fewPlain;
            text += cells[rng() % cells.size()];
        } else if (kind == Plain || kind == PlainThenOther) {
            const std::string forms[] = {"", "-" + number, number + "/12/2026",
                                         number + "." + number.substr(2), number};
            text += kind == PlainThenOther && r == rows - 1 ? "(1000)" : forms[r % 5];
        } else if (kind == ManyRepeats) {
            text += "w" + std::to_string(10000 + rng() % 80000);
        } else {
            text += r % 2 ? "w" + number : "name of " + number + " in full";
        }
        text += '\t' + std::to_string(places[r]) + '\r';
    }
    return text;
}

// Columns of every kind the sort treats apart, as they were pasted and after a sort by another
// column, under the root order and under Thai rules, which ignore - . / : cells that repeat,
// among more distinct ones than the sort keeps in mind at once, and cells that differ only in
// their middle; the same after 20,000 distinct cells, when the sort no longer looks for repeats;
// a few cells, some equal only in case or in normal form; numbers and dates, empty cells among
// them, which order as their bytes; a few of those; numbers with one at the end in brackets, as
// accountants write a loss, which is no longer plain; and many cells that repeat, more than the
// sort keeps in mind. Every row orders by its own cell's key, and equal keys keep the order they
// had.
TEST(TextOrderStability, EveryKindOfColumnOrdersByItsCellsKeys) {
    for (const char* locale : {"", "th_TH"}) {
        const auto order = std::make_shared<const TextOrder>(locale);
        for (const Kind kind : {Repeats, RepeatsAfterDistinct, Few, Plain, FewPlain,
                                PlainThenOther, ManyRepeats}) {
            for (const bool shuffled : {false, true}) {
                RecordList list = listOf(columnOf(kind, shuffled));
                list.setTextOrder(order);
                if (shuffled) list.sortBy(1);
                list.sortBy(0);
                for (std::size_t r = 1; r < list.recordCount(); ++r) {
                    const int c = order->compare(list.cell(r - 1, 0), list.cell(r, 0));
                    ASSERT_TRUE(c < 0 || (c == 0 && list.cell(r - 1, 1) < list.cell(r, 1)))
                        << "at " << r << " of kind " << kind << (shuffled ? ", shuffled," : "")
                        << " under '" << locale << "'";
                }
            }
        }
    }
}

// Bytes that are no text at all still get one order, the same whatever order they came in,
// and every record stays.
TEST(TextOrderStability, InvalidUtf8AndNulGiveOneDeterministicOrder) {
    const std::vector<std::string> cells = {std::string("a\0b", 3), "\xff\xfe", "b", "\xc3",
                                            "a", std::string("\0", 1), "\xef\xbf\xbd"};
    std::string forward, backward;
    for (std::size_t i = 0; i < cells.size(); ++i) {
        forward += cells[i] + "\r";
        backward += cells[cells.size() - 1 - i] + "\r";
    }
    RecordList one = listOf(forward), two = listOf(backward);
    one.sortBy(0);
    two.sortBy(0);
    std::vector<std::string> a = firstCells(one), b = firstCells(two);
    ASSERT_EQ(a.size(), cells.size());
    std::vector<std::string> sortedA = a, sortedCells = cells;
    std::sort(sortedA.begin(), sortedA.end());
    std::sort(sortedCells.begin(), sortedCells.end());
    EXPECT_EQ(sortedA, sortedCells);
    EXPECT_LT(std::find(a.begin(), a.end(), "a") - a.begin(),
              std::find(a.begin(), a.end(), "b") - a.begin());
#if defined(_WIN32)
    // Wine's collation gives U+FFFD no weight at all, as it gives none to NUL: there the invalid
    // cells tie with the NUL, and the first of them in the list comes first.
    if (underWine()) GTEST_SKIP() << "U+FFFD orders as nothing under Wine";
#endif
    EXPECT_EQ(a.front(), std::string("\0", 1));  // a NUL alone orders as an empty cell
}

}  // namespace
}  // namespace sorvane::core
