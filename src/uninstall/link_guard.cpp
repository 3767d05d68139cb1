#include "uninstall/link_guard.h"

#include "uninstall/removal_list.h"

bool IsReparsePoint(DWORD attributes) {
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_REPARSE_POINT);
}

bool LinkGuard::FolderIsPlain(const std::string& folder) {
    if (plainFolders_.count(folder)) return true;
    // A folder whose attributes cannot be read may be anything.
    DWORD attributes = GetFileAttributesA(folder.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES || IsReparsePoint(attributes)) return false;
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
