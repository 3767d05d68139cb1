#include "entry/exit_code.h"

int ExitCodeOf(Road road, const RunPlan& plan, bool msi, UninstallOutcome outcome) {
    if (msi || road == Road::Setup) return kExitSuccess;
    if (plan.UnknownOption) return kExitInvalidCommandLine;
    if (road == Road::None) return kExitSuccess;
    switch (outcome) {
        case UninstallOutcome::Declined: return kExitDeclined;
        case UninstallOutcome::Failed: return kExitFailed;
        case UninstallOutcome::Done: break;
    }
    return kExitSuccess;
}
