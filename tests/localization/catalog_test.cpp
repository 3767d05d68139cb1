#include "localization/catalog.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <climits>
#include <cstring>
#include <string>
#include <vector>

#include "support/catalog_text.h"

namespace {

constexpr unsigned char kSentinel = 0xbd;
const std::string kMarkerLine = kCatalogMarkerLine;

void LoadText(LanguageCatalog& catalog, const std::string& section) {
    ASSERT_TRUE(catalog.LoadSection(section.data(), section.size()));
}

// Translates into a buffer of `capacity` bytes inside a larger one filled
// with the sentinel, and checks that nothing was written past it.
std::string TranslateInto(const LanguageCatalog& catalog, const char* text, std::size_t capacity, int kind,
                          const char* context) {
    std::vector<char> out(capacity + 16, static_cast<char>(kSentinel));
    catalog.Translate(text, out.data(), capacity, kind, context);
    for (std::size_t i = capacity; i < out.size(); ++i) {
        EXPECT_EQ(kSentinel, static_cast<unsigned char>(out[i])) << "written past " << capacity << " bytes";
    }
    if (capacity == 0) return std::string();
    EXPECT_NE(out.begin() + capacity, std::find(out.begin(), out.begin() + capacity, '\0')) << "unterminated";
    return out.data();
}

TEST(CatalogText, UnescapesAndTurnsLineEndsIntoFormFeeds) {
    const struct {
        std::string raw;
        std::string text;
    } cases[] = {
        {"a\\\"b\\\\c", "a\"b\\c"},
        {"\\n\\r\\t", "\n\r\t"},
        {"x\r\ny\nz\r", "x\f\fy\fz\f"},
        {"\\q\\", "\\q\\"},             // unknown escape and a final backslash stay
        {"\\\\n", "\\n"},               // an escaped backslash does not escape the n
        {"a\fb", "a\fb"},
        {std::string("ab\0cd", 5), "ab"},  // a zero byte ends the section
        {std::string("a\\\0n", 4), "a\\"},
        {"\xd5\\n\xe2", "\xd5\n\xe2"},  // byte by byte, whatever the code page
        {"", ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.raw);
        std::vector<char> buffer(c.raw.begin(), c.raw.end());
        buffer.push_back(static_cast<char>(kSentinel));
        int length = UnescapeCatalogText(buffer.data(), static_cast<int>(c.raw.size()));
        EXPECT_EQ(c.text, std::string(buffer.data(), static_cast<std::size_t>(length)));
        EXPECT_EQ('\0', buffer[static_cast<std::size_t>(length)]);
    }
    // The count limits the escape too: a backslash that is the last counted byte stays.
    char cut[] = "a\\n";
    EXPECT_EQ(2, UnescapeCatalogText(cut, 2));
    EXPECT_STREQ("a\\", cut);
}

TEST(CatalogText, MarkerInBlock) {
    const std::string marker = "***messages**";
    const struct {
        std::string block;
        int at;
    } cases[] = {
        {marker + "***", 0},
        {"header\r\n" + marker + "*\r\nmore", 8},
        {std::string(10, 'x') + marker + marker, 10},              // the first place wins
        {std::string(20, 'x') + marker + "xxx", 20},                // last place a marker may start
        {std::string(21, 'x') + marker + "xx", -1},                 // within the last 15 bytes
        {"**messages***" + std::string(10, 'x'), -1},
        {"***messages*" + std::string(10, 'x'), -1},
        {std::string("***mess\0ges**xxxxxxx", 20), -1},
        {marker, -1},                                               // shorter than the window
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.block);
        EXPECT_EQ(c.at, FindCatalogMarker(reinterpret_cast<const unsigned char*>(c.block.data()),
                                          static_cast<int>(c.block.size())));
    }
}

