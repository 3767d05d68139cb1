// GoogleTest's hook for a port of its own, put ahead of GoogleTest's empty
// one on the include path of the Windows build. That build uses the win32
// thread model, so that the program carries no POSIX-thread runtime (whose
// imports Windows 98 and XP lack); its libstdc++ has no std::mutex, which
// GoogleTest's Notification is made of. This one waits on a Win32 event.
#ifndef KELVON_GTEST_CUSTOM_PORT_H_
#define KELVON_GTEST_CUSTOM_PORT_H_

#include <windows.h>

#define GTEST_HAS_NOTIFICATION_ 1

namespace testing {
namespace internal {

class Notification {
public:
    Notification() : event_(CreateEventA(nullptr, TRUE, FALSE, nullptr)) {}
    Notification(const Notification&) = delete;
    Notification& operator=(const Notification&) = delete;
    ~Notification() { CloseHandle(event_); }

    void Notify() { SetEvent(event_); }
    void WaitForNotification() { WaitForSingleObject(event_, INFINITE); }

private:
    HANDLE event_;
};

}  // namespace internal
}  // namespace testing

#endif  // KELVON_GTEST_CUSTOM_PORT_H_
