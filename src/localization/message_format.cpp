#include "localization/message_format.h"

bool IsSingleStringFormat(const char* text) {
    int strings = 0;
    // No code page in use has '%' as a trail byte, so bytes can be read one by one.
    for (const char* p = text; *p != '\0'; ++p) {
        if (*p != '%') continue;
        ++p;
        if (*p == 's') {
            ++strings;
        } else if (*p != '%') {
            return false;
        }
    }
    return strings == 1;
}
