// The registry layer against Wine's real registry. The product key
// "Software\Kelvon" of the test prefix belongs to these tests; each test
// removes it before and after.
#include "platform/registry.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "platform/system.h"
#include "support/registry_lock.h"
#include "support/registry_open_counter.h"

namespace {

constexpr unsigned char kSentinel = 0xbd;
const char kProductKey[] = "Software\\Kelvon";
const char kMachineKey[] = "Software\\KelvonRegistryTest";

// Removes a tree with the system's own function, independent of the layer.
void RemoveTree(HKEY root, const char* path, REGSAM view = 0) {
    HKEY key;
    if (RegOpenKeyExA(root, path, 0, KEY_ALL_ACCESS | view, &key) != ERROR_SUCCESS) return;
    RegDeleteTreeA(key, nullptr);
    RegCloseKey(key);
    RegDeleteKeyExA(root, path, view, 0);
}

bool KeyExists(HKEY root, const char* path, REGSAM view = 0) {
    HKEY key;
    if (RegOpenKeyExA(root, path, 0, KEY_READ | view, &key) != ERROR_SUCCESS) return false;
    RegCloseKey(key);
    return true;
}

// Creates root\path\name as a fresh key and returns it open.
HKEY CreateChild(HKEY parent, const std::string& name) {
    HKEY key = nullptr;
    EXPECT_EQ(ERROR_SUCCESS, RegCreateKeyExA(parent, name.c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE,
                                             KEY_ALL_ACCESS, nullptr, &key, nullptr));
    return key;
}

void SetRaw(const char* path, const char* name, DWORD type, const void* data, DWORD size) {
    HKEY key = CreateChild(HKEY_CURRENT_USER, path);
    ASSERT_EQ(ERROR_SUCCESS, RegSetValueExA(key, name, 0, type, static_cast<const BYTE*>(data), size));
    RegCloseKey(key);
}

class Registry : public ::testing::Test {
protected:
    void SetUp() override { Clean(); }
    void TearDown() override {
        SetRegistryView(false);
        Clean();
    }
    static void Clean() {
        RemoveTree(HKEY_CURRENT_USER, kProductKey);
        RemoveTree(HKEY_LOCAL_MACHINE, kMachineKey, KEY_WOW64_32KEY);
        RemoveTree(HKEY_LOCAL_MACHINE, kMachineKey, KEY_WOW64_64KEY);
    }
};

TEST_F(Registry, ExpandKeyPath) {
    const std::string longest(236, 'k');
    const struct {
        HKEY root;
        std::string path;
        bool expanded;
        std::string expected;
    } cases[] = {
        {HKEY_CURRENT_USER, "", true, "Software\\Kelvon"},
        {HKEY_CURRENT_USER, "Setup", true, "Software\\Kelvon\\Setup"},
        {HKEY_CURRENT_USER, "Setup\\Links", true, "Software\\Kelvon\\Setup\\Links"},
        {HKEY_CURRENT_USER, "\\Software\\Classes\\.vok", true, "Software\\Classes\\.vok"},
        {HKEY_LOCAL_MACHINE, "Software\\Kelvon", true, "Software\\Kelvon"},
        {HKEY_LOCAL_MACHINE, "\\Software", true, "\\Software"},
        {HKEY_CLASSES_ROOT, ".vok", true, ".vok"},
        {HKEY_CURRENT_USER, longest, true, "Software\\Kelvon\\" + longest},
        {HKEY_CURRENT_USER, "\\" + longest.substr(1), true, longest.substr(1)},
        {HKEY_LOCAL_MACHINE, longest, true, longest},
        {HKEY_CLASSES_ROOT, longest, true, longest},
        {HKEY_CURRENT_USER, longest + "k", false, ""},
        {HKEY_CURRENT_USER, "\\" + longest, false, ""},
        {HKEY_LOCAL_MACHINE, longest + "k", false, ""},
        {HKEY_CLASSES_ROOT, longest + "k", false, ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.path);
        char buffer[300];
        std::memset(buffer, kSentinel, sizeof(buffer));
        ASSERT_EQ(c.expanded, ExpandKeyPath(c.path.c_str(), c.root, buffer, 256));
        size_t untouched = 0;  // a refused path leaves the buffer alone
        if (c.expanded) {
            EXPECT_STREQ(c.expected.c_str(), buffer);
            untouched = 256;
        }
        for (size_t i = untouched; i < sizeof(buffer); ++i) ASSERT_EQ(kSentinel, static_cast<unsigned char>(buffer[i]));
    }
}

TEST_F(Registry, TooLongPathTouchesNothing) {
    const std::string tooLong(237, 'k');
    EXPECT_EQ(ERROR_INVALID_NAME, RegWriteString(HKEY_CURRENT_USER, tooLong.c_str(), "V", "x"));
    EXPECT_EQ(ERROR_INVALID_NAME, RegWriteDword(HKEY_CURRENT_USER, tooLong.c_str(), "V", 1));
    EXPECT_FALSE(KeyExists(HKEY_CURRENT_USER, kProductKey));
    char buffer[16];
    EXPECT_FALSE(RegReadString(HKEY_CURRENT_USER, tooLong.c_str(), "V", buffer, "dflt", sizeof(buffer)));
    EXPECT_STREQ("dflt", buffer);
    EXPECT_EQ(7u, RegGetDword(HKEY_CURRENT_USER, tooLong.c_str(), "V", 7));
    EXPECT_FALSE(RegKeyExists(HKEY_CURRENT_USER, tooLong.c_str()));
}

TEST_F(Registry, WritersCreateParentsAndStoreTypedValues) {
    ASSERT_EQ(ERROR_SUCCESS, RegWriteString(HKEY_CURRENT_USER, "A\\B\\C", "Text", "value"));
    ASSERT_EQ(ERROR_SUCCESS, RegWriteString(HKEY_CURRENT_USER, "A\\B\\C", "", ""));
    ASSERT_EQ(ERROR_SUCCESS, RegWriteDword(HKEY_CURRENT_USER, "A\\B\\C", "Number", 0x12345678));
    const unsigned char bytes[3] = {1, 0, 2};
    ASSERT_EQ(ERROR_SUCCESS, RegWriteBinary(HKEY_CURRENT_USER, "A\\B\\C", "Bytes", bytes, sizeof(bytes)));
    for (const char* path : {"Software\\Kelvon\\A", "Software\\Kelvon\\A\\B", "Software\\Kelvon\\A\\B\\C"}) {
        EXPECT_TRUE(KeyExists(HKEY_CURRENT_USER, path)) << path;
    }
    const struct {
        const char* name;
        DWORD type;
        DWORD size;
        const char* data;
    } expected[] = {
        {"Text", REG_SZ, 6, "value"},
        {"", REG_SZ, 1, ""},  // the default value, holding only the terminator
        {"Number", REG_DWORD, 4, "\x78\x56\x34\x12"},
        {"Bytes", REG_BINARY, 3, "\x01\x00\x02"},
    };
    HKEY key;
    ASSERT_EQ(ERROR_SUCCESS, RegOpenKeyExA(HKEY_CURRENT_USER, "Software\\Kelvon\\A\\B\\C", 0, KEY_READ, &key));
    for (const auto& e : expected) {
        SCOPED_TRACE(e.name);
        unsigned char data[16];
        DWORD type = 0, size = sizeof(data);
        ASSERT_EQ(ERROR_SUCCESS, RegQueryValueExA(key, e.name, nullptr, &type, data, &size));
        EXPECT_EQ(e.type, type);
        ASSERT_EQ(e.size, size);
        EXPECT_EQ(0, std::memcmp(e.data, data, size));
    }
    RegCloseKey(key);
}

TEST_F(Registry, ReadStringHandsBackATerminatedTextOrTheDefault) {
    const struct {
        const char* name;
        DWORD type;
        const char* stored;
        DWORD storedSize;
        DWORD bufferSize;
        bool read;
        const char* expected;
        bool ntOnly;  // Windows 95/98/Me store a REG_SZ up to its terminator, whatever size is given
    } cases[] = {
        {"Text", REG_SZ, "value", 6, 16, true, "value", false},
        {"Text", REG_SZ, "value", 6, 6, true, "value", false},
        {"Text", REG_SZ, "value", 6, 5, false, "d", false},  // larger than the buffer
        {"Empty", REG_SZ, "", 1, 16, true, "", false},
        {"Missing", 0, nullptr, 0, 16, false, "d", false},
        {"Nothing", REG_SZ, "", 0, 16, false, "d", true},  // stored size 0
        {"Bare", REG_SZ, "abcdefgh", 8, 16, true, "abcdefgh", true},
        {"Bare", REG_SZ, "abcdefgh", 8, 9, true, "abcdefgh", true},
        // Without its terminator the text needs one byte more than the buffer.
        {"Bare", REG_SZ, "abcdefgh", 8, 8, false, "d", true},
        {"Binary", REG_BINARY, "abc", 3, 16, true, "abc", false},
        {"Binary", REG_BINARY, "abc", 3, 3, false, "d", false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.name) + " in " + std::to_string(c.bufferSize));
        if (c.ntOnly && !WinNT()) continue;
        RemoveTree(HKEY_CURRENT_USER, kProductKey);
        if (c.stored) SetRaw("Software\\Kelvon\\Read", c.name, c.type, c.stored, c.storedSize);
        else ASSERT_EQ(ERROR_SUCCESS, RegWriteDword(HKEY_CURRENT_USER, "Read", "Other", 1));
        char buffer[32];
        std::memset(buffer, kSentinel, sizeof(buffer));
        EXPECT_EQ(c.read, RegReadString(HKEY_CURRENT_USER, "Read", c.name, buffer, "d", c.bufferSize));
        EXPECT_STREQ(c.expected, buffer);
        for (size_t i = c.bufferSize; i < sizeof(buffer); ++i) {
            ASSERT_EQ(kSentinel, static_cast<unsigned char>(buffer[i])) << "byte " << i;
        }
    }
    char buffer[8];
    EXPECT_FALSE(RegReadString(HKEY_CURRENT_USER, "NoSuchKey", "Text", buffer, "d", sizeof(buffer)));
    EXPECT_STREQ("d", buffer);
}

