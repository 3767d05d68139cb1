#include "uninstall/temporary_name.h"

#include "platform/path_text.h"

bool FormTemporaryName(const char* path, int number, char* name, std::size_t capacity) {
    return FormatInto(name, capacity, "%s.%d.tmp", path, number);
}
