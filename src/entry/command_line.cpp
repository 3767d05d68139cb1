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

bool IsLogPathSwitch(const char* text) {
    return StartsWithNoCase(text, "log") && (text[3] == '=' || text[3] == ':');
}

// The path runs to its closing quote when it has an opening one, or the
// whole switch had one ("/log=C:\a b\k.log"), else to the next blank. It is
// taken whole: the "/" and "-" of C:/my-logs/k.log start no options. No
// code page has a quote or a blank as a trail byte. Returns where the scan
// for options goes on.
const char* TakeLogPath(const char* value, bool switchQuoted, RunPlan& plan) {
    const char* end = nullptr;
    if (*value == '"') {
        end = std::strchr(++value, '"');
    } else if (switchQuoted) {
        end = std::strchr(value, '"');
    } else {
        end = value + std::strcspn(value, " \t");
    }
    if (!end) end = value + std::strlen(value);
    plan.LogPathGiven = true;
    plan.LogPath.assign(value, end);
    return end;
}

// Returns where the scan for the next option starts.
const char* ApplyOption(const char* text, bool quoted, RunPlan& plan) {
    if (StartsWithNoCase(text, "setup")) {
        plan.SetupRequest = true;
    } else if (StartsWithNoCase(text, "msi")) {
        AppState.MsiMode = 1;
    } else if (IsSilentSwitch(text)) {
        AppState.Silent = 1;
        return text;  // the silent switch alone does not count as an option
    } else if (IsLogSwitch(text)) {
        plan.LogRequest = true;
        return text;  // nor does the log switch
    } else if (IsLogPathSwitch(text)) {
        plan.LogRequest = true;
        return TakeLogPath(text + 4, quoted, plan);
    } else if (StartsWithNoCase(text, "wait")) {
        plan.Actions.push_back(ImmediateAction::Wait);
        ReadWaitTarget(text + 4, plan);
    } else if (StartsWithNoCase(text, "warning")) {
        plan.Actions.push_back(ImmediateAction::Warning);
    } else {
        plan.UnknownOption = true;
    }
    ++plan.OptionCount;
    return text;
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
    for (const char* p = std::strpbrk(commandLine, "/-"); p;) {
        plan.HasOptions = true;
        const char* next = ApplyOption(p + 1, p > commandLine && p[-1] == '"', plan);
        p = std::strpbrk(next, "/-");
    }
    return plan;
}

Road ChooseRoad(const RunPlan& plan) {
    if (!plan.HasOptions) return Road::Uninstall;
    if (plan.SetupRequest) return Road::Setup;
    if (plan.OptionCount == 0) return Road::Uninstall;
    return Road::None;
}