TEST_F(Registry, ReadDwordHandsBackTheValueOrTheDefault) {
    const struct {
        const char* name;
        DWORD type;
        const char* stored;
        DWORD storedSize;
        bool read;
        DWORD expected;
    } cases[] = {
        {"Number", REG_DWORD, "\x78\x56\x34\x12", 4, true, 0x12345678},
        {"Eight", REG_BINARY, "\x01\x02\x03\x04\x05\x06\x07\x08", 8, false, 77},
        {"Text", REG_SZ, "1", 2, true, '1'},  // the type is not checked
        // A shorter value is widened with zeros, not mixed with what the
        // output held before.
        {"Two", REG_BINARY, "\x34\x12", 2, true, 0x1234},
        {"Missing", 0, nullptr, 0, false, 77},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        RemoveTree(HKEY_CURRENT_USER, kProductKey);
        if (c.stored) SetRaw("Software\\Kelvon\\Read", c.name, c.type, c.stored, c.storedSize);
        else ASSERT_EQ(ERROR_SUCCESS, RegWriteString(HKEY_CURRENT_USER, "Read", "Other", ""));
        DWORD output = 0xbdbdbdbd;
        EXPECT_EQ(c.read, RegReadDword(HKEY_CURRENT_USER, "Read", c.name, &output, 77));
        EXPECT_EQ(c.expected, output);
        EXPECT_EQ(c.expected, RegGetDword(HKEY_CURRENT_USER, "Read", c.name, 77));
    }
}

