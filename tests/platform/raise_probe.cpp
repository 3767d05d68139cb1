// A GUI program that raises the out-of-memory error and catches nothing, the
// way the real program would. error_handler_exit_test starts it.
#include <windows.h>

#include "platform/error_handler.h"

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
    ErrorHandler::OutOfMemory();
}
