#include "entry/command_line.h"

#include <gtest/gtest.h>

#include "entry/app_state.h"

namespace {

using A = ImmediateAction;

struct ScanCase {
    const char* commandLine;
    Road road;
    bool silent;
    bool msi;
    int optionCount;
    std::vector<ImmediateAction> actions;
};

const ScanCase kScanCases[] = {
    {"", Road::Uninstall, false, false, 0, {}},
    {"C:\\plain path", Road::Uninstall, false, false, 0, {}},
    {"/s", Road::Uninstall, true, false, 0, {}},
    {"-S", Road::Uninstall, true, false, 0, {}},
    {"/s2", Road::Uninstall, true, false, 0, {}},
    {"/s /s", Road::Uninstall, true, false, 0, {}},
    {"-S /s", Road::Uninstall, true, false, 0, {}},
    {"/s/", Road::None, true, false, 1, {}},  // the trailing "/" starts an empty option
    {"/sx", Road::None, false, false, 1, {}},
    {"/wait", Road::None, false, false, 1, {A::Wait}},
    {"/waiting", Road::None, false, false, 1, {A::Wait}},
    {"/wait /s", Road::None, true, false, 1, {A::Wait}},
    {"/warning /wait", Road::None, false, false, 2, {A::Warning, A::Wait}},
    {"/wait /wait", Road::None, false, false, 2, {A::Wait, A::Wait}},
    {"/msi", Road::None, false, true, 1, {}},
    {"/clean", Road::None, false, false, 1, {}},
    {"/help", Road::None, false, false, 1, {}},
    {"C:\\my-files\\x", Road::None, false, false, 1, {}},
    {"\"C:\\a-b\\x\"", Road::None, false, false, 1, {}},
    {"/setup", Road::Setup, false, false, 1, {}},
    {"/SETUP", Road::Setup, false, false, 1, {}},
    {"-Setup", Road::Setup, false, false, 1, {}},
    {"/setupnow", Road::Setup, false, false, 1, {}},
    {"/setup /s", Road::Setup, true, false, 1, {}},
    {"/setup-s", Road::Setup, true, false, 1, {}},
    {"/msi /setup", Road::Setup, false, true, 2, {}},
    {"/setup /wait", Road::Setup, false, false, 2, {A::Wait}},
    {"-", Road::None, false, false, 1, {}},
};

TEST(ScanCommandLine, ChoosesRoadFlagsAndActions) {
    for (const ScanCase& c : kScanCases) {
        SCOPED_TRACE(c.commandLine);
        AppState = {};
        RunPlan plan = ScanCommandLine(c.commandLine);
        EXPECT_EQ(c.road, ChooseRoad(plan));
        EXPECT_EQ(c.silent, AppState.Silent != 0);
        EXPECT_EQ(c.msi, AppState.MsiMode != 0);
        EXPECT_EQ(c.optionCount, plan.OptionCount);
        EXPECT_EQ(c.actions, plan.Actions);
    }
}

TEST(ScanCommandLine, LogSwitchIsTheWordAloneAndNoOption) {
    const struct {
        const char* commandLine;
        Road road;
        bool log;
    } cases[] = {
        {"/log", Road::Uninstall, true},        {"/s /log", Road::Uninstall, true},
        {"-LOG/s", Road::Uninstall, true},      {"/setup /s /log", Road::Setup, true},
        {"/s /logs", Road::None, false},        {"/logfile", Road::None, false},
        {"/log2", Road::None, false},           {"C:\\my-log\\x", Road::None, false},
        {"/wait /log", Road::None, true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.commandLine);
        AppState = {};
        RunPlan plan = ScanCommandLine(c.commandLine);
        EXPECT_EQ(c.road, ChooseRoad(plan));
        EXPECT_EQ(c.log, plan.LogRequest);
    }
}

// The value is taken whole: its "/" and "-" start no option.
TEST(ScanCommandLine, LogPathIsTakenWhole) {
    const struct {
        const char* commandLine;
        Road road;
        const char* path;  // null: no path given
    } cases[] = {
        {"/s /log=C:\\logs\\k.log", Road::Uninstall, "C:\\logs\\k.log"},
        {"/S /LOG=\"C:\\my-logs\\a b.log\" /s", Road::Uninstall, "C:\\my-logs\\a b.log"},
        {"/s /log:C:/logs/k.log", Road::Uninstall, "C:/logs/k.log"},
        {"/s \"/log:C:/a -b/k.log\"", Road::Uninstall, "C:/a -b/k.log"},
        {"/s /log=\"C:\\x /y", Road::Uninstall, "C:\\x /y"},
        {"/s /log= /wait", Road::None, ""},
        {"/s /logs=x.log", Road::None, nullptr},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.commandLine);
        AppState = {};
        RunPlan plan = ScanCommandLine(c.commandLine);
        EXPECT_EQ(c.road, ChooseRoad(plan));
        EXPECT_EQ(c.path != nullptr, plan.LogPathGiven);
        EXPECT_EQ(c.path ? c.path : "", plan.LogPath);
    }
}

TEST(ScanCommandLine, SetupRequestNeverLeadsToUninstall) {
    AppState = {};
    RunPlan plan = ScanCommandLine("/s /setup");
    EXPECT_TRUE(plan.SetupRequest);
    EXPECT_EQ(Road::Setup, ChooseRoad(plan));
}

TEST(HasSfxSilentSwitch, FindsTheSwitchAnywhere) {
    const struct {
        const char* text;
        bool silent;
    } cases[] = {
        {"", false},
        {"-s", true},
        {"/S", true},
        {"a/S", true},
        {"-s2", true},
        {"-s -y", true},
        {"C:\\x-s\\y", true},
        {"-sfx", false},
        {"-", false},
        {"/", false},
        {"s", false},
        {"-y /sx -s", true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text);
        EXPECT_EQ(c.silent, HasSfxSilentSwitch(c.text));
    }
}

// "/wait=N" names the process the removal script's copy waits for, ":E" the
// event it sets; a number of more than 32 bits is none.
TEST(ScanCommandLine, WaitForAProcess) {
    const struct { const char* text; unsigned long processId, readyEvent; } cases[] = {
        {"/wait=4242:36", 4242, 36}, {"/wait", 0, 0}, {"/wait=:36", 0, 0}, {"/wait=12x:3", 12, 0},
        {"/wait=4294967295", 4294967295ul, 0}, {"/wait=4294967296:3", 0, 0}, {"/wait=1:4294967296", 1, 0}};
    for (const auto& c : cases) {
        RunPlan plan = ScanCommandLine(c.text);
        EXPECT_EQ(c.processId, plan.WaitProcessId) << c.text;
        EXPECT_EQ(c.readyEvent, plan.WaitReadyEvent) << c.text;
        EXPECT_EQ(Road::None, ChooseRoad(plan)) << c.text;
    }
}

}  // namespace