TEST_F(Registry, SettingsLiveUnderTheProductKey) {
    EXPECT_EQ(5u, SettingGetDword("Setup", "Flag", 5));
    ASSERT_EQ(ERROR_SUCCESS, SettingSetDword("Setup", "Flag", 1));
    ASSERT_EQ(ERROR_SUCCESS, SettingSetString("Setup\\Links", "Folder", "Kelvon"));
    EXPECT_EQ(1u, SettingGetDword("Setup", "Flag", 5));
    EXPECT_EQ(1u, RegGetDword(HKEY_CURRENT_USER, "\\Software\\Kelvon\\Setup", "Flag", 5));
    char buffer[16];
    EXPECT_TRUE(SettingGetString("Setup\\Links", "Folder", buffer, "", sizeof(buffer)));
    EXPECT_STREQ("Kelvon", buffer);
    EXPECT_TRUE(KeyExists(HKEY_CURRENT_USER, "Software\\Kelvon\\Setup\\Links"));
}

TEST_F(Registry, KeyExistsAndSingleDeletions) {
    EXPECT_FALSE(RegKeyExists(HKEY_CURRENT_USER, "Empty"));
    HKEY key = CreateChild(HKEY_CURRENT_USER, "Software\\Kelvon\\Empty");
    RegCloseKey(key);
    EXPECT_TRUE(RegKeyExists(HKEY_CURRENT_USER, "Empty"));  // a key without values
    EXPECT_TRUE(RegKeyExists(HKEY_CURRENT_USER, ""));

    ASSERT_EQ(ERROR_SUCCESS, RegWriteString(HKEY_CURRENT_USER, "Parent\\Child", "V", "x"));
    ASSERT_EQ(ERROR_SUCCESS, RegWriteString(HKEY_CURRENT_USER, "Parent", "V", "x"));
    RegDeleteValueOnly(HKEY_CURRENT_USER, "Parent", "V");
    char buffer[8];
    EXPECT_FALSE(RegReadString(HKEY_CURRENT_USER, "Parent", "V", buffer, "", sizeof(buffer)));
    EXPECT_TRUE(RegKeyExists(HKEY_CURRENT_USER, "Parent"));
    RegDeleteValueOnly(HKEY_CURRENT_USER, "NoSuchKey", "V");

    if (WinNT()) {
        RegDeleteKeyOnly(HKEY_CURRENT_USER, "Parent");  // refused: it has a subkey
        EXPECT_TRUE(RegKeyExists(HKEY_CURRENT_USER, "Parent"));
    }
    RegDeleteKeyOnly(HKEY_CURRENT_USER, "Parent\\Child");
    EXPECT_FALSE(RegKeyExists(HKEY_CURRENT_USER, "Parent\\Child"));
    RegDeleteKeyOnly(HKEY_CURRENT_USER, "Parent");
    EXPECT_FALSE(RegKeyExists(HKEY_CURRENT_USER, "Parent"));
}

