#include "entry/startup.h"

#include <windows.h>

#include <cstring>

#include "entry/app_state.h"
#include "localization/messages.h"
#include "platform/path_text.h"
#include "platform/program_path.h"
#include "resources/resource_ids.h"

namespace {

constexpr DWORD kWaitMilliseconds = 2000;
constexpr size_t kNoticeSize = 512;

}  // namespace

void ScanSfxCommand() {
    char command[kPathSize] = "";
    DWORD length = GetEnvironmentVariableA("sfxcmd", command, sizeof(command));
    if (length == 0 || length >= sizeof(command)) return;  // missing, or too long to hold
    if (HasSfxSilentSwitch(command)) AppState.Silent = 1;
}

void ShowDeleteManuallyNotice() {
    char programPath[kPathSize];
    GetProgramPath(programPath, sizeof(programPath));
    char text[kNoticeSize];
    char* end = text + sizeof(text);
    FormatInto(text, sizeof(text), "%s\n", GetMsg(IDS_UNINSTALL_COMPLETED));
    char* second = text + std::strlen(text);
    // A long translated text or program path is cut at the buffer's end, at
    // a character boundary.
    FormatInto(second, static_cast<size_t>(end - second), GetFormatMsg(IDS_DELETE_MANUALLY), programPath);
    DropCutLeadByte(text);
    MessageBoxA(nullptr, text, GetMsg(IDS_UNINSTALL_CAPTION), MB_SETFOREGROUND | MB_ICONINFORMATION);
}

void PerformImmediateActions(const RunPlan& plan) {
    for (ImmediateAction action : plan.Actions) {
        if (action == ImmediateAction::Wait) {
            Sleep(kWaitMilliseconds);
        } else {
            ShowDeleteManuallyNotice();
        }
    }
}
