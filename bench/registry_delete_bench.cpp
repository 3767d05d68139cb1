// Times RegDeleteTree on trees of about 10,000 keys in three shapes under
// HKEY_CURRENT_USER\Software\Kelvon and counts the passes it needed.
//
// The passes are counted from outside the layer (RootOpenCounter wraps
// advapi32's RegOpenKeyExA import at link time): every pass begins with the
// one open relative to the root key; the keys below are opened relative to
// their parents.
#include <windows.h>

#include <chrono>
#include <cstdio>

#include "platform/registry.h"
#include "support/registry_open_counter.h"

namespace {

const char kTreePath[] = "Software\\Kelvon\\Bench";

// Creates `levels` levels below `parent`, `width` children per key; returns
// the number of keys created.
int BuildLevels(HKEY parent, int width, int levels) {
    if (levels == 0) return 0;
    int created = 0;
    for (int i = 0; i < width; ++i) {
        char name[32];
        std::snprintf(name, sizeof(name), "Key%05d", i);
        HKEY child;
        if (RegCreateKeyExA(parent, name, 0, nullptr, REG_OPTION_NON_VOLATILE, KEY_ALL_ACCESS, nullptr, &child,
                            nullptr) != ERROR_SUCCESS) {
            continue;
        }
        created += 1 + BuildLevels(child, width, levels - 1);
        RegCloseKey(child);
    }
    return created;
}

// `chains` chains of `depth` keys each.
int BuildChains(HKEY top, int chains, int depth) {
    int created = 0;
    for (int c = 0; c < chains; ++c) {
        char name[32];
        std::snprintf(name, sizeof(name), "Chain%03d", c);
        HKEY key;
        if (RegCreateKeyExA(top, name, 0, nullptr, REG_OPTION_NON_VOLATILE, KEY_ALL_ACCESS, nullptr, &key,
                            nullptr) != ERROR_SUCCESS) {
            continue;
        }
        ++created;
        for (int level = 1; level < depth; ++level) {
            HKEY child;
            if (RegCreateKeyExA(key, "Level", 0, nullptr, REG_OPTION_NON_VOLATILE, KEY_ALL_ACCESS, nullptr, &child,
                                nullptr) != ERROR_SUCCESS) {
                break;
            }
            RegCloseKey(key);
            key = child;
            ++created;
        }
        RegCloseKey(key);
    }
    return created;
}

double MillisecondsSince(std::chrono::steady_clock::time_point start) {
    return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
}

bool TreeExists() {
    HKEY key;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, kTreePath, 0, KEY_READ, &key) != ERROR_SUCCESS) return false;
    RegCloseKey(key);
    return true;
}

struct Shape {
    const char* name;
    int (*build)(HKEY top);
};

const Shape kShapes[] = {
    {"wide   (10000 children of one key)", [](HKEY top) { return BuildLevels(top, 10000, 1); }},
    {"deep   (20 chains of 500 levels)", [](HKEY top) { return BuildChains(top, 20, 500); }},
    {"bushy  (10 children per key, 4 levels)", [](HKEY top) { return BuildLevels(top, 10, 4); }},
};

}  // namespace

int main() {
    std::printf("%-40s %7s %10s %10s %7s\n", "shape", "keys", "build ms", "delete ms", "passes");
    int status = 0;
    for (const Shape& shape : kShapes) {
        RegDeleteTreeA(HKEY_CURRENT_USER, kTreePath);
        auto start = std::chrono::steady_clock::now();
        HKEY top;
        if (RegCreateKeyExA(HKEY_CURRENT_USER, kTreePath, 0, nullptr, REG_OPTION_NON_VOLATILE, KEY_ALL_ACCESS, nullptr,
                            &top, nullptr) != ERROR_SUCCESS) {
            std::printf("cannot create %s\n", kTreePath);
            return 1;
        }
        int keys = 1 + shape.build(top);
        RegCloseKey(top);
        double buildTime = MillisecondsSince(start);

        int passes = 0;
        start = std::chrono::steady_clock::now();
        {
            RootOpenCounter counter(HKEY_CURRENT_USER);
            RegDeleteTree(HKEY_CURRENT_USER, "Bench");
            passes = counter.Count();
        }
        double deleteTime = MillisecondsSince(start);

        bool left = TreeExists();
        std::printf("%-40s %7d %10.0f %10.0f %7d%s\n", shape.name, keys, buildTime, deleteTime, passes,
                    left ? "  (tree left behind)" : "");
        if (left) status = 1;
    }
    RegDeleteTreeA(HKEY_CURRENT_USER, kTreePath);
    RegDeleteKeyA(HKEY_CURRENT_USER, "Software\\Kelvon");
    return status;
}