TEST_F(Registry, DeleteTreeRemovesADeepTreeBeyondAnyPathBuffer) {
    // 40 levels of 24-character names: the deepest path is about 1000 bytes.
    HKEY key = CreateChild(HKEY_CURRENT_USER, "Software\\Kelvon\\Deep");
    std::string deepest = "Software\\Kelvon\\Deep";
    for (int level = 0; level < 40; ++level) {
        std::string name = "Level_" + std::to_string(100 + level) + "_abcdefghijklmnop";
        HKEY child = CreateChild(key, name);
        RegCloseKey(key);
        key = child;
        deepest += "\\" + name;
    }
    RegCloseKey(key);
    ASSERT_GT(deepest.size(), 512u);
    ASSERT_EQ(ERROR_SUCCESS, RegWriteString(HKEY_CURRENT_USER, "Deep", "V", "x"));
    ASSERT_EQ(ERROR_SUCCESS, RegWriteString(HKEY_CURRENT_USER, "Keep", "V", "x"));

    RegDeleteTree(HKEY_CURRENT_USER, "Deep");
    EXPECT_FALSE(KeyExists(HKEY_CURRENT_USER, "Software\\Kelvon\\Deep"));
    EXPECT_TRUE(KeyExists(HKEY_CURRENT_USER, "Software\\Kelvon\\Keep"));
}

