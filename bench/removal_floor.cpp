// The least that removing an installed tree costs: the list is read once, and
// each file takes one DeleteFileA and each folder one RemoveDirectoryA,
// deepest first, with no other file system call. uninstall_bench times the
// uninstaller against it.
//
//   removal_floor LIST
//
// LIST holds full paths, one a line: the files, an empty line, then the
// folders deepest first. The exit code is the number of failed calls.
#include <windows.h>

#include <string>

int main(int argc, char** argv) {
    if (argc != 2) return 1;
    HANDLE file = CreateFileA(argv[1], GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE) return 1;
    std::string text(GetFileSize(file, nullptr), '\0');
    DWORD read = 0;
    BOOL ok = ReadFile(file, &text[0], static_cast<DWORD>(text.size()), &read, nullptr);
    CloseHandle(file);
    if (!ok || read != text.size()) return 1;
    int failures = 0;
    bool folders = false;
    if (text.empty() || text.back() != '\n') text += '\n';
    for (std::size_t start = 0; start < text.size();) {
        std::size_t end = text.find('\n', start);
        text[end] = '\0';
        const char* path = text.c_str() + start;
        if (*path == '\0') {
            folders = true;
        } else if (!(folders ? RemoveDirectoryA(path) : DeleteFileA(path))) {
            ++failures;
        }
        start = end + 1;
    }
    return failures;
}
