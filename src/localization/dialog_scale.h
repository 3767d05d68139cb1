#pragma once

// The arithmetic of a dialog's rescaling by the catalog's percentages: signed
// integers, every division truncating toward zero, computed wide so that an
// absurd percentage from a catalog cannot overflow.

// A rectangle in screen pixels, as the system reports a window's.
struct PixelRect {
    int left;
    int top;
    int right;
    int bottom;
};

// Where a child goes in its dialog's client area, and its size.
struct ChildPlacement {
    int x;
    int y;
    int width;
    int height;
};

// value * percent / 100, kept within the int range.
int ScaleByPercent(int value, int percent);

// What the window adds to its client area in one direction, plus one: the
// frame, caption and so on. The dialog's new window size is the scaled client
// size plus this, so the frame keeps its size.
int FrameExtent(int windowExtent, int clientExtent);

// The child's new place and size from its window rectangle and the dialog's.
// `frameX` and `frameY` are the dialog's FrameExtent values, `dialogFrame` the
// height of a dialog frame (SM_CYDLGFRAME). In a mirrored (right-to-left)
// dialog x counts from the client area's right edge, as SetWindowPos takes
// it there; its children keep their distance to that edge when the dialog
// is resized, so both rectangles may be taken before or after that.
ChildPlacement ScaleChildPlacement(const PixelRect& child, const PixelRect& dialog, int frameX, int frameY,
                                   int dialogFrame, int widthPercent, int heightPercent, bool mirrored);
