// Runs under Wine after lng-round-trip wrote the templates: their keys must
// be exactly those of the texts Windows itself loads from the modules, and
// the program must show the translations of a translated template.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <map>
#include <vector>
#include <string>

#include "localization/catalog.h"
#include "localization/dialog_text.h"
#include "localization/messages.h"
#include "support/catalog_text.h"
#include "support/dialog_driver.h"
#include "support/process.h"
#include "support/scratch_folder.h"

namespace {

// Every text the program would look up, by key.
using Texts = std::map<std::string, std::string>;

std::string BuildFile(const std::string& relative) {
    return TestProgramFolder() + "..\\..\\" + relative;
}

std::string RoundTripFile(const std::string& name) {
    return TestProgramFolder() + "round_trip\\" + name;
}

void Add(Texts& texts, int kind, const char* context, const std::string& text) {
    texts[CatalogKey(kind, context, text.c_str())] = text;
}

struct ResourceNames {
    std::vector<std::string> named;
    std::vector<unsigned> numbered;
};

BOOL CALLBACK AddName(HMODULE, LPCSTR, LPSTR name, LONG_PTR names) {
    auto* found = reinterpret_cast<ResourceNames*>(names);
    if (IS_INTRESOURCE(name)) {
        found->numbered.push_back(LOWORD(name));
    } else {
        found->named.push_back(name);
    }
    return TRUE;
}

ResourceNames NamesOf(HMODULE module, LPCSTR type) {
    ResourceNames names;
    EnumResourceNamesA(module, type, AddName, reinterpret_cast<LONG_PTR>(&names));
    return names;
}

INT_PTR CALLBACK PlainDialog(HWND, UINT, WPARAM, LPARAM) {
    return FALSE;
}

void AddMessages(Texts& texts, HMODULE module) {
    for (unsigned block : NamesOf(module, RT_STRING).numbered) {
        for (unsigned id = (block - 1) * 16; id < block * 16; ++id) {
            char text[kMessageSize];
            if (LoadStringA(module, id, text, sizeof(text)) > 0) Add(texts, kMessageText, nullptr, text);
        }
    }
}

// An icon or a bitmap named by number in the template has that number as
// its text, which is nothing to translate: templates leave it out.
bool ShowsPicture(HWND control) {
    const LONG type = GetWindowLongA(control, GWL_STYLE) & SS_TYPEMASK;
    return lstrcmpiA(ClassName(control).c_str(), "Static") == 0 && (type == SS_ICON || type == SS_BITMAP);
}

// A caption or control text as the dialog code reads it; empty when it
// leaves the text alone.
std::string DialogText(HWND window) {
    char text[kDialogTextSize];
    return IsTranslatedDialogText(GetWindowTextA(window, text, sizeof(text))) ? text : "";
}

// Each dialog as the program creates it: its caption and control texts, and
// the scale, keyed by the empty text.
void AddDialogs(Texts& texts, HMODULE module) {
    for (const std::string& name : NamesOf(module, RT_DIALOG).named) {
        if (name == kRightToLeft) continue;
        HWND dialog = CreateDialogParamA(module, name.c_str(), nullptr, PlainDialog, 0);
        ASSERT_NE(nullptr, dialog) << name;
        for (HWND window : ChildWindows(dialog)) {
            std::string text = DialogText(window);
            if (!text.empty() && !ShowsPicture(window)) Add(texts, kDialogText, name.c_str(), text);
        }
        if (!DialogText(dialog).empty()) Add(texts, kDialogText, name.c_str(), DialogText(dialog));
        Add(texts, kDialogText, name.c_str(), "");
        DestroyWindow(dialog);
    }
}

// A module of the build mapped as data, as a language library is; null for none.
HMODULE MapModule(const char* relative) {
    if (!relative) return nullptr;
    HMODULE module = LoadLibraryExA(BuildFile(relative).c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
    EXPECT_NE(nullptr, module) << relative;
    return module;
}

Texts TextsWindowsLoads(const char* program, const char* library) {
    Texts texts;
    HMODULE programModule = MapModule(program);
    HMODULE libraryModule = MapModule(library);
    if (programModule) AddMessages(texts, programModule);
    AddDialogs(texts, libraryModule ? libraryModule : programModule);
    Add(texts, kDialogText, kDirectionQuery, kDirectionQuery);
    if (programModule) FreeLibrary(programModule);
    if (libraryModule) FreeLibrary(libraryModule);
    return texts;
}

// The keys of a template's entries, each with the entry's value.
Texts TemplateEntries(const std::string& path) {
    std::ifstream file(path.c_str(), std::ios::binary);
    EXPECT_TRUE(file.good()) << path;
    Texts entries;
    std::string line;
    while (std::getline(file, line)) {
        if (line.size() > kCatalogKeySize + 2 && line.compare(kCatalogKeySize, 2, "=\"") == 0) {
            entries[line.substr(0, kCatalogKeySize)] = line.substr(kCatalogKeySize);
        }
    }
    return entries;
}

TEST(LngRoundTrip, TemplatesHoldTheKeysOfWhatWindowsLoads) {
    if (GetACP() != 936) GTEST_SKIP() << "code page is " << GetACP() << ", not 936 (locale missing?)";
    // The settings dialog's explanation is a rich edit control.
    LoadLibraryA("riched32.dll");
    const struct {
        const char* templateName;
        const char* program;
        const char* library;
    } cases[] = {
        {"program.lng", "Uninstall.exe", nullptr},
        {"test_program.lng", "tests\\tools\\lng_test.exe", nullptr},
        {"test_library.lng", nullptr, "tests\\tools\\lng_test.dll"},
        {"test_both.lng", "tests\\tools\\lng_test.exe", "tests\\tools\\lng_test.dll"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.templateName);
        const Texts loaded = TextsWindowsLoads(c.program, c.library);
        const Texts entries = TemplateEntries(RoundTripFile(c.templateName));
        for (const auto& text : loaded) {
            EXPECT_EQ(1u, entries.count(text.first)) << "no entry for \"" << text.second << "\"";
        }
        for (const auto& entry : entries) {
            EXPECT_EQ(1u, loaded.count(entry.first)) << "entry for no text: " << entry.first << entry.second;
        }
    }
}

TEST(LngRoundTrip, ProgramShowsTheTranslatedTemplate) {
    if (GetACP() != 936) GTEST_SKIP() << "code page is " << GetACP() << ", not 936 (locale missing?)";
    ScratchFolder folder("kelvon_lng_round_trip");
    const std::string program = folder.PathOf("Uninstall.exe");
    ASSERT_TRUE(CopyFileA(BuildFile("Uninstall.exe").c_str(), program.c_str(), FALSE));
    ASSERT_TRUE(CopyFileA(RoundTripFile("uninstall.lng").c_str(), folder.PathOf("uninstall.lng").c_str(), FALSE));
    const MessageBoxSeen seen = RunToMessageBox(program, "/warning");
    // The untranslated line stays the program's own.
    std::string deleteManually = FromUtf8("你应该手动删除 %s", 936);
    deleteManually.replace(deleteManually.find("%s"), 2, program);
    const char* caption = std::getenv("KELVON_TRANSLATED_CAPTION");
    const char* completed = std::getenv("KELVON_TRANSLATED_COMPLETED");
    ASSERT_TRUE(caption && completed) << "run by lng-round-trip, which translates the template";
    EXPECT_EQ(caption, seen.caption);
    EXPECT_EQ(std::string(completed) + "\n" + deleteManually, seen.text);
}

}  // namespace
