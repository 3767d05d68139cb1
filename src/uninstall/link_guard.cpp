#include "uninstall/link_guard.h"

#include "uninstall/removal_list.h"

bool IsReparsePoint(DWORD attributes) {
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_REPARSE_POINT);
}

bool LinkGuard::FolderIsPlain(const std::string& folder) {
    if (plainFolders_.count(folder)) return true;
    if (IsReparsePoint(GetFileAttributesA(folder.c_str()))) return false;
    plainFolders_.insert(folder);
    return true;
}

bool LinkGuard::Permits(const char* path, DWORD attributes) {
    if (IsReparsePoint(attributes)) return false;
    for (std::size_t end : FoldersOnTheWay(path, folderLength_)) {
        if (!FolderIsPlain(std::string(path, end))) return false;
    }
    return true;
}
