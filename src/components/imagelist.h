// An image list: equally sized images kept by the common controls (HIMAGELIST), owned by this object.
#pragma once

#include <windows.h>
#include <commctrl.h>

#include "components/bitmap.h"

namespace comp {

class ImageList {
public:
    // Raises EOSError when the list cannot be made.
    ImageList(int width, int height);
    ~ImageList();
    ImageList(const ImageList&) = delete;
    ImageList& operator=(const ImageList&) = delete;

    int Width() const { return width_; }
    int Height() const { return height_; }
    int Count() const;
    HIMAGELIST Handle() const { return list_; }

    // Appends |image| (cut into images of the list's width); pixels of |maskColor| are transparent.
    // Returns the index of the first image added, -1 on failure.
    int AddMasked(const Bitmap& image, COLORREF maskColor);
    // Appends a picture with an optional mask (neither taken over; |mask| may be 0); its index, or -1.
    int Add(HBITMAP image, HBITMAP mask);
    // Draws image |index| with its top-left corner at (x, y); a disabled image is drawn blended.
    void Draw(HDC dc, int x, int y, int index, bool enabled) const;

private:
    HIMAGELIST list_ = nullptr;
    int width_;
    int height_;
};

}  // namespace comp
