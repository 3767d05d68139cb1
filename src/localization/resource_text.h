#pragma once

#include <cstddef>
#include <cstdint>

// The texts of a module's string table and dialog templates as they are
// stored: UTF-16LE, read from the resource bytes without a Windows call, so
// that the program and the translators' tool key them the same way. Every
// read is bounded by the resource's size; a damaged resource reads as one
// that ends early.

// A text in place in the resource: `units` UTF-16LE units from `bytes`,
// which need not be aligned. A resource that names a number instead of a
// text, or has none, gives no bytes and no units.
struct ResourceText {
    const uint8_t* bytes = nullptr;
    std::size_t units = 0;
};

// Little-endian reads that fail, and keep failing, at the end of the bytes.
class ResourceCursor {
public:
    ResourceCursor(const uint8_t* bytes, std::size_t size) : bytes_(bytes), size_(size) {}

    bool Ok() const { return ok_; }
    std::size_t At() const { return at_; }
    void Seek(std::size_t offset);
    void Skip(std::size_t count);
    // Items of a dialog template start on 4-byte boundaries of the template.
    void AlignTo4() { Skip((4 - at_ % 4) % 4); }
    uint16_t U16();
    uint32_t U32();
    // A zero-terminated text; the cursor moves past its terminator.
    ResourceText Text();
    // A text of `units` units, as names and string table entries are stored.
    ResourceText Counted(std::size_t units);
    // A text, or a number that stands for a resource or a class (no text).
    ResourceText TextOrNumber();

private:
    bool Need(std::size_t offset, std::size_t count);

    const uint8_t* bytes_;
    std::size_t size_;
    std::size_t at_ = 0;
    bool ok_ = true;
};

// A string table block holds 16 texts; message `id` is text id % 16 of
// block id / 16 + 1.
constexpr unsigned kStringsPerBlock = 16;
constexpr unsigned StringBlockOf(unsigned id) { return id / kStringsPerBlock + 1; }

// Text `index` (0-15) of a string table block; false when the block ends
// before it.
bool StringInBlock(const uint8_t* block, std::size_t size, unsigned index, ResourceText& text);

// A control of a dialog template.
struct TemplateItem {
    uint32_t id = 0;  // 16 bits in a DIALOG template, 32 in a DIALOGEX one
    uint32_t style = 0;
    int16_t width = 0;  // in dialog units
    uint16_t classAtom = 0;  // 0x80 button ... 0x85 combo box; 0 for a class by name
    ResourceText className;
    ResourceText text;
};

// A DIALOG or DIALOGEX template, read item by item.
class DialogTemplateReader {
public:
    DialogTemplateReader(const uint8_t* bytes, std::size_t size);

    // False when the header is cut short.
    bool Ok() const { return cursor_.Ok(); }
    const ResourceText& Caption() const { return caption_; }
    unsigned Count() const { return count_; }
    // The next control; false after the last one or when it is cut.
    bool NextControl(TemplateItem& item);

private:
    uint16_t ClassAtomAt(std::size_t offset) const;

    ResourceCursor cursor_;
    bool extended_ = false;
    unsigned count_ = 0;
    unsigned read_ = 0;
    ResourceText caption_;
};