TEST_F(Registry, DeleteTreeTakesAWideKeyInSeveralPasses) {
    HKEY top = CreateChild(HKEY_CURRENT_USER, "Software\\Kelvon\\Wide");
    for (int i = 0; i < 300; ++i) {
        HKEY child = CreateChild(top, "Child" + std::to_string(i));
        RegCloseKey(CreateChild(child, "Grandchild"));
        RegCloseKey(child);
    }
    RegCloseKey(top);
    ASSERT_EQ(ERROR_SUCCESS, RegWriteString(HKEY_CURRENT_USER, "Keep", "V", "x"));

    RootOpenCounter passes(HKEY_CURRENT_USER);
    RegDeleteTree(HKEY_CURRENT_USER, "Wide");
    EXPECT_FALSE(KeyExists(HKEY_CURRENT_USER, "Software\\Kelvon\\Wide"));
    EXPECT_TRUE(KeyExists(HKEY_CURRENT_USER, "Software\\Kelvon\\Keep"));
    // One pass skips every other child it deletes; the last pass finds nothing.
    EXPECT_GE(passes.Count(), 4);
    EXPECT_EQ(0, DeletedKeyCount);
}

TEST_F(Registry, DeleteTreeOfAMissingKeyRunsOnePass) {
    RootOpenCounter passes(HKEY_CURRENT_USER);
    RegDeleteTree(HKEY_CURRENT_USER, "NoSuchKey");
    EXPECT_EQ(1, passes.Count());
}

TEST_F(Registry, DeleteTreeOfTheEmptyPathRemovesTheProductKey) {
    ASSERT_EQ(ERROR_SUCCESS, RegWriteString(HKEY_CURRENT_USER, "Setup\\Links", "V", "x"));
    ASSERT_EQ(ERROR_SUCCESS, RegWriteString(HKEY_CURRENT_USER, "", "V", "x"));
    RegDeleteTree(HKEY_CURRENT_USER, "");
    EXPECT_FALSE(KeyExists(HKEY_CURRENT_USER, kProductKey));
    EXPECT_TRUE(KeyExists(HKEY_CURRENT_USER, "Software"));
}

// Windows 98 deletes everything below a root given an empty key path, so a
// path that names a root must reach no deletion at all.
TEST_F(Registry, DeletionsNeverTouchARootKey) {
    ASSERT_EQ(ERROR_SUCCESS, RegWriteString(HKEY_CURRENT_USER, "\\KelvonSibling", "V", "x"));
    ASSERT_EQ(ERROR_SUCCESS, RegWriteString(HKEY_LOCAL_MACHINE, "Software\\KelvonSibling", "V", "x"));
    for (HKEY root : {HKEY_CURRENT_USER, HKEY_LOCAL_MACHINE}) {
        const char* rootPath = root == HKEY_CURRENT_USER ? "\\" : "";  // both expand to the root itself
        RegDeleteTree(root, rootPath);
        RegDeleteKeyOnly(root, rootPath);
    }
    EXPECT_TRUE(KeyExists(HKEY_CURRENT_USER, "KelvonSibling"));
    EXPECT_TRUE(KeyExists(HKEY_LOCAL_MACHINE, "Software\\KelvonSibling"));
    RegDeleteTree(HKEY_CURRENT_USER, "\\KelvonSibling");
    RegDeleteTree(HKEY_LOCAL_MACHINE, "Software\\KelvonSibling");
    EXPECT_FALSE(KeyExists(HKEY_CURRENT_USER, "KelvonSibling"));
}

