#include "step_runner.h"

#include <gtest/gtest.h>

#include <new>

#include "fakes.h"

namespace sorvane::core {
namespace {

using testing::FakeUi;

struct ReportCase {
    const char* name;
    std::int32_t number;
    std::string description;
    std::string text;
    friend void PrintTo(const ReportCase& c, std::ostream* os) { *os << c.name; }
};

class ErrorReportTextTest : public ::testing::TestWithParam<ReportCase> {};

TEST_P(ErrorReportTextTest, BuildsTheReport) {
    EXPECT_EQ(errorReportText(GetParam().number, GetParam().description), GetParam().text);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, ErrorReportTextTest,
    ::testing::Values(
        ReportCase{"Positive", 13, "Type mismatch", "Error: 13 = Type mismatch.\nRetry or Cancel?"},
        ReportCase{"Zero", 0, "x", "Error: 0 = x.\nRetry or Cancel?"},
        ReportCase{"Negative", -5, "x", "Error:-5 = x.\nRetry or Cancel?"},
        ReportCase{"EmptyDescription", 7, "", "Error: 7 = .\nRetry or Cancel?"},
        ReportCase{"DescriptionWithFullStop", 1, "Done.", "Error: 1 = Done..\nRetry or Cancel?"},
        ReportCase{"MostNegative", INT32_MIN, "m", "Error:-2147483648 = m.\nRetry or Cancel?"}),
    [](const auto& info) { return std::string(info.param.name); });

class StepRunnerTest : public ::testing::Test {
protected:
    FakeUi ui;
    StepRunner steps{ui};
    std::vector<std::string> done;
};

TEST_F(StepRunnerTest, RetryRunsOnlyTheFailedStepAgainAndGoesOn) {
    int failures = 2;
    ui.answers = {Answer::Retry, Answer::Retry};
    EXPECT_TRUE(steps.run([&] { done.push_back("one"); }));
    EXPECT_TRUE(steps.run([&] {
        if (failures-- > 0) throw StepError(13, "Type mismatch");
        done.push_back("two");
    }));
    EXPECT_TRUE(steps.run([&] { done.push_back("three"); }));
    EXPECT_EQ(done, (std::vector<std::string>{"one", "two", "three"}));
    EXPECT_EQ(ui.reports, (std::vector<std::string>(2, "Error: 13 = Type mismatch.\nRetry or Cancel?")));
    EXPECT_TRUE(ui.pointers.empty());
    EXPECT_FALSE(steps.cancelled());
}

TEST_F(StepRunnerTest, CancelSetsTheArrowAndSkipsEveryLaterStep) {
    ui.answers = {Answer::Cancel};
    EXPECT_TRUE(steps.run([&] { done.push_back("one"); }));
    EXPECT_FALSE(steps.run([&] { throw StepError(521, "Can't open Clipboard"); }));
    EXPECT_FALSE(steps.run([&] { done.push_back("three"); }));
    EXPECT_EQ(done, std::vector<std::string>{"one"});
    EXPECT_EQ(ui.pointers, std::vector<Pointer>{Pointer::Arrow});
    EXPECT_TRUE(steps.cancelled());
}

TEST_F(StepRunnerTest, OutOfMemoryAndOtherFailuresAreReportedToo) {
    ui.answers = {Answer::Retry, Answer::Retry};
    int calls = 0;
    EXPECT_TRUE(steps.run([&] {
        if (++calls == 1) throw std::bad_alloc();
        if (calls == 2) throw std::runtime_error("disk on fire");
    }));
    EXPECT_EQ(ui.reports, (std::vector<std::string>{"Error: 7 = Out of memory.\nRetry or Cancel?",
                                                    "Error: 1 = disk on fire.\nRetry or Cancel?"}));
}

}  // namespace
}  // namespace sorvane::core
