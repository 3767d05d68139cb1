#include <windows.h>

#include "entry/command_line.h"
#include "entry/startup.h"

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR commandLine, int) {
    ScanSfxCommand();
    RunPlan plan = ScanCommandLine(commandLine);
    PerformImmediateActions(plan);
    switch (ChooseRoad(plan)) {
        case Road::Setup:
        case Road::Uninstall:
        case Road::None:
            break;
    }
    return 0;
}
