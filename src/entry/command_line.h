#pragma once

#include <string>
#include <vector>

enum class ImmediateAction { Wait, Warning };

enum class Road { Setup, Uninstall, None };

struct RunPlan {
    int OptionCount = 0;
    bool SetupRequest = false;
    std::vector<ImmediateAction> Actions;
    bool HasOptions = false;
    bool LogRequest = false;  // the log switch: like the silent switch, not an option
    bool LogPathGiven = false;  // /log=PATH or /log:PATH
    std::string LogPath;        // as written, without its quotes
    bool UnknownOption = false;  // an option the program does not know
    unsigned long WaitProcessId = 0;  // "/wait=N": the wait ends with process N, not after a pause
    unsigned long WaitReadyEvent = 0;  // "/wait=N:E": event handle E is set once the wait has begun
};

// True when the self-extractor's command line holds a silent switch: a "-" or
// "/" followed by "s" or "S" and then anything but an ASCII letter.
bool HasSfxSilentSwitch(const char* sfxCommand);

// Reads the program's command line (without its own name); sets Silent and
// MsiMode in AppState.
RunPlan ScanCommandLine(const char* commandLine);

Road ChooseRoad(const RunPlan& plan);
