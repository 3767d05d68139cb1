// kelvon-lng on the test modules built from lng_test.rc: what it keys, the
// round trip template - translate - check - update, and every kind of
// mistake that check reports.
#include <iconv.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <iterator>
#include <map>
#include <regex>
#include <sstream>
#include <string>
#include <vector>

#include "catalog_file.h"
#include "commands.h"
#include "module_texts.h"
#include "support/catalog_text.h"

namespace {

const std::string kProgram = KELVON_LNG_TEST_PROGRAM;
const std::string kLibrary = KELVON_LNG_TEST_LIBRARY;

std::string Gbk(const std::string& utf8) {
    iconv_t converter = iconv_open("CP936", "UTF-8");
    std::vector<char> out(utf8.size() * 2 + 1);
    char* in = const_cast<char*>(utf8.data());
    char* to = out.data();
    std::size_t inLeft = utf8.size();
    std::size_t outLeft = out.size();
    EXPECT_NE(static_cast<std::size_t>(-1), iconv(converter, &in, &inLeft, &to, &outLeft)) << utf8;
    iconv_close(converter);
    return std::string(out.data(), to);
}

std::string Repeat(const std::string& text, int count) {
    std::string repeated;
    for (int i = 0; i < count; ++i) repeated += text;
    return repeated;
}

std::string ReadBytes(const std::string& path) {
    std::ifstream file(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
}

ModuleResources ReadModule(const std::string& path) {
    const std::string bytes = ReadBytes(path);
    ModuleResources module;
    std::string error;
    EXPECT_TRUE(ReadModuleResources(reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size(), module, error))
        << path << ": " << error;
    return module;
}

struct LngRun {
    int exitCode;
    std::string out;
    std::string err;
};

LngRun Lng(const std::vector<std::string>& arguments) {
    std::ostringstream out;
    std::ostringstream err;
    int exitCode = RunKelvonLng(arguments, out, err);
    return {exitCode, out.str(), err.str()};
}

// Files for one test, removed when it ends.
class Scratch {
public:
    Scratch(const Scratch&) = delete;
    Scratch& operator=(const Scratch&) = delete;
    Scratch() = default;
    ~Scratch() {
        for (const std::string& path : paths_) std::remove(path.c_str());
    }
    std::string operator()(const std::string& name, const std::string& bytes) {
        paths_.push_back(::testing::TempDir() + "lng_tool_test_" + name);
        std::ofstream(paths_.back(), std::ios::binary) << bytes;
        return paths_.back();
    }

private:
    std::vector<std::string> paths_;
};

std::string MessageKey(const std::string& utf8) {
    return CatalogKey(kMessageText, nullptr, Gbk(utf8).c_str());
}

std::string DialogKey(const char* dialog, const std::string& utf8) {
    return CatalogKey(kDialogText, dialog, Gbk(utf8).c_str());
}

std::string Entry(const std::string& key, const std::string& value) {
    return key + "=\"" + value + "\"";
}

// The catalog with a new value in the entry of `key`.
std::string Translated(std::string catalog, const std::string& key, const std::string& value) {
    std::size_t at = catalog.find("\n" + key + "=\"") + 1;
    return catalog.replace(at, catalog.find('\r', at) - at, Entry(key, value));
}

// What Windows loads is compared with the templates under Wine; here, what
// a template says about each text.
TEST(LngTool, KeysTheTextsTheProgramLooksUp) {
    const ModuleResources program = ReadModule(kProgram);
    const ModuleResources library = ReadModule(kLibrary);
    EXPECT_FALSE(program.isLibrary);
    EXPECT_TRUE(library.isLibrary);
    CodePage codePage;
    ASSERT_TRUE(codePage.Open(936));
    const struct {
        const ModuleResources* program;
        const ModuleResources* library;
        std::string uses;   // empty: no key has this text
        std::string value;  // what the template offers, in UTF-8
    } cases[] = {
        {&program, nullptr, "message 5104", "卸载 Kelvon"},
        {&program, nullptr, "SETUPDLG control 1, SETUPDLG control 2", "确定"},
        {&program, nullptr, "SETUPDLG size", "100*100"},
        {&program, nullptr, "DONEDLG size", "100*100"},  // its empty caption is left alone
        {&program, nullptr, "reading direction", "LTR"},
        {&program, nullptr, "", "never keyed"},
        {nullptr, &library, "reading direction", "RTL"},
        {nullptr, &library, "", "卸载 Kelvon"},
        {nullptr, &library, "", "never keyed"},
        {&program, &library, "message 5104", "卸载 Kelvon"},
        {&program, &library, "SETUPDLG caption", "Library setup"},
        {&program, &library, "", "Kelvon 安装"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE((c.program ? "program " : "") + std::string(c.library ? "library " : "") + c.value);
        const ModuleTexts texts = CollectModuleTexts(c.program, c.library, codePage);
        EXPECT_EQ(c.library != nullptr, texts.rightToLeft);
        std::vector<std::string> uses;
        for (const KeyedText& text : texts.texts) {
            if (text.templateValue == Gbk(c.value)) uses.push_back(text.UseList());
        }
        if (c.uses.empty()) {
            EXPECT_TRUE(uses.empty()) << uses[0];
        } else {
            EXPECT_NE(uses.end(), std::find(uses.begin(), uses.end(), c.uses)) << "used as: " << uses.size();
        }
    }
}

// Code page 936 keeps the keys over the texts as it reads them. Any other
// keys the UTF-16 texts, the same in every such code page, so that texts it
// reads as the same "?"s (5104 and 5105 in 1252 and 1251) keep their own.
TEST(LngTool, KeysByCodePage) {
    const ModuleResources program = ReadModule(kProgram);
    const std::string uninstall = CatalogKeyUtf16(kMessageText, nullptr, u"\u5378\u8F7D Kelvon");
    const struct {
        unsigned codePage;
        bool legacyKeys;
        std::string use;
        std::string key;
        std::string comment;  // the source text in the template's comment
    } cases[] = {
        {936, false, "message 5104", MessageKey("卸载 Kelvon"), Gbk("卸载 Kelvon")},
        {1252, false, "message 5113", CatalogKeyUtf16(kMessageText, nullptr, u"€·ー 한 😀 Ä"),
         "\x80\xB7\\u30FC \\uD55C \\uD83D\\uDE00 \xC4"},
        {1252, false, "message 5104", uninstall, "\\u5378\\u8F7D Kelvon"},
        {1251, false, "message 5104", uninstall, "\\u5378\\u8F7D Kelvon"},
        {1252, false, "message 5105", CatalogKeyUtf16(kMessageText, nullptr, u"\u5B89\u88C5 Kelvon"), ""},
        {1252, true, "message 5104, message 5105", CatalogKey(kMessageText, nullptr, "?? Kelvon"), ""},
        {1251, false, "SETUPDLG control 5111", CatalogKeyUtf16(kDialogText, "SETUPDLG", u"\u5E2E\u52A9(&H)"), ""},
        {1252, false, "SETUPDLG size", CatalogKey(kDialogText, "SETUPDLG", ""), ""},
        {1251, false, "reading direction", CatalogKeyUtf16(kDialogText, "LTR", u"LTR"), ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::to_string(c.codePage) + " " + c.use);
        CodePage codePage;
        ASSERT_TRUE(codePage.Open(c.codePage));
        const ModuleTexts texts = CollectModuleTexts(&program, nullptr, codePage, c.legacyKeys);
        const KeyedText* text = texts.Find(c.key);
        ASSERT_NE(nullptr, text);
        EXPECT_EQ(c.use, text->UseList());
        if (!c.comment.empty()) EXPECT_EQ(c.comment, text->shown);
    }
}

// A module whose 4096 string tables all point into one 2 MB block, each at
// another offset: 2 GB of text if each were read. The tool stops at its
// total and refuses the module.
std::string CraftedModule() {
    constexpr uint32_t kTables = 4096;
    constexpr uint32_t kBlock = 2u << 20;
    constexpr uint32_t kTypes = 0x18, kLanguages = kTypes + 16 + kTables * 8, kData = kLanguages + kTables * 24;
    constexpr uint32_t kText = kData + kTables * 16, kSection = 0x1000, kFileOffset = 0x200;
    std::string bytes(kFileOffset + kText, '\0');
    auto put = [&bytes](std::size_t at, uint32_t value, int size) {
        for (int i = 0; i < size; ++i) bytes[at + i] = static_cast<char>(value >> (8 * i));
    };
    bytes[0] = 'M', bytes[1] = 'Z', put(0x3C, 0x40, 4), put(0x40, 0x4550, 4);
    put(0x44, 0x14C, 2), put(0x46, 1, 2), put(0x54, 0xE0, 2), put(0x58, 0x10B, 2);
    put(0x58 + 92, 16, 4), put(0x58 + 112, kSection, 4), put(0x58 + 116, kText, 4);
    put(0x138 + 8, kText + kBlock, 4), put(0x138 + 12, kSection, 4), put(0x138 + 16, kText + kBlock, 4);
    put(0x138 + 20, kFileOffset, 4);
    const std::size_t root = kFileOffset;
    put(root + 14, 1, 2), put(root + 16, 6, 4), put(root + 20, 0x80000000u | kTypes, 4);
    put(root + kTypes + 14, kTables, 2);
    for (uint32_t i = 0; i < kTables; ++i) {
        put(root + kTypes + 16 + i * 8, i + 1, 4), put(root + kTypes + 20 + i * 8, 0x80000000u | (kLanguages + i * 24), 4);
        put(root + kLanguages + i * 24 + 14, 1, 2), put(root + kLanguages + i * 24 + 20, kData + i * 16, 4);
        put(root + kData + i * 16, kSection + kText + 2 * i, 4), put(root + kData + i * 16 + 4, kBlock - 2 * i, 4);
    }
    // Strings of 16383 units each: every table is whole.
    return bytes + Repeat("\xFF\x3F", kBlock / 2);
}

TEST(LngTool, TextOfAModuleIsBoundedInTotal) {
    Scratch scratch;
    const LngRun run = Lng({"template", scratch("crafted.exe", CraftedModule())});
    EXPECT_EQ(kExitUnreadable, run.exitCode);
    EXPECT_NE(std::string::npos, run.err.find("more than 2097152 bytes of text")) << run.err;
}

TEST(LngTool, TemplateTranslateCheckUpdate) {
    Scratch scratch;
    const LngRun made = Lng({"template", kProgram, kLibrary});
    ASSERT_EQ(kExitClean, made.exitCode) << made.err;
    const std::string messageKey = MessageKey("卸载 Kelvon");
    const std::string captionKey = DialogKey("SETUPDLG", "Library setup");
    const std::string translated =
        Translated(Translated(made.out, messageKey, "Uninstall \\\"Kelvon\\\""), captionKey, Gbk("设置"));
    ASSERT_NE(made.out, translated);
    for (const std::string& catalog : {made.out, translated}) {
        const LngRun check = Lng({"check", kProgram, kLibrary, scratch("round_trip.lng", catalog)});
        EXPECT_EQ(kExitClean, check.exitCode);
        EXPECT_EQ("", check.out);
    }
    const std::string path = scratch("translated.lng", translated);
    EXPECT_EQ(translated, Lng({"update", kProgram, kLibrary, path}).out);
    // Without the program its messages are stale: listed at the end, and
    // the rest still checks clean.
    const LngRun update = Lng({"update", kLibrary, path});
    const std::size_t stale = update.out.find("; Entries of the old catalog that no text uses:");
    ASSERT_NE(std::string::npos, stale);
    EXPECT_LT(update.out.find("\n" + Entry(captionKey, Gbk("设置")) + "\r\n"), stale);
    EXPECT_NE(std::string::npos, update.out.find(": " + Entry(messageKey, "Uninstall \\\"Kelvon\\\"") + "\r\n", stale));
    const LngRun check = Lng({"check", kLibrary, scratch("updated.lng", update.out)});
    EXPECT_EQ(kExitClean, check.exitCode);
    EXPECT_EQ("", check.out);
}

// A text changed, one removed, one added, a translator's comment: update
// keeps the changed text's translation and comment, marked for review with
// the old source text. PO export and import carry all of it through.
TEST(LngTool, UpdateReviewAndPoRoundTrip) {
    Scratch scratch;
    const std::string made = Lng({"template", kProgram}).out;
    const std::string key = MessageKey("卸载 Kelvon");
    const std::string old = made.substr(0, made.find(kCatalogMarker)) + kCatalogMarkerLine +
                            "# checked by the team\r\n; message 5104: " + Gbk("旧文本") + "\r\n" +
                            Entry("0badc0de", "Uninstall it") + "\r\n; message 5999: gone\r\n" +
                            Entry("12345678", "Gone") + "\r\n";
    const LngRun update = Lng({"update", kProgram, scratch("old.lng", old)});
    ASSERT_EQ(kExitClean, update.exitCode) << update.err;
    const std::size_t stale = update.out.find("\r\n; Entries of the old catalog that no text uses:");
    EXPECT_NE(std::string::npos, update.out.find("\r\n; line 14: " + Entry("12345678", "Gone") + "\r\n", stale));
    EXPECT_LT(update.out.find("\r\n# checked by the team\r\n; message 5104: " + Gbk("卸载 Kelvon") +
                              "\r\n;, fuzzy, the source text was: " + Gbk("旧文本") + "\r\n" +
                              Entry(key, "Uninstall it") + "\r\n"),
              stale);
    const std::string added = MessageKey("你应该手动删除 %s");
    EXPECT_LT(update.out.find("\n" + Entry(added, Gbk("你应该手动删除 %s")) + "\r\n"), stale);
    const std::string updated = scratch("updated.lng", update.out);
    const LngRun check = Lng({"check", kProgram, updated});
    EXPECT_NE(std::string::npos, check.out.find(":14: needs review")) << check.out;
    EXPECT_NE(std::string::npos, check.err.find(" 1 need review, ")) << check.err;

    const LngRun exported = Lng({"po", "export", kProgram, updated});
    ASSERT_EQ(kExitClean, exported.exitCode) << exported.err;
    EXPECT_NE(std::string::npos, exported.out.find("# checked by the team\n#: lng_test.exe/STRINGTABLE:5104\n"
                                                   "#, fuzzy\n#| msgid \"旧文本\"\n"
                                                   "msgctxt \"message 5104\"\nmsgid \"卸载 Kelvon\"\n"
                                                   "msgstr \"Uninstall it\"\n"))
        << exported.out;
    const LngRun imported = Lng({"po", "import", kProgram, scratch("exported.po", exported.out)});
    ASSERT_EQ(kExitClean, imported.exitCode) << imported.err;
    EXPECT_EQ(update.out.substr(0, stale), imported.out);

    // Import refuses, naming the line, whatever it would otherwise drop or
    // guess; a refused import leaves the catalog it was to replace as it was.
    const std::string po = exported.out;
    const std::string context = "msgctxt \"message 5104\"\n";
    const std::size_t message = po.find(context);
    const auto lineOf = [&po](std::size_t at) { return std::to_string(1 + std::count(po.begin(), po.begin() + at, '\n')); };
    const std::string at = "mistaken.po:" + lineOf(message) + ": ";
    const std::string appended = "mistaken.po:" + std::to_string(2 + std::count(po.begin(), po.end(), '\n')) + ": ";
    const std::string emoji = "\xF0\x9F\x98\x80";
    const struct {
        std::string po;
        int exitCode;
        std::string error;
    } refusals[] = {
        {std::regex_replace(po, std::regex("Uninstall it"), "Uninstall " + emoji), kExitUnreadable,
         at + "\"Uninstall " + emoji + "\" from byte 10 has no exact form in code page 936"},
        {std::string(po).erase(message, context.size()), kExitUnreadable, at + "no msgctxt"},
        {po + "\n" + context + "msgid \"x\"\nmsgstr \"y\"\n", kExitUnreadable,
         appended + "msgctxt \"message 5104\" again: its first message is on line " +
             lineOf(message)},
        {std::string(po).insert(po.find("msgstr", message), "msgid_plural \"x\"\n"), kExitUnreadable,
         at + "plural forms"},
        {std::regex_replace(po, std::regex("\"X-Code-Page: 936\\\\n\"\n"), ""), kExitUnreadable,
         "mistaken.po:1: the header names no code page"},
        {std::regex_replace(po, std::regex("charset=UTF-8"), "charset=Utf-8"), kExitClean, ""},
        {std::regex_replace(po, std::regex("charset=UTF-8"), "charset=GBK"), kExitUnreadable, "mistaken.po:1: the PO file is not in UTF-8"},
        {po + "\nmsgctxt \"message 1\"\nmsgid \"x\"\nmsgstr \"y\"\n", kExitClean,
         "note: " + ::testing::TempDir() + "lng_tool_test_mistaken.po:"},
        {po + "\nmsgid \"broken\n", kExitUnreadable, appended + "not a quoted string"},
    };
    const std::string catalog = scratch("kept.lng", "the old catalog");
    for (const auto& c : refusals) {
        SCOPED_TRACE(c.error);
        const LngRun run = Lng({"-o", catalog, "po", "import", kProgram, scratch("mistaken.po", c.po)});
        EXPECT_EQ(c.exitCode, run.exitCode);
        EXPECT_NE(std::string::npos, run.err.find(c.error)) << run.err;
        EXPECT_EQ(c.exitCode == kExitClean, ReadBytes(catalog) != "the old catalog");
        std::ofstream(catalog, std::ios::binary) << "the old catalog";
    }
}

TEST(LngTool, CheckFindsEveryKindOfMistake) {
    const std::string uppercase = [](std::string key) {
        std::transform(key.begin(), key.end(), key.begin(), ::toupper);
        return key;
    }(DialogKey("SETUPDLG", "VOK(&V)"));
    const struct {
        std::string line;
        std::string finding;  // part of the finding on this line; empty: none
        std::string also = "";  // part of a second finding on it
    } lines[] = {
        {"; " + std::string(600000, 'x'), ""},  // pushes the marker out of the search's reach
        {Entry(MessageKey("卸载 Kelvon"), "before"), "before the marker: the program ignores this entry"},
        {"***messages***", "the program does not find this marker: it looks only at the first 523264 bytes"},
        {Entry(MessageKey("卸载 Kelvon"), "Uninstall Kelvon"), "?"},  // the program takes one of the two
        {Entry(MessageKey("卸载 Kelvon"), "Uninstall, again"), "?"},
        {Entry(MessageKey("你应该手动删除 %s"), "Delete %d now"),
         "the program refuses this translation of message 5106 and shows its own text"},
        {Entry(MessageKey("tab\tquote\"x\" back\\slash\r\nnext line"), "tab %d"),
         "the printf conversions of this translation (%d) differ from those of message 5112 (none)"},
        {Entry(DialogKey("SETUPDLG", ""), "120x110"), "the SETUPDLG size is not two percentages such as 120*110"},
        {Entry(CatalogKey(kDialogText, "LTR", "LTR"), "rtl"), "the reading direction is neither RTL nor LTR: \"rtl\""},
        {Entry("0badc0de", "stale"), "stale or mistyped key 0badc0de: no text of the module has it"},
        {Entry(uppercase, "VOK"), "a key with uppercase letters never matches"},
        {DialogKey("SETUPDLG", "Kelvon 安装") + "=\"unclosed", "no closing quote: the program shows \"unclosed\\f\""},
        {DialogKey("DONEDLG", "感谢使用 \"Kelvon\"!") + ": thanks", "not an entry (the key is not followed by =\")"},
        {Entry(DialogKey("SETUPDLG", "VOK(&V)"), std::string(1100, 'v')),
         "the program shows only the first 1023 bytes of this translation of SETUPDLG control 5101"},
        {Entry(DialogKey("SETUPDLG", "解压到<文件夹\\>"), "\x81\\n"),
         "the double-byte character at column 11 ends in a backslash, which the program reads as the escape \\n"},
        {"# the translator's note", ""},
        {";, fuzzy, the source text was: OK", ""},
        {Entry(DialogKey("SETUPDLG", "确定"), "C:\\new"), "needs review: its source text changed, it was \"OK\"",
         "the escape \\n makes a line feed, which the source text has not"},
        {Entry(DialogKey("DONEDLG", "关闭"), "Close\xFF"), "the byte 0xFF at column 15 is no text in code page 936"},
        {Entry(DialogKey("SETUPDLG", "全部(&A)"), "&All &fïles"), "2 & mnemonics where SETUPDLG control 5110 takes one",
         "this translation is written in UTF-8: save the catalog in code page 936"},
        {Entry(DialogKey("SETUPDLG", "帮助(&H)"), "&Assistance"),
         "the mnemonic &A of SETUPDLG control 5111 is also that of SETUPDLG control 5110"},
        {"; " + std::string(kCatalogSectionSize, 'x'), ""},  // the part the program reads ends in it
        {Entry(MessageKey("€·ー ? ?? ?"), "beyond"),
         "this entry and 1 more lie beyond the part of the file the program reads: it stops 131072 bytes after the marker, on line 22"},
        {Entry(MessageKey(Repeat("0123456789", 52).substr(0, 511)), "beyond, too"), ""},
    };
    std::string catalog;
    for (const auto& line : lines) catalog += line.line + "\r\n";
    Scratch scratch;
    const std::string path = scratch("mistakes.lng", catalog);
    const LngRun check = Lng({"--verbose", "check", kProgram, path});
    EXPECT_EQ(kExitFindings, check.exitCode);
    EXPECT_NE(std::string::npos, check.err.find(path + ": 9 translated, 1 need review, 6 untranslated\n"));
    std::map<int, std::string> findings;  // by line; 0: the file as a whole
    std::istringstream output(check.out);
    for (std::string finding; std::getline(output, finding);) {
        ASSERT_EQ(0u, finding.find(path + ":")) << finding;
        int line = std::atoi(finding.c_str() + path.size() + 1);
        findings[line] += finding + "\n";
    }
    // Of two entries with one key the program uses the one its lookup meets first.
    LanguageCatalog program;
    ASSERT_TRUE(program.LoadSection(catalog.data() + catalog.find("***messages***"), kCatalogSectionSize));
    char shown[512];
    program.Translate(Gbk("卸载 Kelvon").c_str(), shown, sizeof(shown), kMessageText, nullptr);
    const int used = std::string(shown) == "Uninstall Kelvon" ? 4 : 5;
    for (int number = 1; number <= static_cast<int>(std::size(lines)); ++number) {
        SCOPED_TRACE(number);
        std::string expected = lines[number - 1].finding;
        if (expected == "?") {
            expected = number == used ? "" : "ignored: the program takes line " + std::to_string(used) +
                                                 " for message 5104";
        }
        if (expected.empty()) {
            EXPECT_EQ(0u, findings.count(number)) << findings[number];
        } else {
            EXPECT_NE(std::string::npos, findings[number].find(expected)) << findings[number];
            EXPECT_NE(std::string::npos, findings[number].find(lines[number - 1].also)) << findings[number];
        }
        findings.erase(number);
    }
    EXPECT_NE(std::string::npos, findings[0].find(": no entry for message 5201 \"")) << findings[0];
    EXPECT_NE(std::string::npos, findings[0].find(": untranslated: message 5201 \"")) << findings[0];
    findings.erase(0);
    EXPECT_TRUE(findings.empty()) << findings.begin()->second;
}

// A review mark's old source text goes through PO as the source itself,
// also where the catalog's code page shows it as \uXXXX.
TEST(LngTool, PreviousSourceTextThroughPo) {
    Scratch scratch;
    const std::string made = Lng({"--codepage", "1252", "template", kProgram}).out;
    const std::string key = CatalogKeyUtf16(kMessageText, nullptr, u"\u5378\u8F7D Kelvon");
    const std::string marked = std::regex_replace(made, std::regex("\r\n" + key + "=\"[^\r]*"),
                                                  "\r\n;, fuzzy, the source text was: \\u65E7 \\\\u\xC4\r\n" +
                                                      Entry(key, "Kelvon entfernen"));
    ASSERT_NE(made, marked);
    const LngRun exported = Lng({"po", "export", kProgram, scratch("marked.lng", marked)});
    EXPECT_NE(std::string::npos, exported.out.find("#| msgid \"\u65E7 \\\\u\u00C4\"\n")) << exported.out;
    EXPECT_EQ(marked, Lng({"po", "import", kProgram, scratch("marked.po", exported.out)}).out);
}

// The slips a reviewer looks for, each a finding on the entry's line.
TEST(LngTool, CheckFindsSlipsOfWording) {
    const struct {
        std::string key;
        std::string value;
        std::string finding;  // empty: none
    } cases[] = {
        {MessageKey("设置..."), "Settings", "the source text ends in ... (more follows), this translation does not"},
        {MessageKey("设置..."), "Settings...", ""},
        {DialogKey("SETUPDLG", "全部(&A)"), "&All...", "this translation ends in ..., the source text does not"},
        {MessageKey("安装 Kelvon"), " Install Kelvon", "a blank at the start"},
        {DialogKey("SETUPDLG", "帮助(&H)"), "&Help ", "a blank at the end"},
        {MessageKey("卸载 Kelvon"), "Uninstall  Kelvon", "two blanks in a row"},
        {MessageKey("你应该手动删除 %s"), "Delete the The file %s", "the word \"The\" twice in a row"},
        {MessageKey("你应该手动删除 %s"), "Delete the file %s", ""},
        {DialogKey("SETUPDLG", "VOK(&V)"), "&VOK archives", "about 56 dialog units wide, wider than the 37 of SETUPDLG control 5101"},
        {DialogKey("SETUPDLG", "VOK(&V)"), "&Volume", ""},
    };
    Scratch scratch;
    const std::string made = Lng({"template", kProgram}).out;
    for (const auto& c : cases) {
        SCOPED_TRACE(c.value);
        const std::string catalog = Translated(made, c.key, c.value);
        const std::size_t at = catalog.find("\n" + c.key + "=");
        const std::string line = std::to_string(1 + std::count(catalog.begin(), catalog.begin() + at + 1, '\n'));
        const LngRun check = Lng({"check", kProgram, scratch("slips.lng", catalog)});
        if (c.finding.empty()) {
            EXPECT_EQ("", check.out);
        } else {
            EXPECT_NE(std::string::npos, check.out.find("slips.lng:" + line + ": " + c.finding)) << check.out;
        }
    }
}

TEST(LngTool, MarkersTheProgramMisses) {
    const std::string entry = Entry(MessageKey("卸载 Kelvon"), "x") + "\r\n";
    const struct {
        std::string catalog;
        std::string finding;  // empty: the program finds the marker
    } cases[] = {
        {"", ": no ***messages*** marker: the program ignores the whole file"},
        {"**messages**\r\n" + entry, ":1: not the marker: the program looks for exactly ***messages***"},
        {entry + "***messages***", ":2: the program does not find this marker: it does not look at the last 15 bytes"},
        {"***messages**\r\n", ":1: the program does not find this marker"},  // 15 bytes: no catalog
        {std::string(8180, 'x') + "***messages***\r\n" + entry, ""},       // across the first two blocks
    };
    Scratch scratch;
    for (const auto& c : cases) {
        SCOPED_TRACE(c.finding);
        const LngRun check = Lng({"check", kProgram, scratch("catalog.lng", c.catalog)});
        EXPECT_EQ(kExitFindings, check.exitCode);
        if (c.finding.empty()) {
            EXPECT_EQ(std::string::npos, check.out.find("marker")) << check.out;
        } else {
            EXPECT_NE(std::string::npos, check.out.find(c.finding)) << check.out;
        }
    }
}

TEST(LngTool, ExitCodes) {
    Scratch scratch;
    const std::string clean = scratch("clean.lng", Lng({"template", kProgram}).out);
    const std::string mistaken = scratch("mistaken.lng", std::string(kCatalogMarkerLine) + Entry("0badc0de", "x"));
    const struct {
        std::vector<std::string> arguments;
        int exitCode;
    } cases[] = {
        {{"template", kProgram}, kExitClean},
        {{"check", kProgram, clean}, kExitClean},
        {{"update", kProgram, mistaken}, kExitClean},
        {{"check", kProgram, mistaken}, kExitFindings},
        {{"check", kProgram, clean + ".missing"}, kExitUnreadable},
        {{"check", clean, clean}, kExitUnreadable},  // not a module
        {{"template", kProgram, kProgram}, kExitUnreadable},
        {{"template"}, kExitUnreadable},
        {{"--codepage", "x", "template", kProgram}, kExitUnreadable},
        {{"--codepage", "1252", "check", kProgram, clean}, kExitUnreadable},  // its header says 936
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.arguments[0] + " " + c.arguments.back());
        const LngRun run = Lng(c.arguments);
        EXPECT_EQ(c.exitCode, run.exitCode) << run.err;
        if (c.exitCode == kExitUnreadable) {
            EXPECT_FALSE(run.err.empty());
        }
    }
}

TEST(LngTool, EscapedTextsSurviveTheProgramsUnescaping) {
    std::string bytes;
    for (int c = 1; c < 256; ++c) bytes += static_cast<char>(c);
    std::string escaped = EscapeCatalogText(bytes);
    EXPECT_EQ(std::string::npos, escaped.find_first_of("\r\n"));
    escaped.push_back('\0');
    escaped.resize(static_cast<std::size_t>(UnescapeCatalogText(&escaped[0], static_cast<int>(escaped.size() - 1))));
    EXPECT_EQ(bytes, escaped);
}

}  // namespace
