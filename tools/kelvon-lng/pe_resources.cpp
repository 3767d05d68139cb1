#include "pe_resources.h"

#include <algorithm>
#include <iterator>
#include <set>

#include "localization/dialog_text.h"
#include "localization/resource_text.h"

namespace {

constexpr uint16_t kDosSignature = 0x5A4D;     // "MZ"
constexpr std::size_t kDosHeaderSize = 0x40;
constexpr std::size_t kPeOffsetField = 0x3C;
constexpr uint32_t kPeSignature = 0x00004550;  // "PE\0\0"
constexpr std::size_t kSectionHeaderSize = 40;
constexpr uint16_t kFileIsLibrary = 0x2000;    // IMAGE_FILE_DLL
constexpr uint16_t kOptionalHeader32 = 0x10B;
constexpr uint16_t kOptionalHeader64 = 0x20B;
// Where the count of data directories and the directories start, by format.
constexpr std::size_t kDirectoryCount32 = 92;
constexpr std::size_t kDirectoryCount64 = 108;
constexpr uint32_t kResourceDirectory = 2;
constexpr std::size_t kDataDirectorySize = 8;

constexpr uint32_t kDialogType = 5;
constexpr uint32_t kStringType = 6;
// In a resource directory entry: the name is a string, the target a subdirectory.
constexpr uint32_t kHighBit = 0x80000000u;
constexpr std::size_t kDirectoryHeaderSize = 16;
constexpr std::size_t kDirectoryEntrySize = 8;
constexpr uint32_t kStringBlocks = 4096;  // 16-bit message numbers
const std::string kTooMuchText =
    "more than " + std::to_string(kModuleTextUnits * 2) + " bytes of text: no program has so much";

using Cursor = ResourceCursor;

// UTF-16 units of a text in place.
std::u16string Units(const ResourceText& text) {
    std::u16string units(text.units, u'\0');
    for (std::size_t i = 0; i < text.units; ++i) {
        units[i] = static_cast<char16_t>(text.bytes[2 * i] | text.bytes[2 * i + 1] << 8);
    }
    return units;
}

// The texts taken from one module, all told: string tables and templates
// may point any number of times into the same bytes, so only a total bounds
// what they make the tool copy.
class TextBudget {
public:
    bool Take(const ResourceText& text, std::u16string& units) {
        if (text.units > left_) {
            exhausted_ = true;
            return false;
        }
        left_ -= text.units;
        units = Units(text);
        return true;
    }
    bool Exhausted() const { return exhausted_; }

private:
    std::size_t left_ = kModuleTextUnits;
    bool exhausted_ = false;
};

struct Section {
    uint32_t address;
    uint32_t mappedSize;
    uint32_t fileOffset;
};

struct Image {
    const uint8_t* bytes;
    std::size_t size;
    std::vector<Section> sections;
};

// The file offset of the image address `rva` and how many bytes of its
// section follow it in the file.
bool MapAddress(const Image& image, uint32_t rva, std::size_t& offset, std::size_t& available) {
    for (const Section& section : image.sections) {
        if (rva < section.address || rva - section.address >= section.mappedSize) continue;
        offset = static_cast<std::size_t>(section.fileOffset) + (rva - section.address);
        if (offset >= image.size) return false;
        available = std::min<std::size_t>(section.mappedSize - (rva - section.address), image.size - offset);
        return true;
    }
    return false;
}

// Reads the headers; `resources` becomes the image address of the resource
// directory, 0 when the module has none.
bool ReadHeaders(Image& image, bool& isLibrary, uint32_t& resources) {
    Cursor cursor(image.bytes, image.size);
    if (image.size < kDosHeaderSize || cursor.U16() != kDosSignature) return false;
    cursor.Seek(kPeOffsetField);
    cursor.Seek(cursor.U32());
    if (cursor.U32() != kPeSignature) return false;
    cursor.Skip(2);
    uint16_t sectionCount = cursor.U16();
    cursor.Skip(12);
    uint16_t optionalSize = cursor.U16();
    isLibrary = (cursor.U16() & kFileIsLibrary) != 0;
    const std::size_t optional = cursor.At();
    uint16_t magic = cursor.U16();
    if (magic != kOptionalHeader32 && magic != kOptionalHeader64) return false;
    const std::size_t countField = magic == kOptionalHeader32 ? kDirectoryCount32 : kDirectoryCount64;
    resources = 0;
    cursor.Seek(optional + countField);
    uint32_t directories = cursor.U32();
    const std::size_t resourceField = countField + 4 + kResourceDirectory * kDataDirectorySize;
    if (directories > kResourceDirectory && resourceField + kDataDirectorySize <= optionalSize) {
        cursor.Seek(optional + resourceField);
        resources = cursor.U32();
    }
    cursor.Seek(optional + optionalSize);
    for (unsigned i = 0; i < sectionCount && cursor.Ok(); ++i) {
        const std::size_t header = cursor.At();
        cursor.Skip(8);
        uint32_t virtualSize = cursor.U32();
        uint32_t address = cursor.U32();
        uint32_t rawSize = cursor.U32();
        uint32_t rawOffset = cursor.U32();
        // Bytes beyond the virtual size are not part of the loaded image.
        uint32_t mapped = virtualSize ? std::min(virtualSize, rawSize) : rawSize;
        image.sections.push_back({address, mapped, rawOffset});
        cursor.Seek(header + kSectionHeaderSize);
    }
    return cursor.Ok();
}

struct DirectoryEntry {
    uint32_t name;    // an id, or kHighBit and the offset of a counted name
    uint32_t target;  // kHighBit and a subdirectory's offset, or a data entry's offset
};

// The resource directory: offsets in it count from its start.
struct ResourceTree {
    const Image& image;
    const uint8_t* bytes;
    std::size_t size;