TEST(Catalog, TranslatesEntries) {
    std::string tail(300, 'w');
    std::string section = kMarkerLine + MessageEntry("abc", "x\"y\"z") + MessageEntry("abd", "x\\\"y\\\"z") +
                          MessageEntry("open", "Op\\nen") + CatalogKey(kMessageText, nullptr, "comment") + "=\"v\" and a note\r\n" +
                          CatalogEntry(kDialogText, "SETUPDLG", "OK", "Fine") +
                          MessageEntry("quoted", "a \\\"b\\\" c") +
                          CatalogKey(kMessageText, nullptr, "cut") + "=\"first\nsecond\"\n" +
                          CatalogKey(kMessageText, nullptr, "upper").substr(0, 4) + "ABCD=\"no\"\n" +
                          MessageEntry("empty", "") + "\n\n\r\n" + CatalogKey(kMessageText, nullptr, "last") + "=\"" + tail;
    // The uppercase twin of a real key must not match.
    std::string upperKey = CatalogKey(kMessageText, nullptr, "upper");
    for (char& ch : upperKey) ch = static_cast<char>(std::toupper(static_cast<unsigned char>(ch)));
    section.insert(kMarkerLine.size(), upperKey + "=\"UPPER\"\n");
    LanguageCatalog catalog;
    LoadText(catalog, section);
    const struct {
        int kind;
        const char* context;
        const char* text;
        std::string expected;
    } cases[] = {
        {kMessageText, nullptr, "abc", "x\"y\"z"},
        {kMessageText, nullptr, "abd", "x\"y\"z"},
        {kMessageText, nullptr, "open", "Op\nen"},
        {kMessageText, nullptr, "comment", "v"},
        {kDialogText, "SETUPDLG", "OK", "Fine"},
        {kMessageText, nullptr, "OK", "OK"},  // another kind, another key
        {kDialogText, "DONEDLG", "OK", "OK"},  // another context
        {kMessageText, nullptr, "quoted", "a \"b\" c"},
        {kMessageText, nullptr, "cut", "first\f"},  // a raw line break ends the entry
        {kMessageText, nullptr, "upper", "upper"},
        {kMessageText, nullptr, "empty", ""},
        {kMessageText, nullptr, "last", std::string(255, 'w')},
        {kMessageText, nullptr, "missing", "missing"},
        {kMessageText, nullptr, "", ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text);
        EXPECT_EQ(c.expected, TranslateInto(catalog, c.text, 1024, c.kind, c.context));
    }
}

TEST(Catalog, ValueWithoutClosingQuoteKeepsItsFormFeed) {
    const struct {
        std::string section;
        std::string expected;
    } cases[] = {
        {kMarkerLine + CatalogKey(kMessageText, nullptr, "abc") + "=\"open\r\nnext line\r\n", "open\f"},
        {kMarkerLine + CatalogKey(kMessageText, nullptr, "abc") + "=\"open", "open"},
        {kMarkerLine + CatalogKey(kMessageText, nullptr, "abc") + "=\"" + std::string(300, 'v') + "\"", std::string(255, 'v')},
        {kMarkerLine + CatalogKey(kMessageText, nullptr, "abc") + "=\"" + std::string(250, 'v') + "\"!", std::string(250, 'v')},
    };
    for (const auto& c : cases) {
        LanguageCatalog catalog;
        LoadText(catalog, c.section);
        EXPECT_EQ(c.expected, TranslateInto(catalog, "abc", 1024, kMessageText, nullptr));
    }
}

// Lines that hold the key and little else: whatever the file holds, the
// value is never read from beyond the text.
TEST(Catalog, ShortLinesAtTheEndGiveEmptyValues) {
    const std::string key = CatalogKey(kMessageText, nullptr, "abc");
    const struct {
        std::string tail;
        std::string expected;
    } cases[] = {
        {key + "=", ""}, {key + "x", ""}, {key + "=\"", ""}, {key, "abc"}, {key.substr(0, 7), "abc"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.tail);
        LanguageCatalog catalog;
        LoadText(catalog, kMarkerLine + c.tail);
        EXPECT_EQ(c.expected, TranslateInto(catalog, "abc", 512, kMessageText, nullptr));
    }
}

