#include "uninstall/removal_script.h"

#include <cstring>

#include "platform/path_text.h"

const char kRemovalScriptName[] = "Uninstall_Vok.Bat";

namespace {

constexpr int kDeleteTries = 5;

std::string Quoted(const char* path) {
    return "\"" + ScriptText(path) + "\"";
}

}  // namespace

bool FormScriptName(int number, char* name, std::size_t capacity) {
    if (number == 0) return FormatInto(name, capacity, "%s", kRemovalScriptName);
    const char* extension = std::strrchr(kRemovalScriptName, '.');
    return FormatInto(name, capacity, "%.*s.%d%s", static_cast<int>(extension - kRemovalScriptName),
                      kRemovalScriptName, number, extension);
}

std::string ScriptText(const char* path) {
    std::string text;
    // No code page in use has "%" as a trail byte, so bytes can be read one by one.
    for (const char* p = path; *p; ++p) {
        if (*p == '%') text += '%';
        text += *p;
    }
    return text;
}

std::string FormRemovalScript(const char* programPath, const char* folder, const char* scriptPath,
                              bool ntFamily) {
    const std::string program = Quoted(programPath);
    std::string script = (ntFamily ? "" : "start /wait ") + program + " /wait\r\n";
    for (int i = 0; i < kDeleteTries; ++i) {
        script += "del " + program + "\r\nrd " + Quoted(folder) + "\r\nif not exist " + program + " goto done\r\n";
    }
    script += ":done\r\nif exist " + program + " " + program + " /warning\r\ndel " + Quoted(scriptPath);
    return script;
}