    bool Directory(uint32_t target, std::vector<DirectoryEntry>& entries) const {
        if (!(target & kHighBit)) return false;
        Cursor cursor(bytes, size);
        cursor.Seek((target & ~kHighBit) + kDirectoryHeaderSize - 4);
        std::size_t count = std::size_t{cursor.U16()} + cursor.U16();
        if (!cursor.Ok() || count > (size - cursor.At()) / kDirectoryEntrySize) return false;
        entries.clear();
        for (std::size_t i = 0; i < count; ++i) entries.push_back({cursor.U32(), cursor.U32()});
        return cursor.Ok();
    }

    std::u16string Name(uint32_t name, TextBudget& budget, bool& ok) const {
        Cursor cursor(bytes, size);
        cursor.Seek(name & ~kHighBit);
        const ResourceText text = cursor.Counted(cursor.U16());
        std::u16string units;
        ok = ok && cursor.Ok() && budget.Take(text, units);
        return units;
    }

    // The data of a resource whose name directory entry is `target`. A
    // resource in several languages: the first, the lowest language number.
    bool Data(uint32_t target, const uint8_t*& data, std::size_t& dataSize) const {
        if (!(target & kHighBit)) return false;
        Cursor cursor(bytes, size);
        cursor.Seek((target & ~kHighBit) + kDirectoryHeaderSize - 4);
        const std::size_t count = std::size_t{cursor.U16()} + cursor.U16();
        cursor.Skip(4);  // the first language's id
        const uint32_t language = cursor.U32();
        if (!cursor.Ok() || count == 0 || (language & kHighBit)) return false;
        cursor.Seek(language);
        uint32_t address = cursor.U32();
        uint32_t length = cursor.U32();
        std::size_t offset = 0;
        std::size_t available = 0;
        if (!cursor.Ok() || !MapAddress(image, address, offset, available) || length > available) return false;
        data = image.bytes + offset;
        dataSize = length;
        return true;
    }
};

bool ReadStringBlock(unsigned block, const uint8_t* data, std::size_t size, TextBudget& budget,
                     ModuleResources& module) {
    for (unsigned i = 0; i < kStringsPerBlock; ++i) {
        ResourceText text;
        std::u16string units;
        if (!StringInBlock(data, size, i, text) || !budget.Take(text, units)) return false;
        if (!units.empty()) module.strings.push_back({(block - 1) * kStringsPerBlock + i, units});
    }
    return true;
}

// What a translator sees: the kind of a control of a predefined class.
std::u16string ControlKind(const TemplateItem& item, const std::u16string& className) {
    constexpr uint16_t kButton = 0x80;
    constexpr uint32_t kButtonType = 0xF;
    // The predefined classes, by atom from kButton on, also when named.
    static const char16_t* const kClassNames[] = {u"BUTTON", u"EDIT", u"STATIC", u"LISTBOX", u"SCROLLBAR",
                                                  u"COMBOBOX"};
    static const char16_t* const kButtons[] = {u"push button", u"push button", u"check box", u"check box",
                                               u"option button", u"check box", u"check box", u"group box",
                                               u"button", u"option button"};
    static const char16_t* const kClasses[] = {u"button", u"edit box", u"label", u"list box", u"scroll bar",
                                               u"combo box"};
    uint16_t atom = item.classAtom;
    for (std::size_t i = 0; i < std::size(kClassNames); ++i) {
        std::u16string upper = className;
        for (char16_t& c : upper) c = c >= u'a' && c <= u'z' ? static_cast<char16_t>(c - u'a' + u'A') : c;
        if (upper == kClassNames[i]) atom = static_cast<uint16_t>(kButton + i);
    }
    if (atom == kButton && (item.style & kButtonType) < std::size(kButtons)) return kButtons[item.style & kButtonType];
    if (atom >= kButton && atom < kButton + std::size(kClasses)) return kClasses[atom - kButton];
    return className;
}

bool ReadDialog(const uint8_t* bytes, std::size_t size, TextBudget& budget, DialogResource& dialog) {
    DialogTemplateReader reader(bytes, size);
    if (!budget.Take(reader.Caption(), dialog.caption)) return false;
    TemplateItem item;
    // One beyond what the dialog code visits shows that there are more.
    while (dialog.controls.size() <= kMaxChildWindows && reader.NextControl(item)) {
        DialogControl control{item.id, {}, item.width, {}};
        std::u16string className;
        if (!budget.Take(item.className, className) || !budget.Take(item.text, control.text)) return false;
        control.kind = ControlKind(item, className);
        dialog.controls.push_back(std::move(control));
    }
    return reader.Ok();
}

bool ReadResources(const ResourceTree& tree, ModuleResources& module, TextBudget& budget, std::string& error) {
    std::vector<DirectoryEntry> types;
    std::vector<DirectoryEntry> names;
    if (!tree.Directory(kHighBit, types)) {
        error = "damaged resource directory";
        return false;
    }
    // The loader takes the first of repeated entries; walking every
    // repetition would let a few kilobytes of directory ask for gigabytes.
    std::set<uint32_t> typesSeen;
    for (const DirectoryEntry& type : types) {
        if (type.name != kDialogType && type.name != kStringType) continue;
        if (!typesSeen.insert(type.name).second) continue;
        if (!tree.Directory(type.target, names)) {
            error = "damaged resource directory";
            return false;
        }
        std::set<uint32_t> namesSeen;
        std::set<const uint8_t*> dataSeen;
        for (const DirectoryEntry& name : names) {
            if (!namesSeen.insert(name.name).second) continue;
            const uint8_t* data = nullptr;
            std::size_t size = 0;
            bool ok = tree.Data(name.target, data, size);
            if (ok && !dataSeen.insert(data).second) continue;
            if (type.name == kStringType) {
                ok = ok && name.name > 0 && name.name <= kStringBlocks &&
                     ReadStringBlock(name.name, data, size, budget, module);
                if (!ok) {
                    error = budget.Exhausted() ? kTooMuchText : "damaged string table";
                    return false;
                }
                continue;
            }
            DialogResource dialog;
            if (name.name & kHighBit) {
                dialog.name = tree.Name(name.name, budget, ok);
            } else {
                dialog.number = name.name;
            }
            if (!ok || !ReadDialog(data, size, budget, dialog)) {
                error = budget.Exhausted() ? kTooMuchText : "damaged dialog template";
                return false;
            }
            module.dialogs.push_back(std::move(dialog));
        }
    }
    std::stable_sort(module.strings.begin(), module.strings.end(),
                     [](const StringResource& a, const StringResource& b) { return a.id < b.id; });
    return true;
}

}  // namespace

bool ReadModuleResources(const uint8_t* bytes, std::size_t size, ModuleResources& module, std::string& error) {
    module = ModuleResources();
    Image image{bytes, size, {}};
    uint32_t resources = 0;
    if (!ReadHeaders(image, module.isLibrary, resources)) {
        error = "not a Windows module (PE)";
        return false;
    }
    if (resources == 0) return true;
    std::size_t offset = 0;
    std::size_t available = 0;
    if (!MapAddress(image, resources, offset, available)) {
        error = "damaged resource directory";
        return false;
    }
    TextBudget budget;
    return ReadResources(ResourceTree{image, bytes + offset, available}, module, budget, error);
}
