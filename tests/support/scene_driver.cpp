// Takes pictures of a program's windows as a user meets them, in Wine's
// virtual desktop: starts the program, waits for each window a step names,
// saves it with its frame and answers it.
//
//   scene_driver FOLDER PROGRAM STEP...
//     hold FILE            keep FILE open without sharing until the end
//     start ARGUMENTS      start PROGRAM with ARGUMENTS
//     window NAME CAPTION  wait for a window of the program with this caption
//                          that no earlier step saw
//     picture NAME         save that window as FOLDER\NAME.png
//     press NAME ID        click its button ID
//     ends CODE            the exit code the program must end with (else 0)
//
// Ends with 0 once the program has ended with its code; otherwise with 1,
// saying why.
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "support/process.h"
#include "support/screenshot.h"

namespace {

// Wine under emulation can take a minute to start a program.
constexpr DWORD kWindowWait = 180000;
constexpr DWORD kExitWait = 180000;
constexpr DWORD kPaintPause = 1000;
constexpr int kPaintChecks = 20;
constexpr DWORD kActivationPause = 300;

struct Scene {
    std::string folder;
    std::string program;
    StartedProgram started;
    std::vector<HANDLE> held;
    std::set<HWND> seen;  // every window of the program seen so far
    std::map<std::string, HWND> named;
    DWORD expectedCode = 0;
};

std::string Text(HWND window) {
    char text[1024] = "";
    GetWindowTextA(window, text, sizeof(text));
    return text;
}

struct Search {
    Scene* scene;
    const std::string* caption;
    HWND found;
};

BOOL CALLBACK Inspect(HWND window, LPARAM parameter) {
    auto* search = reinterpret_cast<Search*>(parameter);
    DWORD owner = 0;
    GetWindowThreadProcessId(window, &owner);
    if (owner != search->scene->started.info.dwProcessId || !IsWindowVisible(window)) return TRUE;
    if (search->scene->seen.count(window)) return TRUE;
    if (Text(window) == *search->caption) search->found = window;
    return search->found ? FALSE : TRUE;
}

// A window of the program that was not there at any earlier step: the
// completion dialog has the caption of the settings dialog before it.
HWND WaitForNewWindow(Scene& scene, const std::string& caption) {
    DWORD start = GetTickCount();
    do {
        Search search = {&scene, &caption, nullptr};
        EnumWindows(Inspect, reinterpret_cast<LPARAM>(&search));
        if (search.found) return search.found;
        if (scene.started.WaitForExit(0) != STILL_ACTIVE) return nullptr;
        Sleep(100);
    } while (GetTickCount() - start < kWindowWait);
    return nullptr;
}

// The window with its frame once two captures a pause apart agree, so that
// the picture shows it painted.
HBITMAP CapturePainted(HWND window) {
    HBITMAP last = nullptr;
    std::vector<BYTE> lastPixels;
    for (int check = 0; check < kPaintChecks; ++check) {
        Sleep(kPaintPause);
        RECT frame;
        if (!GetWindowRect(window, &frame)) break;
        HBITMAP bitmap = CaptureScreenArea(frame);
        if (!bitmap) break;
        std::vector<BYTE> pixels = BitmapPixels(bitmap);
        if (last && pixels == lastPixels) {
            DeleteObject(bitmap);
            return last;
        }
        if (last) DeleteObject(last);
        last = bitmap;
        lastPixels = pixels;
    }
    return last;
}

bool Fail(const std::string& message) {
    std::fprintf(stderr, "scene_driver: %s\n", message.c_str());
    return false;
}

bool Hold(Scene& scene, const std::string& file) {
    HANDLE handle = CreateFileA(file.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    if (handle == INVALID_HANDLE_VALUE) return Fail("cannot hold " + file);
    scene.held.push_back(handle);
    return true;
}

bool Start(Scene& scene, const std::string& arguments) {
    if (!StartProgram(scene.program, arguments, scene.started)) return Fail("cannot start " + scene.program);
    return true;
}

bool Window(Scene& scene, const std::string& name, const std::string& caption) {
    if (!scene.started.started) return Fail("window " + name + " before start");
    HWND window = WaitForNewWindow(scene, caption);
    if (!window) {
        return Fail("no new window \"" + caption + "\" (" + name + ") appeared: the program ended, or " +
                    std::to_string(kWindowWait / 1000) + " s went by");
    }
    WaitForInputIdle(scene.started.info.hProcess, kWindowWait);
    scene.seen.insert(window);
    scene.named[name] = window;
    return true;
}

HWND Named(Scene& scene, const std::string& name) {
    auto found = scene.named.find(name);
    return found == scene.named.end() ? nullptr : found->second;
}

// Under Wine, a message box that is the first window of its process becomes
// the foreground window yet keeps an inactive caption, whatever its flags;
// handing the foreground to a window of ours and back gives it the active
// caption that Windows draws.
void Activate(HWND window) {
    HWND own = CreateWindowExA(WS_EX_TOOLWINDOW, "STATIC", "", WS_POPUP | WS_VISIBLE, 0, 0, 1, 1, nullptr, nullptr,
                               nullptr, nullptr);
    if (!own) return;
    SetForegroundWindow(own);
    MSG message;
    while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) DispatchMessageA(&message);
    Sleep(kActivationPause);
    SetForegroundWindow(window);
    DestroyWindow(own);
}

bool Picture(Scene& scene, const std::string& name) {
    HWND window = Named(scene, name);
    if (!window) return Fail("no window " + name + " to take a picture of");
    // The pointer rests in the screen's middle, over the dialogs, where it
    // lights up the control beneath it; a corner is out of the way.
    SetCursorPos(0, 0);
    Activate(window);
    HBITMAP bitmap = CapturePainted(window);
    const std::string path = scene.folder + "\\" + name + ".png";
    bool saved = bitmap && SaveBitmapAsPng(bitmap, path);
    if (bitmap) DeleteObject(bitmap);
    return saved || Fail("cannot save " + path);
}

bool Press(Scene& scene, const std::string& name, const std::string& id) {
    HWND window = Named(scene, name);
    HWND button = window ? GetDlgItem(window, std::atoi(id.c_str())) : nullptr;
    if (!button) return Fail("no button " + id + " in window " + name);
    PostMessageA(button, BM_CLICK, 0, 0);
    return true;
}

// Runs the steps in order; false at the first that fails.
bool Play(Scene& scene, int count, char** words) {
    for (int i = 0; i < count;) {
        const std::string step = words[i];
        int rest = count - i - 1;
        bool done = false;
        if (step == "hold" && rest >= 1) {
            done = Hold(scene, words[i + 1]);
            i += 2;
        } else if (step == "start" && rest >= 1) {
            done = Start(scene, words[i + 1]);
            i += 2;
        } else if (step == "window" && rest >= 2) {
            done = Window(scene, words[i + 1], words[i + 2]);
            i += 3;
        } else if (step == "picture" && rest >= 1) {
            done = Picture(scene, words[i + 1]);
            i += 2;
        } else if (step == "ends" && rest >= 1) {
            scene.expectedCode = std::strtoul(words[i + 1], nullptr, 10);
            done = true;
            i += 2;
        } else if (step == "press" && rest >= 2) {
            done = Press(scene, words[i + 1], words[i + 2]);
            i += 3;
        } else {
            return Fail("cannot read the step \"" + step + "\"");
        }
        if (!done) return false;
    }
    return true;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 3) {
        std::fprintf(stderr, "usage: scene_driver FOLDER PROGRAM STEP...\n");
        return 2;
    }
    Scene scene;
    scene.folder = argv[1];
    scene.program = argv[2];
    bool played = Play(scene, argc - 3, argv + 3);
    DWORD code = STILL_ACTIVE;
    if (scene.started.started) {
        if (!played) TerminateProcess(scene.started.info.hProcess, 1);
        code = scene.started.WaitForExit(kExitWait);
    }
    for (HANDLE handle : scene.held) CloseHandle(handle);
    if (!played) return 1;
    if (code != scene.expectedCode) {
        std::fprintf(stderr, "scene_driver: the program ended with %lu, not %lu\n", static_cast<unsigned long>(code),
                     static_cast<unsigned long>(scene.expectedCode));
        return 1;
    }
    return 0;
}
