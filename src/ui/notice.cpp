#include "ui/notice.h"

#include "platform/run_log.h"
#include "platform/system.h"

namespace {

const char* AnswerText(int answer) {
    switch (answer) {
        case IDYES: return "yes";
        case IDNO: return "no";
        case IDOK: return "ok";
        default: return "closed";
    }
}

}  // namespace

int ShowNotice(const char* name, const char* text, const char* caption, UINT type, HWND owner) {
    LogLine("notice %s: \"%s\"", name, text);
    if (DesktopUnseen()) {
        int answer = (type & MB_TYPEMASK) == MB_YESNO ? IDNO : IDOK;
        LogLine("notice %s: not shown, nobody can see the desktop: counts as %s", name, AnswerText(answer));
        return answer;
    }
    int answer = MessageBoxA(owner, text, caption, type);
    LogLine("notice %s: answered %s", name, AnswerText(answer));
    return answer;
}