TEST(Catalog, SortedAndLinearLookups) {
    const std::string abc = CatalogKey(kMessageText, nullptr, "abc");
    LanguageCatalog catalog;
    // The first line is never indexed; a line without "=" and the quote only is.
    LoadText(catalog, MessageEntry("first", "First") + "\n" + abc + ":\"colon\"\n" + MessageEntry("abc", "A1") +
                          MessageEntry("abc", "A2") + MessageEntry("dup", "D1") + MessageEntry("dup", "D2"));
    const std::string first = CatalogKey(kMessageText, nullptr, "first");
    EXPECT_EQ(nullptr, catalog.FindSorted(first.c_str()));
    ASSERT_NE(nullptr, catalog.FindLinear(first.c_str()));
    EXPECT_EQ(catalog.text, catalog.FindLinear(first.c_str()));
    EXPECT_EQ("First", TranslateInto(catalog, "first", 512, kMessageText, nullptr));

    const char* linear = catalog.FindLinear(abc.c_str());
    ASSERT_NE(nullptr, linear);
    EXPECT_EQ(0, std::strncmp(linear, (abc + "=\"A1\"").c_str(), abc.size() + 5));
    ASSERT_NE(nullptr, catalog.FindSorted(abc.c_str()));

    const std::string dup = CatalogKey(kMessageText, nullptr, "dup");
    std::string found = TranslateInto(catalog, "dup", 512, kMessageText, nullptr);
    EXPECT_TRUE(found == "D1" || found == "D2") << found;
    EXPECT_EQ(nullptr, catalog.FindSorted("00000000"));
    EXPECT_EQ(nullptr, catalog.FindLinear("00000000"));
    EXPECT_EQ(nullptr, catalog.FindSorted("ffffffff"));
}

TEST(Catalog, EveryEntryOfALargeCatalogIsFound) {
    std::string section = kMarkerLine;
    std::vector<std::string> texts;
    for (int i = 0; i < 3000; ++i) {
        texts.push_back("text " + std::to_string(i));
        section += MessageEntry(texts.back().c_str(), "value " + std::to_string(i));
    }
    LanguageCatalog catalog;
    LoadText(catalog, section);
    ASSERT_EQ(3000, catalog.index.count);
    for (int i = 1; i < catalog.index.count; ++i) {
        ASSERT_LE(std::strncmp(catalog.text + catalog.index.offsets[i - 1], catalog.text + catalog.index.offsets[i], 8),
                  0);
    }
    for (int i = 0; i < 3000; ++i) {
        ASSERT_NE(nullptr, catalog.FindSorted(CatalogKey(kMessageText, nullptr, texts[i].c_str()).c_str())) << i;
        ASSERT_EQ("value " + std::to_string(i), TranslateInto(catalog, texts[i].c_str(), 512, kMessageText, nullptr));
    }
}

TEST(Catalog, IndexSkipsTheFirstLineEmptyLinesAndTheLastEightBytes) {
    const struct {
        std::string section;
        std::vector<std::string> lines;  // the indexed lines, in sorted order
    } cases[] = {
        {"marker\n\n\r\nbbbbbbbbb\naaaaaaaaa", {"aaaaaaaaa", "bbbbbbbbb\f"}},
        {"marker\n12345678", {}},
        {"marker\n123456789", {"123456789"}},
        {"123456789", {}},
        {"", {}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.section);
        LanguageCatalog catalog;
        LoadText(catalog, c.section);
        std::vector<std::string> lines;
        for (int i = 0; i < catalog.index.count; ++i) {
            const char* line = catalog.text + catalog.index.offsets[i];
            lines.push_back(std::string(line, std::strcspn(line, "\f") + (std::strchr(line, '\f') ? 1 : 0)));
        }
        EXPECT_EQ(c.lines, lines);
    }
}

