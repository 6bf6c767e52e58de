// Running out of memory during a paste: the error report says so, Retry tries again, Cancel
// leaves the program working. The test lowers this process's own address-space limit, as
// `ulimit -v` would for a child, just before the paste that needs more.

#include <sys/resource.h>

#include <gtest/gtest.h>

#include <fstream>
#include <string>

#include "fake_messages.h"
#include "fakes.h"
#include "principal.h"
#include "qt_printing.h"
#include "window_driver.h"

namespace sorvane::ui {
namespace {

using core::testing::FakeClipboard;
using testing::FakeMessages;

#if defined(__SANITIZE_ADDRESS__)
constexpr bool kAddressSanitizer = true;  // it reserves terabytes of address space up front
#else
constexpr bool kAddressSanitizer = false;
#endif

// Address space in use now, from /proc/self/statm (pages).
rlim_t addressSpaceInUse() {
    std::ifstream statm("/proc/self/statm");
    unsigned long long pages = 0;
    statm >> pages;
    return static_cast<rlim_t>(pages) * 4096;
}

// Lowers the soft address-space limit for its lifetime.
class AddressSpaceLimit {
public:
    explicit AddressSpaceLimit(rlim_t bytes) {
        getrlimit(RLIMIT_AS, &saved_);
        rlimit lowered = saved_;
        lowered.rlim_cur = bytes;
        setrlimit(RLIMIT_AS, &lowered);
    }
    ~AddressSpaceLimit() { setrlimit(RLIMIT_AS, &saved_); }

private:
    rlimit saved_{};
};

TEST(MemoryTest, PasteThatRunsOutOfMemoryReportsItAndTheProgramGoesOn) {
    if (kAddressSanitizer) GTEST_SKIP() << "address-space limits do not apply under ASan";
    FakeMessages messages;
    FakeClipboard clipboard;
    Principal window(&messages, &clipboard);
    testing::WindowDriver driver(window);

    clipboard.content = "a\tb\r\n";
    driver.clickToolbar(1);
    ASSERT_EQ(driver.label(11), "1 records.");

    // Ten million rows: the reader needs 80 MB for their offsets alone.
    std::string text;
    text.reserve(30'000'000);
    for (int i = 0; i < 10'000'000; ++i) text += "x\r\n";
    clipboard.content = std::move(text);
    messages.answers = {core::Answer::Retry, core::Answer::Cancel};
    {
        const AddressSpaceLimit limit(addressSpaceInUse() + (48u << 20));
        driver.clickToolbar(1);
    }
    ASSERT_EQ(messages.shown.size(), 2u);
    for (const auto& shown : messages.shown) {
        EXPECT_EQ(shown.kind, "errorReport");
        EXPECT_EQ(shown.text, "Error: 7 = Out of memory.\nRetry or Cancel?");
        EXPECT_EQ(shown.pointer, Qt::WaitCursor);
    }
    // The text was in hand, so the list was emptied; the rows read before memory ran out stay,
    // and the count label counts them.
    EXPECT_LT(driver.rows(1), 10'000'000);
    EXPECT_EQ(driver.label(11), QStringLiteral("%L1 records.").arg(driver.rows(1)));
    EXPECT_EQ(driver.entries(1, 0), (QStringList{"1", "2"}));
    EXPECT_EQ(window.cursor().shape(), Qt::ArrowCursor);

    // With memory back, everything works again.
    clipboard.content = "k\tv\r\n";
    driver.clickToolbar(1);
    driver.clickToolbar(2);
    driver.choose(0, "1", "1");
    driver.pressCompare();
    EXPECT_EQ(driver.label(13), "1 records.");
}

}  // namespace
}  // namespace sorvane::ui
