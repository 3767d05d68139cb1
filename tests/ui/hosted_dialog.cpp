#include "hosted_dialog.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>

#include "integration/class_registry.h"

#include "support/dialog_driver.h"
#include "support/screenshot.h"

const char kSetupTitle[] = "Kelvon 简体中文版安装";
const char kItemsTitle[] = "关联菜单项目";

namespace {

constexpr DWORD kWindowWait = 15000;
// Ending a GUI process takes Wine about two seconds.
constexpr DWORD kExitWait = 20000;
constexpr char kHostName[] = "dialog_host.exe";
constexpr char kHelpControl[] = "hhctrl.ocx";

}  // namespace

std::string TestProgramsFolder() {
    return TestProgramFolder() + "..\\programs\\";
}

HostedDialog::HostedDialog(const char* name) : folder_(name) {
    EXPECT_TRUE(CopyFileA((TestProgramsFolder() + kHostName).c_str(), folder_.PathOf(kHostName).c_str(), FALSE));
    char system[MAX_PATH];
    GetSystemDirectoryA(system, sizeof(system));
    helpControl_ = std::string(system) + "\\" + kHelpControl;
    // The prefix's own copy is shared with its pristine original by a hard link.
    DeleteFileA(helpControl_.c_str());
    const std::string recorder = TestProgramsFolder() + kHelpControl;
    EXPECT_TRUE(CopyFileA(recorder.c_str(), helpControl_.c_str(), FALSE));
    EXPECT_TRUE(CopyFileA(recorder.c_str(), folder_.PathOf(kHelpControl).c_str(), FALSE));
    PutString(HKEY_CURRENT_USER, "Software\\Wine\\DllOverrides", kHelpControl, "native,builtin");
    SetEnvironmentVariableA("KELVON_HELP_LOG", folder_.PathOf("help.log").c_str());
}

HostedDialog::~HostedDialog() {
    End();
}

void HostedDialog::End() {
    program_.reset();
}

HWND HostedDialog::Start(const std::string& arguments, const char* title, const std::string& directory) {
    End();
    program_ = std::make_unique<StartedProgram>();
    if (!StartProgram(folder_.PathOf(kHostName), arguments, *program_, directory.empty() ? folder_.Path() : directory)) {
        ADD_FAILURE() << "dialog_host did not start";
        return nullptr;
    }
    return title ? Window(title) : nullptr;
}

HWND HostedDialog::Window(const char* title) {
    HWND window = WaitForProcessWindowTitled(program_->info.dwProcessId, Gbk(title), kWindowWait);
    EXPECT_NE(nullptr, window) << "no window " << title;
    return window;
}

HWND HostedDialog::FirstWindow() {
    HWND window = WaitForProcessWindow(program_->info.dwProcessId, kWindowWait);
    EXPECT_NE(nullptr, window) << "no window";
    return window;
}

DWORD HostedDialog::ExitCode() {
    return program_ ? program_->WaitForExit(kExitWait) : STILL_ACTIVE;
}

std::vector<std::string> HostedDialog::HelpCalls() const {
    std::vector<std::string> calls;
    std::ifstream log(folder_.PathOf("help.log"));
    for (std::string line; std::getline(log, line);) {
        EXPECT_EQ(0u, line.rfind(helpControl_ + "|", 0)) << line;
        std::string event = line.substr(line.find('|') + 1);
        calls.push_back(event == "attach" ? "load" : event.rfind("HtmlHelpA|", 0) == 0 ? event.substr(10) : event);
    }
    return calls;
}

void HostedDialog::WaitForHelpCalls(size_t count) const {
    for (int i = 0; i < 100 && HelpCalls().size() < count; ++i) Sleep(100);
}

std::string Hex(HWND window) {
    char text[16];
    std::snprintf(text, sizeof(text), "%08lx", static_cast<unsigned long>(reinterpret_cast<UINT_PTR>(window)));
    return text;
}

std::string Gbk(const std::string& utf8) {
    return FromUtf8(utf8.c_str(), 936);
}

std::string ControlText(HWND control) {
    char text[4096] = "";
    SendMessageA(control, WM_GETTEXT, sizeof(text), reinterpret_cast<LPARAM>(text));
    return text;
}

void Click(HWND dialog, int id) {
    SendMessageA(GetDlgItem(dialog, id), BM_CLICK, 0, 0);
}

std::string CheckMarks(HWND dialog, int first, int last) {
    std::string marks;
    for (int id = first; id <= last; ++id) marks += IsDlgButtonChecked(dialog, id) == BST_CHECKED ? '1' : '0';
    return marks;
}

void ExpectTemplate(HWND dialog, const char* caption, int width, int height,
                    const std::vector<TemplateControl>& controls) {
    EXPECT_EQ(Gbk(caption), WindowText(dialog));
    // Dialog units become pixels by the font's base units, which the client
    // size of the dialog gives away.
    RECT client;
    GetClientRect(dialog, &client);
    int unitX = (client.right * 4 + width / 2) / width;
    int unitY = (client.bottom * 8 + height / 2) / height;
    EXPECT_EQ(MulDiv(width, unitX, 4), client.right);
    EXPECT_EQ(MulDiv(height, unitY, 8), client.bottom);
    std::vector<HWND> children = ChildWindows(dialog);
    ASSERT_EQ(controls.size(), children.size());
    for (size_t i = 0; i < controls.size(); ++i) {
        const TemplateControl& expected = controls[i];
        SCOPED_TRACE("control " + std::to_string(i) + ", id " + std::to_string(expected.id));
        EXPECT_EQ(expected.id & 0xFFFF, GetDlgCtrlID(children[i]) & 0xFFFF);
        EXPECT_EQ(0, lstrcmpiA(expected.className, ClassName(children[i]).c_str())) << ClassName(children[i]);
        EXPECT_EQ(Gbk(expected.text), ControlText(children[i]));
        RECT r;
        GetWindowRect(children[i], &r);
        MapWindowPoints(nullptr, dialog, reinterpret_cast<POINT*>(&r), 2);
        EXPECT_EQ(MulDiv(expected.x, unitX, 4), r.left);
        EXPECT_EQ(MulDiv(expected.y, unitY, 8), r.top);
        // An etched line sizes itself to its edges.
        int slack = expected.height == 1 && !lstrcmpiA(expected.className, "Static") ? 2 : 0;
        EXPECT_NEAR(MulDiv(expected.width, unitX, 4), r.right - r.left, slack);
        EXPECT_EQ(MulDiv(expected.height, unitY, 8), r.bottom - r.top);
    }
}

void SavePicture(HWND dialog, const char* name) {
    Sleep(500);  // let it paint
    EXPECT_TRUE(SaveWindowPicture(dialog, PictureFolder() + name + ".png"));
}
