#include "integration/association_groups.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

namespace {

constexpr unsigned char kSentinel = 0xbd;

std::vector<std::string> Split(const char* group, std::size_t capacity) {
    std::vector<std::string> extensions;
    for (const char* rest = group; *rest;) {
        std::vector<char> buffer(capacity + 4, static_cast<char>(kSentinel));
        rest = TakeGroupExtension(rest, buffer.data(), capacity);
        for (std::size_t i = capacity; i < buffer.size(); ++i) {
            EXPECT_EQ(kSentinel, static_cast<unsigned char>(buffer[i])) << "written past the end";
        }
        extensions.push_back(buffer.data());
    }
    return extensions;
}

TEST(AssociationGroups, SplitAtEveryDotButTheFirst) {
    const struct {
        const char* group;
        std::size_t capacity;
        std::vector<std::string> extensions;
    } cases[] = {
        {".vok", 52, {".vok"}},
        {".lzh.lha", 52, {".lzh", ".lha"}},
        {".uue.xxe.uu", 52, {".uue", ".xxe", ".uu"}},
        {".bz2.tbz2.bz.tbz", 52, {".bz2", ".tbz2", ".bz", ".tbz"}},
        {".z.taz", 52, {".z", ".taz"}},
        // Too long for the buffer: handed back empty, never cut.
        {".bz2.tbz2.bz.tbz", 5, {".bz2", "", ".bz", ".tbz"}},
        {".tbz2", 5, {""}},
        {".tbz2", 6, {".tbz2"}},
        {"", 52, {}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.group) + " in " + std::to_string(c.capacity));
        EXPECT_EQ(c.extensions, Split(c.group, c.capacity));
    }
}

TEST(AssociationGroups, TableAndKeyExtensions) {
    const char* keys[kAssociationGroupCount] = {".vok", ".zip", ".cab", ".arj", ".lzh", ".ace", ".7z",
                                                ".tar", ".gz",  ".uue", ".bz2", ".jar", ".iso", ".z"};
    std::size_t extensionCount = 0;
    for (int group = 0; group < kAssociationGroupCount; ++group) {
        char key[52];
        ASSERT_TRUE(GroupKeyExtension(group, key, sizeof(key)));
        EXPECT_STREQ(keys[group], key);
        extensionCount += Split(AssociationGroups[group], 52).size();
    }
    EXPECT_EQ(22u, extensionCount);
    EXPECT_STREQ(".vok", AssociationGroups[kNativeGroup]);
    EXPECT_STREQ(".zip", AssociationGroups[kZipGroup]);
    char small[4];
    EXPECT_FALSE(GroupKeyExtension(kNativeGroup, small, sizeof(small)));
    EXPECT_STREQ("", small);
}

TEST(AssociationGroups, EqualsAsciiNoCase) {
    const struct {
        const char* a;
        const char* b;
        bool equal;
    } cases[] = {
        {"Kelvon", "kelvon", true},       {"Kelvon.ZIP", "KELVON.zip", true}, {"", "", true},
        {"Kelvon", "Kelvon.ZIP", false},  {"Kelvon.ZIP", "Kelvon", false},    {"Kelvon", "Kelvon ", false},
        {"\xC4", "\xE4", false},  // only ASCII letters fold
        {"a[", "A{", false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.a) + " / " + c.b);
        EXPECT_EQ(c.equal, EqualsAsciiNoCase(c.a, c.b));
    }
}

}  // namespace
