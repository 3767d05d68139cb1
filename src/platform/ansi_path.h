#pragma once

#include <cstddef>
#include <string>

// The system names paths in UTF-16; the ANSI calls convert, and quietly put a
// look-alike or "?" where the code page lacks a character ("C:\Łab" becomes
// "C:\Lab" in code page 1252, "¥" becomes "\" in 932). An ANSI path that
// names another folder than the one meant must never be acted on.

// The ANSI form of `path` that names exactly it: the path itself when every
// character has one, else its short (8.3) form when that has. False when
// neither has, or the exact form does not fit `capacity` bytes: a path too
// long for the caller is refused, not exchanged for its short form.
bool ExactAnsiPath(const wchar_t* path, char* ansi, std::size_t capacity);

// `text` in the ANSI code page as UTF-16. False for bytes that are no text
// of the code page.
bool AnsiToWide(const char* text, std::wstring& wide);