// In a double-byte code page a key name of 255 characters takes up to 510
// bytes; the tree must still go completely.
TEST_F(Registry, DeleteTreeTakesTheLongestDoubleByteKeyName) {
    CPINFO info;
    ASSERT_TRUE(GetCPInfo(CP_ACP, &info) && info.MaxCharSize >= 2) << "needs a double-byte ANSI code page";
    HKEY top = CreateChild(HKEY_CURRENT_USER, "Software\\Kelvon\\Long");
    std::wstring name(255, L'\x4e2d');
    HKEY child;
    ASSERT_EQ(ERROR_SUCCESS, RegCreateKeyExW(top, name.c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE, KEY_ALL_ACCESS,
                                             nullptr, &child, nullptr));
    RegCloseKey(CreateChild(child, "Below"));
    RegCloseKey(child);
    RegCloseKey(top);
    RegDeleteTree(HKEY_CURRENT_USER, "Long");
    EXPECT_FALSE(KeyExists(HKEY_CURRENT_USER, "Software\\Kelvon\\Long"));
}

TEST_F(Registry, DeleteTreeEndsAtAKeyItCannotDelete) {
    ASSERT_EQ(ERROR_SUCCESS, RegWriteString(HKEY_CURRENT_USER, "Tree\\Free", "V", "x"));
    ASSERT_EQ(ERROR_SUCCESS, RegWriteString(HKEY_CURRENT_USER, "Tree\\Middle\\Leaf", "V", "x"));
    {
        RegistryKeyLock lock(HKEY_CURRENT_USER, "Software\\Kelvon\\Tree\\Middle\\Locked");
        ASSERT_TRUE(lock.Locked());
        RegDeleteTree(HKEY_CURRENT_USER, "Tree");
        EXPECT_TRUE(KeyExists(HKEY_CURRENT_USER, "Software\\Kelvon\\Tree\\Middle"));
        EXPECT_FALSE(KeyExists(HKEY_CURRENT_USER, "Software\\Kelvon\\Tree\\Free"));
        EXPECT_FALSE(KeyExists(HKEY_CURRENT_USER, "Software\\Kelvon\\Tree\\Middle\\Leaf"));
    }
    RegDeleteTree(HKEY_CURRENT_USER, "Tree");
    EXPECT_FALSE(KeyExists(HKEY_CURRENT_USER, "Software\\Kelvon\\Tree"));
}

TEST_F(Registry, WriteToALockedKeyIsDenied) {
    {
        RegistryKeyLock lock(HKEY_CURRENT_USER, "Software\\Kelvon\\Locked");
        ASSERT_TRUE(lock.Locked());
        EXPECT_EQ(ERROR_ACCESS_DENIED, RegWriteString(HKEY_CURRENT_USER, "Locked", "V", "x"));
        EXPECT_EQ(ERROR_ACCESS_DENIED, RegWriteDword(HKEY_CURRENT_USER, "Locked", "D", 1));
    }
    char buffer[8];
    EXPECT_FALSE(RegReadString(HKEY_CURRENT_USER, "Locked", "V", buffer, "", sizeof(buffer)));
    HKEY key;
    ASSERT_EQ(ERROR_SUCCESS, RegOpenKeyExA(HKEY_CURRENT_USER, "Software\\Kelvon\\Locked", 0, KEY_READ, &key));
    DWORD values = 1, subkeys = 1;
    EXPECT_EQ(ERROR_SUCCESS, RegQueryInfoKeyA(key, nullptr, nullptr, nullptr, &subkeys, nullptr, nullptr, &values,
                                              nullptr, nullptr, nullptr, nullptr));
    RegCloseKey(key);
    EXPECT_EQ(0u, values);
    EXPECT_EQ(0u, subkeys);
}

// Reads the string value "V" of HKEY_LOCAL_MACHINE\<kMachineKey> in one view.
std::string ReadInView(REGSAM view) {
    HKEY key;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, kMachineKey, 0, KEY_READ | view, &key) != ERROR_SUCCESS) return "(none)";
    char text[16] = "";
    DWORD size = sizeof(text) - 1;
    LONG result = RegQueryValueExA(key, "V", nullptr, nullptr, reinterpret_cast<BYTE*>(text), &size);
    RegCloseKey(key);
    return result == ERROR_SUCCESS ? text : "(none)";
}

