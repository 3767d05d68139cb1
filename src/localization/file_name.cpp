#include "localization/file_name.h"

#include "platform/path_text.h"

bool ContainsBackslash(const char* s) {
    for (const char* p = s; *p; p = CharNextDbcs(p)) {
        if (*p == '\\') return true;
    }
    return false;
}
