#pragma once

// The administrator's log of one run (/log, /log=PATH, or any run where
// nobody can see the desktop): a file in the user's temp folder or the one
// named, with a header, one line per action with its result, and a closing
// line that says what the run achieved. Every line goes to the file as soon
// as it is formed, so a run that is killed leaves all lines up to its last
// step. Without a log the only cost of an action is the test of
// RunLogActive, which callers make before they gather anything for a line.

#include <cstddef>

// True while the log file is open.
extern bool RunLogActive;

// The longest line: two full paths, a registry path and a value's text fit.
constexpr std::size_t kLogLineSize = 4096;
// Log names tried in one temp folder on one day, from #001.
constexpr int kLogNumberCount = 999;
// Free space the log leaves on its disk, beyond the program file's size, for
// the uninstall's own files (the removal script and the program's copy in
// the temp folder): the log stops before it takes it.
constexpr unsigned long long kLogSpareBytes = 64 * 1024;
// A result that has no error code of its own (a shell link not saved).
constexpr long kLogFailed = -1;

struct LogDate {
    int year;
    int month;
    int day;
};

// "Kelvon setup 2026-12-07 #001.log"; false when the parts do not fit.
bool FormLogName(char* name, std::size_t capacity, const char* road, LogDate date, int number);

// "ok", "access denied", "not found", "failed" or "error N", for the Win32
// error codes the program's actions return.
const char* ResultText(long error, char* buffer, std::size_t capacity);

// Copies `text` into `line` with every byte below 0x20 and 0x7F written as
// \r, \n, \t or \xNN: a value from the registry, a file name or a list
// entry never starts a line of its own. No code page has such a byte as a
// trail byte. False when the text was cut, before an escape, to fit.
bool EscapeLogText(const char* text, char* line, std::size_t capacity);

// The line as the file gets it: the text, a mark when it was cut at the
// buffer's end, and CR LF. Returns its length.
std::size_t EndLogLine(char* line, std::size_t capacity, bool whole);

// The rest needs Windows (run_log_file.cpp).

// Opens the log and writes the header. With `path` null, the log is
// "Kelvon <road> <date> #NNN.log" in the temp folder under the first free
// number; else exactly the file `path` (a full path), created or replaced,
// or with `append` added to. Returns 0, or the Win32 error that kept the
// file from being made: RunLogActive then stays false and the run goes on
// without a log.
long OpenRunLog(const char* road, const char* path, bool append, const char* commandLine, bool silent, bool msi);

// The open log's full path; empty when there is none.
const char* RunLogPath();

void LogLine(const char* format, ...) __attribute__((format(printf, 1, 2)));
// The line followed by ": " and the result's text; a result other than
// success is counted for the closing line.
void LogAction(long result, const char* format, ...) __attribute__((format(printf, 2, 3)));

// A line for something the run meant to remove but left, counted for the
// closing line; the line says "kept" and why.
void LogKept(const char* format, ...) __attribute__((format(printf, 1, 2)));
int KeptCount();

// What the run achieved, written as the closing line when the log is closed;
// a later call replaces an earlier one.
void SetRunOutcome(const char* format, ...) __attribute__((format(printf, 1, 2)));

// Writes the closing line, with the number of failed actions and the
// process's exit code, and closes.
void CloseRunLog(int exitCode);
