// Shows SETUPDLG, or DONEDLG when the command line starts with that name, the
// way the start-up does: the language library and the catalog beside this
// program, the rich edit library from the system folder, the dialog icon, the
// bold font and the options (/s, /msi). The exit code is the dialog's result.
#include <windows.h>

#include <cstring>

#include "entry/app_state.h"
#include "entry/command_line.h"
#include "localization/catalog.h"
#include "localization/language_library.h"
#include "platform/system.h"
#include "resources/resource_ids.h"
#include "ui/done_dialog.h"
#include "ui/setup_dialog.h"

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR commandLine, int) {
    LanguageLibrary::Load(instance, nullptr);
    Catalog.Load("uninstall.lng", ResourceModule);
    ScanCommandLine(commandLine);
    OleInitialize(nullptr);
    HMODULE richEdit = LoadSystemLibrary("riched32.dll");
    AppState.DialogIcon = LoadIconA(ModuleHolding(IDI_DIALOG, RT_GROUP_ICON), IDI_DIALOG);
    AppState.BoldFont = CreateBoldFont();
    bool done = std::strncmp(commandLine, IDD_DONE, std::strlen(IDD_DONE)) == 0;
    const char* name = done ? IDD_DONE : IDD_SETUP;
    INT_PTR result =
        DialogBoxParamA(ModuleHolding(name, RT_DIALOG), name, nullptr, done ? DoneDialogProc : SetupDialogProc, 0);
    if (richEdit) FreeLibrary(richEdit);
    OleUninitialize();
    DeleteObject(AppState.BoldFont);
    return static_cast<int>(result);
}
