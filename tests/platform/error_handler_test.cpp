#include "platform/error_handler.h"

#include <gtest/gtest.h>

#include <initializer_list>

namespace {

class ErrorHandlerTest : public ::testing::Test {
protected:
    void SetUp() override { Reset(); }
    void TearDown() override { Reset(); }
    static void Reset() {
        ErrorHandler::exitCode = 0;
        ErrorHandler::errorCount = 0;
        ErrorHandler::throwOnBreak = 1;
    }
};

TEST_F(ErrorHandlerTest, RecordExitCodeKeepsTheMostSeriousCode) {
    const struct {
        std::initializer_list<int> codes;
        int exitCode;
    } cases[] = {
        {{1, 2, 1}, 2}, {{8, 1}, 8},     {{1}, 1},       {{255}, 255}, {{1, 255}, 1},
        {{255, 1}, 255}, {{255, 2}, 255}, {{2, 255}, 2}, {{2, 8}, 8},  {{8, 2}, 8},
        {{8, 3}, 3},     {{8, 0}, 0},
    };
    for (const auto& c : cases) {
        Reset();
        for (int code : c.codes) ErrorHandler::RecordExitCode(code);
        EXPECT_EQ(c.exitCode, ErrorHandler::exitCode) << "after " << c.codes.size() << " codes ending in "
                                                     << *(c.codes.end() - 1);
        EXPECT_EQ(static_cast<int>(c.codes.size()), ErrorHandler::errorCount);
    }
}

int CodeThrownBy(void (*raise)()) {
    try {
        raise();
    } catch (const ErrorHandler::Error& error) {
        return error.code;
    }
    return -1;
}

TEST_F(ErrorHandlerTest, ThrowRecordsAndRaisesTheCode) {
    EXPECT_EQ(3, CodeThrownBy([] { ErrorHandler::Throw(3); }));
    EXPECT_EQ(3, ErrorHandler::exitCode);
    EXPECT_EQ(1, ErrorHandler::errorCount);
    EXPECT_EQ(8, CodeThrownBy([] { ErrorHandler::OutOfMemory(); }));
    EXPECT_EQ(8, ErrorHandler::exitCode);
    EXPECT_EQ(2, ErrorHandler::errorCount);
}

TEST_F(ErrorHandlerTest, UserBreakIsRaisedOnlyWhileThrowOnBreakIsSet) {
    EXPECT_EQ(255, CodeThrownBy([] { ErrorHandler::Throw(255); }));
    EXPECT_EQ(255, ErrorHandler::exitCode);

    Reset();
    ErrorHandler::throwOnBreak = 0;
    EXPECT_EQ(-1, CodeThrownBy([] { ErrorHandler::Throw(255); }));
    EXPECT_EQ(0, ErrorHandler::exitCode);
    EXPECT_EQ(0, ErrorHandler::errorCount);
    EXPECT_EQ(2, CodeThrownBy([] { ErrorHandler::Throw(2); }));  // other codes still raise
}

TEST_F(ErrorHandlerTest, NeverOffersARetry) {
    EXPECT_FALSE(ErrorHandler::ConfirmRetry("uninstall.lng"));
    ErrorHandler::ReportFailure("uninstall.lng");
    EXPECT_EQ(0, ErrorHandler::errorCount);
}

// An error that nothing catches ends the process with its code. (A noexcept
// frame sends it to std::terminate exactly as leaving WinMain would; the test
// framework would otherwise catch it.)
TEST(ErrorHandlerDeathTest, AnUncaughtErrorEndsTheProcessWithItsCode) {
    EXPECT_EXIT([]() noexcept { ErrorHandler::OutOfMemory(); }(), ::testing::ExitedWithCode(8), "");
}

}  // namespace
