// Linked into a second build of the program, which takes itself for an
// unelevated one: Wine runs every process elevated, and only an unelevated
// program leaves its removal script in the user's temp folder. The linker
// sends the program's calls of RunsElevated here.
extern "C" bool UnelevatedRunsElevated() __asm__("___wrap__Z12RunsElevatedv");

bool UnelevatedRunsElevated() {
    return false;
}
