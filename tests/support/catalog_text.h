#pragma once

// Builds catalog files the way a translator writes them.

#include <string>

#include "localization/catalog.h"

inline std::string CatalogKey(int kind, const char* context, const char* text) {
    char key[kCatalogKeySize + 1];
    MakeCatalogKey(kind, context, text, key);
    return key;
}

// The key of a text in a catalog keyed over UTF-16.
inline std::string CatalogKeyUtf16(int kind, const char* context, const std::u16string& text) {
    std::string bytes;
    for (char16_t unit : text) bytes += {static_cast<char>(unit & 0xFF), static_cast<char>(unit >> 8)};
    char key[kCatalogKeySize + 1];
    MakeCatalogKeyUtf16(kind, context, {reinterpret_cast<const uint8_t*>(bytes.data()), text.size()}, key);
    return key;
}

// An entry line; `value` is written as it stands in the file, escapes and all.
inline std::string CatalogEntry(int kind, const char* context, const char* text, const std::string& value) {
    return CatalogKey(kind, context, text) + "=\"" + value + "\"\r\n";
}

inline std::string MessageEntry(const std::string& text, const std::string& value) {
    return CatalogEntry(kMessageText, nullptr, text.c_str(), value);
}

const char kCatalogMarkerLine[] = "***messages***\r\n";