TEST(Catalog, IndexGrowsByAQuarterPlus32) {
    LineIndex index;
    std::vector<int32_t> capacities;
    for (uint32_t i = 0; i < 400; ++i) {
        index.Append(i);
        if (capacities.empty() || capacities.back() != index.capacity) capacities.push_back(index.capacity);
        ASSERT_EQ(static_cast<int32_t>(i + 1), index.count);
    }
    EXPECT_EQ((std::vector<int32_t>{32, 72, 122, 184, 262, 359, 480}), capacities);
    for (uint32_t i = 0; i < 400; ++i) ASSERT_EQ(i, index.offsets[i]);
    index.Release();
    EXPECT_EQ(0, index.count);
    EXPECT_EQ(0, index.capacity);
}

TEST(Catalog, SectionLimitsAndFailedReads) {
    // An entry that starts beyond the section's size is not part of it.
    std::string section = kMarkerLine;
    section += std::string(kCatalogSectionSize - section.size() - 5, '\n');
    section += MessageEntry("beyond", "far");
    LanguageCatalog catalog;
    LoadText(catalog, section);
    EXPECT_EQ(kCatalogSectionSize, catalog.length);
    EXPECT_EQ("beyond", TranslateInto(catalog, "beyond", 512, kMessageText, nullptr));

    // A failed read leaves a catalog that is loaded but empty.
    LanguageCatalog failed;
    char* block = AllocateCatalogSection();
    ASSERT_NE(nullptr, block);
    failed.AdoptSection(block, -1);
    EXPECT_TRUE(failed.IsLoaded());
    EXPECT_EQ(0, failed.length);
    EXPECT_EQ("abc", TranslateInto(failed, "abc", 512, kMessageText, nullptr));
}

TEST(Catalog, OutputIsCutToTheCapacity) {
    LanguageCatalog catalog;
    LoadText(catalog, kMarkerLine + MessageEntry("abc", "translated"));
    LanguageCatalog empty;
    for (std::size_t capacity = 0; capacity <= 12; ++capacity) {
        SCOPED_TRACE(capacity);
        std::string cut = capacity ? std::string("translated").substr(0, capacity - 1) : "";
        EXPECT_EQ(cut, TranslateInto(catalog, "abc", capacity, kMessageText, nullptr));
        std::string original = capacity ? std::string("original").substr(0, capacity - 1) : "";
        EXPECT_EQ(original, TranslateInto(catalog, "original", capacity, kMessageText, nullptr));
        EXPECT_EQ(original, TranslateInto(empty, "original", capacity, kMessageText, nullptr));
    }
    // In place, as message strings are translated.
    char buffer[16] = "abc";
    catalog.Translate(buffer, buffer, sizeof(buffer), kMessageText, nullptr);
    EXPECT_STREQ("translated", buffer);
    char small[4] = "abc";
    catalog.Translate(small, small, sizeof(small), kMessageText, nullptr);
    EXPECT_STREQ("tra", small);
}

// A cut never separates a lead byte from its trail byte, in a translation or
// in a text the catalog leaves as it is.
TEST(Catalog, CutEndsAtACharacterBoundary) {
    LeadByteTableData gbk = {};
    for (int lead = 0x81; lead <= 0xFE; ++lead) gbk.LeadByte[lead] = 1;
    gbk.MultiByte = 1;
    LanguageCatalog catalog;
    catalog.leadBytes = &gbk;
    const std::string chinese = "a\xD6\xD0\xCE\xC4";  // a, then two double-byte characters
    LoadText(catalog, kMarkerLine + MessageEntry("abc", chinese));
    const struct {
        std::size_t capacity;
        std::string expected;
    } cases[] = {{2, "a"}, {3, "a"}, {4, "a\xD6\xD0"}, {5, "a\xD6\xD0"}, {6, chinese}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.capacity);
        EXPECT_EQ(c.expected, TranslateInto(catalog, "abc", c.capacity, kMessageText, nullptr));
        EXPECT_EQ(c.expected, TranslateInto(catalog, chinese.c_str(), c.capacity, kMessageText, nullptr));
    }
}

