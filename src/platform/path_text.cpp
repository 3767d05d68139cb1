#include "platform/path_text.h"

#include <cstdarg>
#include <cstdio>
#include <cstring>

LeadByteTableData LeadByteTable;

const char* CharNextDbcs(const char* p) {
    if (LeadByteTable.MultiByte && LeadByteTable.LeadByte[static_cast<unsigned char>(*p)] && p[1] != '\0') {
        return p + 2;
    }
    return p + 1;
}

bool IsPathSeparator(int c) {
    return c == '\\' || c == '/';
}

const char* PointToName(const char* path) {
    const char* name = nullptr;
    for (const char* p = path; *p; p = CharNextDbcs(p)) {
        if (IsPathSeparator(static_cast<unsigned char>(*p))) name = p + 1;
    }
    if (name) return name;
    if (path[0] && path[1] == ':' && CharNextDbcs(path) == path + 1) return path + 2;
    return path;
}

const char* PointToLastChar(const char* s) {
    const char* last = s;
    for (const char* p = s; *p; p = CharNextDbcs(p)) last = p;
    return last;
}

bool AddEndSlash(char* path, std::size_t capacity) {
    if (!*path || *PointToLastChar(path) == '\\') return true;
    std::size_t length = std::strlen(path);
    if (length + 2 > capacity) return false;
    path[length] = '\\';
    path[length + 1] = '\0';
    return true;
}

void RemoveNameFromPath(char* path) {
    char* name = PointToName(path);
    // Keep the root: "C:\", "C:" and a single leading separator stay.
    bool dropSeparator = name >= path + 2 && (path[1] != ':' || name >= path + 4);
    *(dropSeparator ? name - 1 : name) = '\0';
}

bool ReplacePathName(char* path, std::size_t capacity, const char* name) {
    char* namePosition = PointToName(path);
    std::size_t folderLength = static_cast<std::size_t>(namePosition - path);
    std::size_t nameLength = std::strlen(name);
    if (folderLength + nameLength >= capacity) return false;
    std::memcpy(namePosition, name, nameLength + 1);
    return true;
}

bool AppendPathName(char* folder, std::size_t capacity, const char* name) {
    std::size_t length = std::strlen(folder);
    if (AddEndSlash(folder, capacity) && ReplacePathName(folder, capacity, name)) return true;
    folder[length] = '\0';
    return false;
}

bool ContainsBackslash(const char* s) {
    for (const char* p = s; *p; p = CharNextDbcs(p)) {
        if (*p == '\\') return true;
    }
    return false;
}

char* StripTrailingSpaces(char* s) {
    for (std::size_t i = std::strlen(s); i > 0; --i) {
        char c = s[i - 1];
        if (c != '\r' && c != '\n' && c != ' ' && c != '\t') break;
        s[i - 1] = '\0';
    }
    return s;
}

void DropCutLeadByte(char* s) {
    char* last = PointToLastChar(s);
    if (LeadByteTable.MultiByte && LeadByteTable.LeadByte[static_cast<unsigned char>(*last)] && last[1] == '\0') {
        *last = '\0';
    }
}

char* CopyBounded(char* dst, const char* src, std::size_t size) {
    if (size == 0) return dst;
    std::strncpy(dst, src, size - 1);
    dst[size - 1] = '\0';
    return dst;
}

bool CopyWide(wchar_t* dst, const wchar_t* src, std::size_t capacity) {
    for (std::size_t i = 0; i < capacity; ++i) {
        dst[i] = src[i];
        if (src[i] == 0) return true;
    }
    if (capacity) dst[0] = 0;
    return false;
}

bool FormatInto(char* dst, std::size_t capacity, const char* format, ...) {
    if (capacity == 0) return false;
    va_list args;
    va_start(args, format);
    int written = std::vsnprintf(dst, capacity, format, args);
    va_end(args);
    return written >= 0 && static_cast<std::size_t>(written) < capacity;
}
