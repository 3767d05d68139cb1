#include "entry/startup.h"

#include <windows.h>
#include <shellapi.h>

#include <cstring>

#include "entry/app_state.h"
#include "localization/language_library.h"
#include "localization/messages.h"
#include "platform/console.h"
#include "platform/path_text.h"
#include "platform/program_path.h"
#include "platform/run_log.h"
#include "platform/system.h"
#include "resources/resource_ids.h"
#include "ui/done_dialog.h"
#include "ui/notice.h"
#include "ui/setup_dialog.h"

namespace {

constexpr DWORD kWaitMilliseconds = 2000;
// The longest wait for a process to end; the removal script goes on then.
constexpr DWORD kProcessWaitMilliseconds = 60000;
// The file of a process that has just ended may stay mapped a moment; the
// removal script's tries to delete it are spaced by this pause as well.
constexpr DWORD kSettleMilliseconds = 100;

// The process that started the removal script ends only once we wait for
// it (`readyEvent`, inherited from it), so that our own start does not
// count against the time its file stays.
void WaitForProcessEnd(unsigned long processId, unsigned long readyEvent) {
    HANDLE process = OpenProcess(SYNCHRONIZE, FALSE, processId);
    if (readyEvent) SetEvent(reinterpret_cast<HANDLE>(static_cast<ULONG_PTR>(readyEvent)));
    if (process) {
        WaitForSingleObject(process, kProcessWaitMilliseconds);
        CloseHandle(process);
    }
    Sleep(kSettleMilliseconds);
}

}  // namespace

void ScanSfxCommand() {
    char command[kPathSize] = "";
    DWORD length = GetEnvironmentVariableA("sfxcmd", command, sizeof(command));
    if (length == 0 || length >= sizeof(command)) return;  // missing, or too long to hold
    if (HasSfxSilentSwitch(command)) AppState.Silent = 1;
}

void ShowDeleteManuallyNotice() {
    char programPath[kPathSize];
    GetProgramFilePath(programPath, sizeof(programPath));
    char text[kMessageSize];
    char* end = text + sizeof(text);
    FormatInto(text, sizeof(text), "%s\n", GetMsg(IDS_UNINSTALL_COMPLETED));
    char* second = text + std::strlen(text);
    // A long translated text or program path is cut at the buffer's end, at
    // a character boundary.
    FormatInto(second, static_cast<size_t>(end - second), GetFormatMsg(IDS_DELETE_MANUALLY), programPath);
    DropCutLeadByte(text);
    ShowNotice("5106 delete by hand", text, GetMsg(IDS_UNINSTALL_CAPTION), MB_SETFOREGROUND | MB_ICONINFORMATION);
}

namespace {

// A shell window on the folder, named on the NT family as the file system
// names it: its ANSI form may be the short one. Windows 95, 98 and Me have
// only the ANSI call.
void OpenFolderWindow(const wchar_t* folder) {
    if (WinNT()) {
        ShellExecuteW(nullptr, L"open", folder, nullptr, L"", SW_SHOWNORMAL);
        return;
    }
    char ansi[kPathSize];
    if (WideCharToMultiByte(CP_ACP, 0, folder, -1, ansi, sizeof(ansi), nullptr, nullptr) != 0) {
        ShellExecuteA(nullptr, "open", ansi, nullptr, "", SW_SHOWNORMAL);
    }
}

}  // namespace

// A dialog from the language library, or from the program's own resources
// when the library lacks it.
INT_PTR ShowDialog(const char* name, DLGPROC procedure) {
    return DialogBoxParamA(ModuleHolding(name, RT_DIALOG), name, nullptr, procedure, 0);
}

void RunSetupRoad() {
    // 0 is Cancel or missing rights, -1 a dialog that could not be made:
    // neither is a confirmed setup. The dialog tells the log which it was,
    // unless it never came up.
    SetRunOutcome("setup stopped: the settings dialog could not be shown");
    if (ShowDialog(IDD_SETUP, SetupDialogProc) <= 0) return;
    if (!AppState.MsiMode) {
        ShowDialog(IDD_DONE, DoneDialogProc);
        if (IsWow64() && !AppState.Silent) {
            ShowNotice("5130 64-bit Windows", GetMsg(IDS_WOW64_NOTICE), GetMsg(IDS_PRODUCT_NAME), MB_ICONINFORMATION);
        }
    }
    if (AppState.GroupFolder[0] && !AppState.Silent && !AppState.MsiMode) OpenFolderWindow(AppState.GroupFolder);
}

namespace {

bool HasWarning(const RunPlan& plan) {
    for (ImmediateAction action : plan.Actions) {
        if (action == ImmediateAction::Warning) return true;
    }
    return false;
}

void ReportLogNotMade(const char* path, long error) {
    char text[kPathSize + 128];
    FormatInto(text, sizeof(text), "Uninstall.exe: the log file %s cannot be created (error %ld); the run goes on "
               "without it\r\n", path, error);
    WriteToParentConsole(text);
}

}  // namespace

void StartRunLog(const RunPlan& plan, Road road, const char* commandLine) {
    bool warningRun = road == Road::None && HasWarning(plan);
    // Where nobody sees the boxes, the log is the only place their notices go.
    if (!(plan.LogRequest || DesktopUnseen()) || (road == Road::None && !warningRun)) return;
    const char* name = road == Road::Setup ? "setup" : "uninstall";
    if (!plan.LogPathGiven) {
        long error = OpenRunLog(name, nullptr, false, commandLine, AppState.Silent, AppState.MsiMode);
        if (error) ReportLogNotMade("in the temp folder", error);
        return;
    }
    char path[kPathSize];
    DWORD length = GetFullPathNameA(plan.LogPath.c_str(), sizeof(path), path, nullptr);
    long error = length == 0 ? static_cast<long>(GetLastError())
                 : length >= sizeof(path)
                     ? ERROR_FILENAME_EXCED_RANGE
                     : OpenRunLog(name, path, warningRun, commandLine, AppState.Silent, AppState.MsiMode);
    if (!error) return;
    ReportLogNotMade(plan.LogPath.c_str(), error);
    if (DesktopUnseen()) OpenRunLog(name, nullptr, false, commandLine, AppState.Silent, AppState.MsiMode);
}

void PerformImmediateActions(const RunPlan& plan) {
    for (ImmediateAction action : plan.Actions) {
        if (action == ImmediateAction::Wait && plan.WaitProcessId) {
            WaitForProcessEnd(plan.WaitProcessId, plan.WaitReadyEvent);
        } else if (action == ImmediateAction::Wait) {
            Sleep(kWaitMilliseconds);
        } else {
            SetRunOutcome("uninstall incomplete: the removal script could not delete the program file, which must be "
                          "deleted by hand");
            ShowDeleteManuallyNotice();
        }
    }
}