TEST(Catalog, DialogScale) {
    const struct {
        const char* value;  // null: no entry
        int width;
        int height;
        bool scaled;
    } cases[] = {
        {"120*110", 120, 110, true},
        {"100*100", 100, 100, false},
        {"120", 100, 100, false},
        {"abc*x", 0, 0, true},
        {" +90* -5", 90, -5, true},
        {"100*100*50", 100, 100, false},
        {"99999999999*100", INT_MAX, 100, true},
        {nullptr, 100, 100, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.value ? c.value : "(none)");
        LanguageCatalog catalog;
        LoadText(catalog, kMarkerLine + (c.value ? CatalogEntry(kDialogText, "SETUPDLG", "", c.value) : std::string()));
        int width = -1;
        int height = -1;
        EXPECT_EQ(c.scaled, catalog.GetDialogScale("SETUPDLG", width, height));
        EXPECT_EQ(c.width, width);
        EXPECT_EQ(c.height, height);
        EXPECT_FALSE(catalog.GetDialogScale("DONEDLG", width, height));
    }
}

TEST(Catalog, CodePageLineBeforeTheMarker) {
    const struct {
        std::string head;
        unsigned codePage;
    } cases[] = {
        {"codepage=1252\r\n", 1252},
        {"; a note\ncodepage=65001\n", 65001},
        {"codepage=1251", 1251},
        {"", 0},
        {"; in code page 1252\r\n", 0},
        {" codepage=1252\r\n", 0},
        {"codepage=12x52\r\n", 0},
        {"codepage=\r\n", 0},
        {"codepage=123456\r\n", 0},
        {"codepage=0\r\n", 0},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(c.codePage, ReadCatalogCodePage(c.head.data(), c.head.size())) << c.head;
    }
}

// A catalog keyed over UTF-16 finds a text by its source, whatever the
// system's code page made of it: two texts that both read as "??" keep their
// own entries. A catalog of code page 936 keys the text as it reads.
TEST(Catalog, KeysOverTheSourceText) {
    const std::u16string help = u"\u5E2E\u52A9";
    const std::u16string archive = u"\u538B\u7F29";
    std::string bytes[2];
    for (int i = 0; i < 2; ++i) {
        for (char16_t unit : i ? archive : help) bytes[i] += {static_cast<char>(unit & 0xFF), static_cast<char>(unit >> 8)};
    }
    const ResourceText sources[] = {{reinterpret_cast<const uint8_t*>(bytes[0].data()), 2},
                                    {reinterpret_cast<const uint8_t*>(bytes[1].data()), 2}};
    const std::string section = kMarkerLine + CatalogKeyUtf16(kDialogText, "SETUPDLG", help) + "=\"Hilfe\"\r\n" +
                                CatalogKeyUtf16(kDialogText, "SETUPDLG", archive) + "=\"Archiv\"\r\n" +
                                CatalogEntry(kDialogText, "SETUPDLG", "??", "Legacy");
    const struct {
        unsigned codePage;
        const ResourceText* source;
        std::string shown;
    } cases[] = {
        {1252, &sources[0], "Hilfe"}, {1251, &sources[1], "Archiv"}, {65001, nullptr, "??"},
        {936, &sources[0], "Legacy"}, {936, &sources[1], "Legacy"},
    };
    for (const auto& c : cases) {
        LanguageCatalog catalog;
        LoadText(catalog, section);
        catalog.codePage = c.codePage;
        char out[64];
        catalog.TranslateSource("??", c.source ? *c.source : ResourceText(), out, sizeof(out), kDialogText, "SETUPDLG");
        EXPECT_EQ(c.shown, out) << c.codePage;
    }
}

TEST(Catalog, WithoutACatalogTextsStayAsTheyAre) {
    LanguageCatalog catalog;
    EXPECT_FALSE(catalog.IsLoaded());
    EXPECT_EQ("abc", TranslateInto(catalog, "abc", 512, kMessageText, nullptr));
    EXPECT_EQ(nullptr, catalog.FindLinear("92ab48be"));
    int width = 0;
    int height = 0;
    EXPECT_FALSE(catalog.GetDialogScale("SETUPDLG", width, height));
    EXPECT_EQ(100, width);
    EXPECT_EQ(100, height);
}

}  // namespace
