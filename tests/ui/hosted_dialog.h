#pragma once

// The program's dialogs, shown by dialog_host from a folder of their own and
// driven from outside the way a user would. The help they open goes to a
// stand-in for the HTML Help control that records its calls; it lies in the
// system folder, with Wine told to prefer it, and beside the host, where it
// must never be taken from.
#include <windows.h>

#include <memory>
#include <string>
#include <vector>

#include "support/process.h"
#include "support/scratch_folder.h"

// Titles (UTF-8): SETUPDLG and DONEDLG share theirs.
extern const char kSetupTitle[];
extern const char kItemsTitle[];

// The test programs' folder: dialog_host.exe, the help recorder, the archiver
// stand-in.
std::string TestProgramsFolder();

class HostedDialog {
public:
    // A copy of dialog_host.exe in the scratch folder `name`.
    explicit HostedDialog(const char* name);
    HostedDialog(const HostedDialog&) = delete;
    HostedDialog& operator=(const HostedDialog&) = delete;
    // A host still running is ended, so that a failed test leaves none.
    ~HostedDialog();

    const ScratchFolder& Folder() const { return folder_; }
    // Starts the host with `arguments` in the current directory `directory`
    // (empty: the host's folder) and waits for its window titled `title`
    // (null: waits for none).
    HWND Start(const std::string& arguments, const char* title, const std::string& directory = "");
    // A further window of the host with this title (UTF-8), waited for.
    HWND Window(const char* title);
    // The host's first window, whatever the catalog made of its title.
    HWND FirstWindow();
    // The host's exit code, the dialog's result; STILL_ACTIVE when it does
    // not end.
    DWORD ExitCode();

    // The help control's events: "load", "<owner>|<target>|<command>" for
    // each HtmlHelpA call, "unload" (released by FreeLibrary) or "exit"
    // (still loaded at the end). Every one must come from the system folder.
    std::vector<std::string> HelpCalls() const;
    // Waits until `count` events were recorded.
    void WaitForHelpCalls(size_t count) const;

private:
    void End();
    ScratchFolder folder_;
    std::string helpControl_;
    std::unique_ptr<StartedProgram> program_;
};

// One control as its template gives it; text in UTF-8, -1 as the id of a
// control without one, place and size in dialog units.
struct TemplateControl {
    int id;
    const char* className;
    std::string text;
    int x, y, width, height;
};

// The running dialog against its template: caption, size, and every control
// in order with its id, class, text and place.
void ExpectTemplate(HWND dialog, const char* caption, int width, int height,
                    const std::vector<TemplateControl>& controls);

std::string Gbk(const std::string& utf8);
// A window handle as the help recorder writes it.
std::string Hex(HWND window);
// The text through WM_GETTEXT, which also reaches edit controls.
std::string ControlText(HWND control);
// Clicks a button and returns once the dialog has handled the click (for a
// button that opens a modal dialog, PressButton).
void Click(HWND dialog, int id);
// '1' or '0' for each check box from `first` to `last`.
std::string CheckMarks(HWND dialog, int first, int last);
// A picture of the dialog in the build's pictures folder.
void SavePicture(HWND dialog, const char* name);