TEST_F(Registry, RegistryViewFollowsTheSystem) {
    if (IsWow64()) {
        EXPECT_EQ(0u, RegistryView);
        SetRegistryView(true);
        EXPECT_EQ(static_cast<DWORD>(KEY_WOW64_64KEY), RegistryView);
        ASSERT_EQ(ERROR_SUCCESS, RegWriteString(HKEY_LOCAL_MACHINE, kMachineKey, "V", "64"));
        EXPECT_EQ("64", ReadInView(KEY_WOW64_64KEY));
        EXPECT_EQ("(none)", ReadInView(KEY_WOW64_32KEY));
        char buffer[16];
        // Reads stay in the process's own view.
        EXPECT_FALSE(RegReadString(HKEY_LOCAL_MACHINE, kMachineKey, "V", buffer, "d", sizeof(buffer)));
        EXPECT_STREQ("d", buffer);

        SetRegistryView(false);
        EXPECT_EQ(0u, RegistryView);
        ASSERT_EQ(ERROR_SUCCESS, RegWriteString(HKEY_LOCAL_MACHINE, kMachineKey, "V", "32"));
        EXPECT_EQ("32", ReadInView(KEY_WOW64_32KEY));
        EXPECT_EQ("64", ReadInView(KEY_WOW64_64KEY));
        EXPECT_TRUE(RegReadString(HKEY_LOCAL_MACHINE, kMachineKey, "V", buffer, "d", sizeof(buffer)));
        EXPECT_STREQ("32", buffer);
    } else {
        SetRegistryView(true);
        EXPECT_EQ(0u, RegistryView);
        ASSERT_EQ(ERROR_SUCCESS, RegWriteString(HKEY_LOCAL_MACHINE, kMachineKey, "V", "32"));
        char buffer[16];
        EXPECT_TRUE(RegReadString(HKEY_LOCAL_MACHINE, kMachineKey, "V", buffer, "d", sizeof(buffer)));
        EXPECT_STREQ("32", buffer);
        EXPECT_EQ("32", ReadInView(0));
    }
}

// Reads, tests and deletions in the 64-bit view leave the 32-bit twin alone;
// where there is one view only, View64 names it.
TEST_F(Registry, ReadsTestsAndDeletionsInANamedView) {
    const std::string sub = std::string(kMachineKey) + "\\Sub";
    for (REGSAM view : {KEY_WOW64_32KEY, KEY_WOW64_64KEY}) {
        HKEY key;
        ASSERT_EQ(ERROR_SUCCESS, RegCreateKeyExA(HKEY_LOCAL_MACHINE, sub.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS | view,
                                                 nullptr, &key, nullptr));
        RegSetValueExA(key, "V", 0, REG_SZ, reinterpret_cast<const BYTE*>(view == KEY_WOW64_64KEY ? "64" : "32"), 3);
        RegCloseKey(key);
    }
    char buffer[16];
    EXPECT_TRUE(RegReadString(HKEY_LOCAL_MACHINE, sub.c_str(), "V", buffer, "d", sizeof(buffer), View64));
    EXPECT_STREQ("64", buffer);
    RegDeleteKeyOnly(HKEY_LOCAL_MACHINE, sub.c_str(), View64);
    EXPECT_FALSE(RegKeyExists(HKEY_LOCAL_MACHINE, sub.c_str(), View64));
    EXPECT_EQ(IsWow64(), RegKeyExists(HKEY_LOCAL_MACHINE, sub.c_str()));
    RegDeleteTree(HKEY_LOCAL_MACHINE, kMachineKey, View64);
    EXPECT_FALSE(KeyExists(HKEY_LOCAL_MACHINE, kMachineKey, KEY_WOW64_64KEY));
    EXPECT_EQ(IsWow64(), KeyExists(HKEY_LOCAL_MACHINE, sub.c_str(), KEY_WOW64_32KEY));
}

}  // namespace
