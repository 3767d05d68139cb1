#include <windows.h>

#include "entry/app_state.h"
#include "entry/command_line.h"
#include "entry/exit_code.h"
#include "entry/startup.h"
#include "localization/catalog.h"
#include "localization/language_library.h"
#include "platform/run_log.h"
#include "platform/system.h"
#include "resources/resource_ids.h"
#include "ui/done_dialog.h"
#include "uninstall/uninstall.h"

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR commandLine, int) {
    LanguageLibrary::Load(instance, nullptr);
    Catalog.Load("uninstall.lng", ResourceModule);
    // The shell links are COM objects.
    OleInitialize(nullptr);
    // The settings dialog's explanation is a rich edit control.
    HMODULE richEdit = LoadSystemLibrary("riched32.dll");
    AppState.DialogIcon = LoadIconA(ModuleHolding(IDI_DIALOG, RT_GROUP_ICON), IDI_DIALOG);
    AppState.BoldFont = CreateBoldFont();

    ScanSfxCommand();
    RunPlan plan = ScanCommandLine(commandLine);
    Road road = ChooseRoad(plan);
    // Nobody could answer the settings dialogs: they confirm themselves.
    if (road == Road::Setup && DesktopUnseen()) AppState.Silent = 1;
    StartRunLog(plan, road, commandLine);
    PerformImmediateActions(plan);
    UninstallOutcome outcome = UninstallOutcome::Done;
    switch (road) {
        case Road::Setup:
            RunSetupRoad();
            break;
        case Road::Uninstall:
            outcome = Uninstall();
            break;
        case Road::None:
            break;
    }
    int exitCode = ExitCodeOf(road, plan, AppState.MsiMode, outcome);
    CloseRunLog(exitCode);

    if (richEdit) FreeLibrary(richEdit);
    OleUninitialize();
    DeleteObject(AppState.BoldFont);
    return exitCode;
}
