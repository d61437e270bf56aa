// A picture loaded from a file and held as a bitmap: ".bmp" through GDI, ".jpg" and ".jpeg"
// through the JPEG image class, chosen by the file name's extension (any letter case).
#pragma once

#include <string>

#include "components/bitmap.h"

namespace comp {

class Picture {
public:
    // Replaces the picture with the file's; raises EInvalidGraphic for an unknown extension or
    // a file that cannot be decoded, EOSError for one that cannot be read (the picture then
    // keeps what it held).
    void LoadFromFile(const std::string& fileName);

    Bitmap& GetBitmap() { return bitmap_; }
    const Bitmap& GetBitmap() const { return bitmap_; }
    int Width() const { return bitmap_.Width(); }
    int Height() const { return bitmap_.Height(); }
    bool Empty() const { return bitmap_.Empty(); }

private:
    Bitmap bitmap_;
};

// True for the extensions the picture layer reads.
bool IsPictureFileName(const std::string& fileName);

}  // namespace comp
