#pragma once

#include <cstddef>

// Every file system path of the program lives in a buffer of this size.
constexpr std::size_t kPathSize = 1024;

// Which bytes start a double-byte character in the ANSI code page. Filled once
// before WinMain runs (lead_byte_table.cpp) and read-only afterwards.
struct LeadByteTableData {
    unsigned char LeadByte[256];
    unsigned char MultiByte;
};

extern LeadByteTableData LeadByteTable;

// The next character; a lead byte directly before the terminator counts as a
// single byte, so that no walk steps past the end of the string.
const char* CharNextDbcs(const char* p);
inline char* CharNextDbcs(char* p) { return const_cast<char*>(CharNextDbcs(static_cast<const char*>(p))); }

bool IsPathSeparator(int c);

const char* PointToName(const char* path);
inline char* PointToName(char* path) { return const_cast<char*>(PointToName(static_cast<const char*>(path))); }

const char* PointToLastChar(const char* s);
inline char* PointToLastChar(char* s) { return const_cast<char*>(PointToLastChar(static_cast<const char*>(s))); }

// Appends a backslash unless the path is empty or already ends in one.
// False, with the path unchanged, when the buffer of `capacity` bytes has no
// room for it.
bool AddEndSlash(char* path, std::size_t capacity);

void RemoveNameFromPath(char* path);

// Replaces the name component of `path`, a buffer of `capacity` bytes, by
// `name`. False, with the path unchanged, when the result would not fit.
bool ReplacePathName(char* path, std::size_t capacity, const char* name);

// Appends a backslash when needed and then `name`. False, with the folder
// unchanged, when the result would not fit.
bool AppendPathName(char* folder, std::size_t capacity, const char* name);

// Whether `s` holds a backslash character; a trail byte of the same value
// does not count.
bool ContainsBackslash(const char* s);

char* StripTrailingSpaces(char* s);

// A text cut at a byte may end in the lead byte of a character whose trail
// byte was cut off; that lone lead byte is removed.
void DropCutLeadByte(char* s);

// strncpy of at most size - 1 bytes, always terminated; nothing when size is 0.
char* CopyBounded(char* dst, const char* src, std::size_t size);

// Bounded copy of a zero-terminated wide string; false, with an empty
// destination, when it does not fit.
bool CopyWide(wchar_t* dst, const wchar_t* src, std::size_t capacity);

// printf into a buffer of `capacity` bytes. False when the text did not fit:
// the buffer then holds the cut text, which a caller building a path refuses.
bool FormatInto(char* dst, std::size_t capacity, const char* format, ...)
    __attribute__((format(printf, 3, 4)));
