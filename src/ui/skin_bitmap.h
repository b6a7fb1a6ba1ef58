// skin_bitmap.h - CSkinBitmap, a bitmap that loads itself from an image file
// through the system's picture loader.
#pragma once

#include "win/gdi.h"

class CSkinBitmap : public CBitmapObject {
public:
    // Loads the image file path (any format the picture loader reads) into a
    // screen-compatible bitmap of its size in screen pixels, first filled
    // with background unless that is CLR_INVALID (-1). FALSE, and nothing
    // changed, when the object already holds a bitmap or the file cannot be
    // read or decoded.
    BOOL LoadFromFile(const char *path, COLORREF background);
};
