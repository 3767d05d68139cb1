#include "ui/help_viewer.h"

#include <htmlhelp.h>

#include "integration/archiver.h"
#include "platform/path_text.h"
#include "platform/program_path.h"
#include "platform/system.h"

namespace {

const char kHelpLibraryName[] = "hhctrl.ocx";
const char kHtmlHelpEntry[] = "HtmlHelpA";
const char kTopicTargetFormat[] = "%s::/html/%s.htm";
// Room for the help file's path and the longest topic with its frame.
constexpr std::size_t kTopicTargetSize = kPathSize + 64;

using HtmlHelpFunction = HWND(WINAPI*)(HWND, LPCSTR, UINT, DWORD_PTR);

HMODULE HelpLibrary = nullptr;
HtmlHelpFunction HtmlHelpProc = nullptr;
char HelpFilePath[kPathSize];

// Help windows belong to the control; they must go before it is unloaded.
struct CloseHelpAtExit {
    ~CloseHelpAtExit() { ShowHelp(nullptr, nullptr, true); }
} closeHelpAtExit;

void CloseAllHelp() {
    if (!HtmlHelpProc) return;
    HtmlHelpProc(nullptr, nullptr, HH_CLOSE_ALL, 0);
    FreeLibrary(HelpLibrary);
    HelpLibrary = nullptr;
    HtmlHelpProc = nullptr;
}

// A failed load or a missing entry is tried again at the next request.
bool FindHtmlHelp() {
    if (!HelpLibrary) HelpLibrary = LoadSystemLibrary(kHelpLibraryName);
    if (HtmlHelpProc) return true;
    if (!HelpLibrary) return false;
    HtmlHelpProc = reinterpret_cast<HtmlHelpFunction>(
        reinterpret_cast<void*>(GetProcAddress(HelpLibrary, kHtmlHelpEntry)));
    // A program path too long to name the help file leaves it empty.
    PathBesideProgram(kHelpFileName, HelpFilePath, sizeof(HelpFilePath));
    return HtmlHelpProc != nullptr;
}

}  // namespace

void ShowHelp(HWND owner, const char* topic, bool close) {
    if (close) {
        CloseAllHelp();
        return;
    }
    if (!FindHtmlHelp() || HelpFilePath[0] == '\0') return;
    if (!topic) {
        HtmlHelpProc(owner, HelpFilePath, HH_DISPLAY_TOC, 0);
        return;
    }
    char target[kTopicTargetSize];
    if (FormatInto(target, sizeof(target), kTopicTargetFormat, HelpFilePath, topic)) {
        HtmlHelpProc(owner, target, HH_DISPLAY_TOPIC, 0);
    }
}
