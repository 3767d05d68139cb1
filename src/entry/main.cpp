#include <windows.h>

#include "entry/command_line.h"
#include "entry/startup.h"
#include "localization/catalog.h"
#include "localization/language_library.h"
#include "uninstall/uninstall.h"

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR commandLine, int) {
    LanguageLibrary::Load(instance, nullptr);
    Catalog.Load("uninstall.lng", ResourceModule);
    ScanSfxCommand();
    RunPlan plan = ScanCommandLine(commandLine);
    PerformImmediateActions(plan);
    switch (ChooseRoad(plan)) {
        case Road::Uninstall:
            Uninstall();
            break;
        case Road::Setup:
        case Road::None:
            break;
    }
    return 0;
}
