#pragma once

#include <cstddef>

// The new-file templates of Explorer's New menu: an empty zip archive (its
// end-of-central-directory record alone) and an empty native archive.
constexpr std::size_t kEmptyZipImageSize = 22;
constexpr std::size_t kEmptyNativeImageSize = 20;
extern const unsigned char EmptyZipImage[kEmptyZipImageSize];
extern const unsigned char EmptyNativeImage[kEmptyNativeImageSize];

// The template files, beside the program, where the shell wants a file.
extern const char kZipTemplateName[];
extern const char kNativeTemplateName[];

// Makes the ShellNew key (under HKEY_CLASSES_ROOT) offer a new empty archive:
// the image itself as "Data" where the shell wants it so, else a template
// file beside the program as "FileName". The key must already be empty.
void WriteShellNewEntry(const char* shellNewKey, bool native);
