#include "entry/command_line.h"

#include <cstring>

#include "entry/app_state.h"

ApplicationState AppState;

namespace {

bool IsAsciiLetter(char c) {
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
}

char AsciiLower(char c) {
    return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
}

// Case-insensitive prefix test; stops at the text's terminator like strnicmp.
bool StartsWithNoCase(const char* text, const char* word) {
    for (; *word; ++text, ++word) {
        if (AsciiLower(*text) != *word) return false;
    }
    return true;
}

bool IsSilentSwitch(const char* text) {
    return AsciiLower(text[0]) == 's' && !IsAsciiLetter(text[1]);
}

// The log switch is the word alone, ended by the terminator (which strchr
// finds too), a blank or the next option:
// "/logs" and "/logfile" stay options without meaning, and so does the
// "-log\x" of a path like C:\my-log\x, which must not become an
// uninstallation.
bool IsLogSwitch(const char* text) {
    return StartsWithNoCase(text, "log") && std::strchr(" \t/-", text[3]) != nullptr;
}

// A decimal number of 32 bits after `mark`; 0 for anything else, a number
// too large among it. `text` is left behind the digits.
unsigned long NumberAfter(char mark, const char*& text) {
    if (*text != mark) return 0;
    unsigned long number = 0;
    for (++text; *text >= '0' && *text <= '9'; ++text) {
        unsigned long digit = static_cast<unsigned long>(*text - '0');
        if (number > (0xFFFFFFFFul - digit) / 10) return 0;
        number = number * 10 + digit;
    }
    return number;
}

// "=N" right after the word: the removal script's copy waits for process N;
// ":E" then names the inherited event it sets once it waits.
void ReadWaitTarget(const char* text, RunPlan& plan) {
    plan.WaitProcessId = NumberAfter('=', text);
    plan.WaitReadyEvent = plan.WaitProcessId ? NumberAfter(':', text) : 0;
}

void ApplyOption(const char* text, RunPlan& plan) {
    if (StartsWithNoCase(text, "setup")) {
        plan.SetupRequest = true;
    } else if (StartsWithNoCase(text, "msi")) {
        AppState.MsiMode = 1;
    } else if (IsSilentSwitch(text)) {
        AppState.Silent = 1;
        return;  // the silent switch alone does not count as an option
    } else if (IsLogSwitch(text)) {
        plan.LogRequest = true;
        return;  // nor does the log switch
    } else if (StartsWithNoCase(text, "wait")) {
        plan.Actions.push_back(ImmediateAction::Wait);
        ReadWaitTarget(text + 4, plan);
    } else if (StartsWithNoCase(text, "warning")) {
        plan.Actions.push_back(ImmediateAction::Warning);
    }
    ++plan.OptionCount;
}

}  // namespace

bool HasSfxSilentSwitch(const char* sfxCommand) {
    for (const char* p = sfxCommand; *p; ++p) {
        if ((*p == '-' || *p == '/') && IsSilentSwitch(p + 1)) return true;
    }
    return false;
}

RunPlan ScanCommandLine(const char* commandLine) {
    RunPlan plan;
    // A "/" or "-" anywhere starts an option, also inside another option's
    // text or a quoted path: installers rely on /setup-s meaning both.
    for (const char* p = std::strpbrk(commandLine, "/-"); p; p = std::strpbrk(p + 1, "/-")) {
        plan.HasOptions = true;
        ApplyOption(p + 1, plan);
    }
    return plan;
}

Road ChooseRoad(const RunPlan& plan) {
    if (!plan.HasOptions) return Road::Uninstall;
    if (plan.SetupRequest) return Road::Setup;
    if (plan.OptionCount == 0) return Road::Uninstall;
    return Road::None;
}
