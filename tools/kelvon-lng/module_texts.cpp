#include "module_texts.h"

#include <strings.h>

#include <algorithm>

#include "localization/catalog.h"
#include "localization/dialog_text.h"
#include "localization/messages.h"

namespace {

// Names are short; the limit only bounds the conversion.
constexpr std::size_t kNameSize = 1024;
const char kUnscaled[] = "100*100";
// The identifier of a label, which no code addresses: -1 in a DIALOG
// template's 16 bits or a DIALOGEX template's 32.
constexpr uint32_t kNoControlId = 0xFFFF;
constexpr uint32_t kNoControlIdEx = 0xFFFFFFFF;

// The character after the first single "&": the key that reaches the control.
std::u16string Accelerator(const std::u16string& text) {
    for (std::size_t i = 0; i + 1 < text.size(); ++i) {
        if (text[i] != u'&') continue;
        if (text[i + 1] != u'&') return text.substr(i + 1, 1);
        ++i;
    }
    return u"";
}

std::string ControlNote(const DialogControl& control) {
    std::string note = Utf16ToUtf8(control.kind) + ", " + std::to_string(control.width) + " dialog units wide";
    const std::u16string accelerator = Accelerator(control.text);
    if (!accelerator.empty()) note += ", accelerator &" + Utf16ToUtf8(accelerator);
    return note;
}

// Buttons, check boxes and option buttons show their text on one line; a
// label may wrap.
bool IsOneLine(const DialogControl& control) {
    return control.kind == u"push button" || control.kind == u"check box" || control.kind == u"option button";
}

struct Keying {
    const CodePage& codePage;
    bool overUtf16;
};

std::string Utf16Le(const std::u16string& text) {
    std::string bytes;
    for (char16_t unit : text) {
        bytes += static_cast<char>(unit & 0xFF);
        bytes += static_cast<char>(unit >> 8);
    }
    return bytes;
}

void Add(ModuleTexts& texts, const Keying& keying, int kind, const std::string& context, const std::string& text,
         const std::u16string& source, EntryRole role, std::size_t capacity, const std::string& templateValue,
         const std::string& use, const DialogControl* control = nullptr) {
    const std::string note = control ? ControlNote(*control) : "";
    const char* contextOrNull = context.empty() ? nullptr : context.c_str();
    char key[kCatalogKeySize + 1];
    if (keying.overUtf16) {
        const std::string bytes = Utf16Le(source);
        MakeCatalogKeyUtf16(kind, contextOrNull, {reinterpret_cast<const uint8_t*>(bytes.data()), source.size()}, key);
    } else {
        MakeCatalogKey(kind, contextOrNull, text.c_str(), key);
    }
    const auto known = texts.byKey.emplace(key, texts.texts.size());
    if (!known.second) {
        texts.texts[known.first->second].uses.push_back(use);
        if (!note.empty()) texts.texts[known.first->second].notes.push_back(use + ": " + note);
        return;
    }
    texts.texts.push_back({key, kind, context, text, source, keying.codePage.Shown(source), role, capacity,
                           templateValue, {use}, {}, control && IsOneLine(*control) ? control->width : 0});
    if (!note.empty()) texts.texts.back().notes.push_back(use + ": " + note);
}

// A dialog text as the dialog code reads it; empty when it is left alone.
std::string DialogText(const std::u16string& text, const CodePage& codePage) {
    std::string read = codePage.FromUtf16(text, kDialogTextSize - 1);
    return IsTranslatedDialogText(static_cast<int>(read.size())) ? read : std::string();
}

void AddDialog(ModuleTexts& texts, const Keying& keying, const std::string& name, const DialogResource& dialog) {
    const CodePage& codePage = keying.codePage;
    const std::string caption = DialogText(dialog.caption, codePage);
    if (!caption.empty()) {
        Add(texts, keying, kDialogText, name, caption, dialog.caption, EntryRole::Text, kDialogTextSize, caption,
            name + " caption");
    }
    int visited = 0;
    for (const DialogControl& control : dialog.controls) {
        if (++visited > kMaxChildWindows) {
            texts.notes.push_back(name + ": controls beyond the first " + std::to_string(kMaxChildWindows) +
                                  " are never translated");
            break;
        }
        const std::string text = DialogText(control.text, codePage);
        if (text.empty()) continue;
        // Labels share the identifier of no control: their place tells them apart.
        const std::string use = control.id == kNoControlId || control.id == kNoControlIdEx ? name + " static " + std::to_string(visited)
                                                           : name + " control " + std::to_string(control.id);
        Add(texts, keying, kDialogText, name, text, control.text, EntryRole::Text, kDialogTextSize, text, use,
            &control);
    }
    Add(texts, keying, kDialogText, name, "", u"", EntryRole::Scale, kScaleTextSize, kUnscaled, name + " size");
}

}  // namespace

std::string KeyedText::UseList() const {
    std::string list;
    for (const std::string& use : uses) list += (list.empty() ? "" : ", ") + use;
    return list;
}

bool KeyedText::IsUntranslated(const std::string& translation) const {
    return translation == text && std::any_of(source.begin(), source.end(), [](char16_t unit) { return unit >= 0x80; });
}

bool KeysOverUtf16(unsigned codePage) {
    return codePage != kLegacyKeysCodePage;
}

const KeyedText* ModuleTexts::Find(const std::string& key) const {
    const auto found = byKey.find(key);
    return found == byKey.end() ? nullptr : &texts[found->second];
}

ModuleTexts CollectModuleTexts(const ModuleResources* program, const ModuleResources* library,
                               const CodePage& codePage, bool legacyKeys) {
    ModuleTexts texts;
    const Keying keying{codePage, !legacyKeys && KeysOverUtf16(codePage.Number())};
    if (program) {
        for (const StringResource& message : program->strings) {
            const std::string text = codePage.FromUtf16(message.text, kMessageSize - 1);
            Add(texts, keying, kMessageText, "", text, message.text, EntryRole::Text, kMessageSize, text,
                "message " + std::to_string(message.id));
        }
    } else {
        texts.notes.push_back(
            "no program named: messages are keyed by the program's own string table, so they are left out");
    }
    const ModuleResources* dialogs = library ? library : program;
    for (const DialogResource& dialog : dialogs ? dialogs->dialogs : std::vector<DialogResource>()) {
        const std::string name = codePage.FromUtf16(dialog.name, kNameSize);
        if (name.empty()) {
            texts.notes.push_back("dialog " + std::to_string(dialog.number) +
                                  " has a number, not a name: the program opens none such");
        } else if (strcasecmp(name.c_str(), kRightToLeft) == 0) {
            texts.rightToLeft = true;  // never shown; only its presence counts
        } else {
            AddDialog(texts, keying, name, dialog);
        }
    }
    Add(texts, keying, kDialogText, kDirectionQuery, kDirectionQuery, u"LTR", EntryRole::Direction,
        kDirectionTextSize, texts.rightToLeft ? kRightToLeft : kDirectionQuery, "reading direction");
    return texts;
}
