#include "localization/dialog_scale.h"

#include <algorithm>
#include <climits>
#include <cstdint>

namespace {

constexpr int64_t kWholePercent = 100;

int ClampToInt(int64_t value) {
    return static_cast<int>(std::clamp<int64_t>(value, INT_MIN, INT_MAX));
}

}  // namespace

int ScaleByPercent(int value, int percent) {
    return ClampToInt(static_cast<int64_t>(value) * percent / kWholePercent);
}

int FrameExtent(int windowExtent, int clientExtent) {
    return ClampToInt(static_cast<int64_t>(windowExtent) - clientExtent + 1);
}

ChildPlacement ScaleChildPlacement(const PixelRect& child, const PixelRect& dialog, int frameX, int frameY,
                                   int dialogFrame, int widthPercent, int heightPercent, bool mirrored) {
    // The offsets take away what the frame and caption add before the client
    // area starts: half the horizontal extra on either side, the vertical
    // extra less the bottom frame on top.
    int left = ClampToInt(mirrored ? static_cast<int64_t>(dialog.right) - frameX / 2 - child.right
                                   : static_cast<int64_t>(child.left) - frameX / 2 - dialog.left);
    int top = ClampToInt(static_cast<int64_t>(child.top) - dialog.top - (static_cast<int64_t>(frameY) - dialogFrame));
    int width = ClampToInt(static_cast<int64_t>(child.right) - child.left + 1);
    int height = ClampToInt(static_cast<int64_t>(child.bottom) - child.top + 1);
    return {
        ScaleByPercent(left, widthPercent),
        ScaleByPercent(top, heightPercent),
        ScaleByPercent(width, widthPercent),
        ScaleByPercent(height, heightPercent),
    };
}
