#include "uninstall/removal_script.h"

#include <cstring>

#include "platform/path_text.h"

const char kRemovalScriptName[] = "Uninstall_Vok.Bat";

namespace {

constexpr int kDeleteTries = 5;

std::string Quoted(const char* path) {
    return "\"" + ScriptText(path) + "\"";
}

// The notice that the program file must be deleted by hand goes to the
// run's log as well.
std::string WarningRun(const std::string& program, const HandOver& handOver) {
    return program + " /warning" + (handOver.log ? " /log=" + Quoted(handOver.log) : "");
}

// The copy waits for the first process to end and a moment longer, which
// also spaces the tries to delete the program file. The first wait tells the
// first process that it has begun.
std::string WaitLine(const HandOver& handOver, bool first) {
    return Quoted(handOver.copy) + " /wait=" + std::to_string(handOver.processId) +
           (first ? ":" + std::to_string(handOver.readyEvent) : "") + "\r\n";
}

std::string NtScript(const HandOver& h) {
    const std::string program = Quoted(h.program);
    const std::string folder = Quoted(h.folder);
    std::string script = WaitLine(h, true);
    // The tries go on until the folder is gone: a folder that a process
    // still looks into cannot be removed for a moment after its last file.
    for (int i = 0; i < kDeleteTries; ++i) {
        if (i > 0) script += WaitLine(h, false);
        script += "del " + program + "\r\nrd " + folder + "\r\nif not exist " + folder + " goto done\r\n";
    }
    // The last line is read whole before it runs: the script's folder is
    // left, and the script and the folder go, in one line.
    script += ":done\r\nif exist " + program + " " + WarningRun(Quoted(h.copy), h) + "\r\ndel " + Quoted(h.copy) +
              "\r\ncd .. & del " + Quoted(h.script) + " & rd " + Quoted(h.scriptFolder);
    return script;
}

std::string Win9xScript(const HandOver& h) {
    const std::string program = Quoted(h.program);
    std::string script = "start /wait " + program + " /wait\r\n";
    for (int i = 0; i < kDeleteTries; ++i) {
        script += "del " + program + "\r\nrd " + Quoted(h.folder) + "\r\nif not exist " + program + " goto done\r\n";
    }
    script += ":done\r\nif exist " + program + " " + WarningRun(program, h) + "\r\ndel " + Quoted(h.script);
    return script;
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

std::string FormRemovalScript(const HandOver& handOver, bool ntFamily) {
    return ntFamily ? NtScript(handOver) : Win9xScript(handOver);
}

bool FormScriptCommandLine(const char* interpreter, const char* scriptPath, bool ntFamily, char* commandLine,
                           std::size_t capacity) {
    // On the NT family the interpreter skips the AutoRun commands of the
    // registry, which would run with our rights before the script, and keeps
    // delayed expansion off. command.com knows neither option.
    return ntFamily ? FormatInto(commandLine, capacity, "cmd.exe /d /v:off /c %s", PointToName(scriptPath))
                    : FormatInto(commandLine, capacity, "%s /c \"%s\"", interpreter, scriptPath);
}
