#include "localization/resource_text.h"

namespace {

constexpr uint16_t kExtendedSignature = 0xFFFF;  // a DIALOGEX template
constexpr uint16_t kNumberFollows = 0xFFFF;      // a number instead of a text
constexpr uint32_t kTemplateHasFont = 0x40;      // DS_SETFONT
// This point size means the message box font: no more font fields follow.
constexpr uint16_t kMessageBoxFont = 0x7FFF;

}  // namespace

bool ResourceCursor::Need(std::size_t offset, std::size_t count) {
    ok_ = ok_ && offset <= size_ && count <= size_ - offset;
    return ok_;
}

void ResourceCursor::Seek(std::size_t offset) {
    if (Need(offset, 0)) at_ = offset;
}

void ResourceCursor::Skip(std::size_t count) {
    if (Need(at_, count)) at_ += count;
}

uint16_t ResourceCursor::U16() {
    if (!Need(at_, 2)) return 0;
    const uint16_t value = static_cast<uint16_t>(bytes_[at_] | bytes_[at_ + 1] << 8);
    at_ += 2;
    return value;
}

uint32_t ResourceCursor::U32() {
    const uint32_t low = U16();
    return low | static_cast<uint32_t>(U16()) << 16;
}

ResourceText ResourceCursor::Text() {
    ResourceText text{ok_ ? bytes_ + at_ : nullptr, 0};
    while (ok_ && U16() != 0) ++text.units;
    return ok_ ? text : ResourceText();
}

ResourceText ResourceCursor::Counted(std::size_t units) {
    if (units > (size_ - at_) / 2 || !Need(at_, units * 2)) {
        ok_ = false;
        return {};
    }
    ResourceText text{bytes_ + at_, units};
    at_ += units * 2;
    return text;
}

ResourceText ResourceCursor::TextOrNumber() {
    if (!Need(at_, 2)) return {};
    if ((bytes_[at_] | bytes_[at_ + 1] << 8) == kNumberFollows) {
        Skip(4);
        return {};
    }
    ResourceText text = Text();
    return text.units ? text : ResourceText();
}

bool StringInBlock(const uint8_t* block, std::size_t size, unsigned index, ResourceText& text) {
    ResourceCursor cursor(block, size);
    for (unsigned i = 0; i < kStringsPerBlock && cursor.Ok(); ++i) {
        text = cursor.Counted(cursor.U16());
        if (i == index) return cursor.Ok();
    }
    return false;
}

uint16_t DialogTemplateReader::ClassAtomAt(std::size_t offset) const {
    ResourceCursor at = cursor_;
    at.Seek(offset);
    return at.U16() == kNumberFollows ? at.U16() : 0;
}

DialogTemplateReader::DialogTemplateReader(const uint8_t* bytes, std::size_t size) : cursor_(bytes, size) {
    extended_ = cursor_.U16() == 1 && cursor_.U16() == kExtendedSignature;
    uint32_t style = 0;
    if (extended_) {
        cursor_.Skip(8);  // help id, extended style
        style = cursor_.U32();
    } else {
        cursor_.Seek(0);
        style = cursor_.U32();
        cursor_.Skip(4);  // extended style
    }
    count_ = cursor_.U16();
    cursor_.Skip(8);         // position and size
    cursor_.TextOrNumber();  // menu
    cursor_.TextOrNumber();  // window class
    caption_ = cursor_.Text();
    if ((style & kTemplateHasFont) && cursor_.U16() != kMessageBoxFont) {
        if (extended_) cursor_.Skip(4);  // weight, italic, character set
        cursor_.Text();
    }
}

bool DialogTemplateReader::NextControl(TemplateItem& item) {
    if (read_ >= count_ || !cursor_.Ok()) return false;
    ++read_;
    cursor_.AlignTo4();
    if (extended_) cursor_.Skip(8);  // help id, extended style
    item.style = cursor_.U32();
    if (!extended_) cursor_.Skip(4);  // extended style
    cursor_.Skip(4);                  // position
    item.width = static_cast<int16_t>(cursor_.U16());
    cursor_.Skip(2);  // height
    item.id = extended_ ? cursor_.U32() : cursor_.U16();
    const std::size_t classAt = cursor_.At();
    item.className = cursor_.TextOrNumber();
    item.classAtom = item.className.bytes ? 0 : ClassAtomAt(classAt);
    item.text = cursor_.TextOrNumber();
    // Creation data: a byte count, then the data, skipped in whole 16-bit
    // units as the dialog manager does.
    cursor_.Skip(cursor_.U16() & ~1u);
    return cursor_.Ok();
}
