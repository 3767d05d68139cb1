#pragma once

// How dialog localization reads the caption and control texts it translates.
// The translators' tool keys dialog texts by the same rules.

// Each text is read into a buffer of this size.
constexpr int kDialogTextSize = 1024;
// A dialog with more children keeps the rest untranslated and unscaled.
constexpr int kMaxChildWindows = 512;

// Whether a text read as `length` bytes is translated. An empty text is left
// alone: its key would be the dialog's scale entry, whose value would then
// show as the text. A text that does not fit the buffer is left alone too,
// rather than replaced by its cut copy.
constexpr bool IsTranslatedDialogText(int length) {
    return length > 0 && length < kDialogTextSize - 1;
}
