// A device-independent bitmap of 24 or 32 bits per pixel, stored top-down in a DIB section so
// that GDI can draw on it through its canvas and our code can address its rows directly.
// Colours are COLORREF values (red in the low byte); pixels are stored blue, green, red(, x).
#pragma once

#include <windows.h>

#include <cstdint>
#include <string>

#include "components/exceptions.h"

namespace comp {

// A picture file that cannot be read or has a form we do not know.
class EInvalidGraphic : public Exception {
public:
    using Exception::Exception;
};

enum class PixelFormat { pf24bit, pf32bit };

class Bitmap {
public:
    Bitmap() = default;
    Bitmap(int width, int height, PixelFormat format = PixelFormat::pf24bit);
    ~Bitmap();
    Bitmap(const Bitmap& other);
    Bitmap& operator=(const Bitmap& other);
    Bitmap(Bitmap&& other) noexcept;
    Bitmap& operator=(Bitmap&& other) noexcept;

    int Width() const { return width_; }
    int Height() const { return height_; }
    bool Empty() const { return width_ == 0 || height_ == 0; }
    PixelFormat Format() const { return format_; }
    int BytesPerPixel() const { return format_ == PixelFormat::pf32bit ? 4 : 3; }
    // Bytes from one row to the next (rows are padded to 4 bytes).
    int Stride() const { return stride_; }

    // New size; the part that old and new size share keeps its pixels, the rest is black.
    // A zero or negative side empties the bitmap. Raises EOutOfMemory/EOSError on failure.
    void SetSize(int width, int height);
    // Converts every pixel to the new format (the fourth byte of 32-bit pixels is 0).
    void SetPixelFormat(PixelFormat format);

    // Row |row| (0 at the top); GDI drawing is flushed first.
    uint8_t* ScanLine(int row);
    const uint8_t* ScanLine(int row) const;

    COLORREF Pixel(int x, int y) const;
    void SetPixel(int x, int y, COLORREF colour);
    void Fill(COLORREF colour);
    // Fills |rect| clipped to the bitmap.
    void FillRect(const RECT& rect, COLORREF colour);

    // Copies |source| unscaled with its top-left corner at (x, y); parts outside are cut.
    void Draw(const Bitmap& source, int x, int y);
    // Scales |source| (nearest pixel) onto |dest|; parts of |dest| outside the bitmap are cut.
    void StretchDraw(const RECT& dest, const Bitmap& source);

    // A memory DC with the bitmap selected, for GDI drawing; made on first use. Null when empty.
    HDC Canvas();
    HBITMAP Handle() const { return dib_; }

    // Reads a .bmp file of any depth GDI knows; raises EInvalidGraphic when it cannot, or when the file's
    // headers promise more than the file holds (GDI is never handed such a file).
    void LoadFromFile(const std::string& fileName);
    // Reads a BITMAP resource of the module |instance| by name; raises EInvalidGraphic when it cannot.
    void LoadFromResourceName(HINSTANCE instance, const std::string& name);
    // Writes a bottom-up .bmp of the bitmap's own depth; raises EOSError when it cannot.
    void SaveToFile(const std::string& fileName) const;

private:
    void Allocate(int width, int height, PixelFormat format, HBITMAP& dib, uint8_t*& bits, int& stride) const;
    void Adopt(int width, int height, PixelFormat format, HBITMAP dib, uint8_t* bits, int stride);
    void Release() noexcept;
    // Copies a loaded bitmap into the DIB (and deletes it); |what| names it in errors.
    void TakeLoaded(HBITMAP loaded, const std::string& what);

    int width_ = 0;
    int height_ = 0;
    PixelFormat format_ = PixelFormat::pf24bit;
    int stride_ = 0;
    HBITMAP dib_ = nullptr;
    uint8_t* bits_ = nullptr;
    HDC dc_ = nullptr;
    HGDIOBJ oldBitmap_ = nullptr;
};

// A new screen-compatible bitmap of width x height, which the caller owns, drawn by |paint| (called with
// a memory DC that has it selected); nullptr when it can't be made.
template <typename Paint>
HBITMAP PaintedScreenBitmap(int width, int height, Paint paint) {
    HDC screen = GetDC(nullptr);
    HBITMAP bitmap = CreateCompatibleBitmap(screen, width, height);
    HDC dc = CreateCompatibleDC(screen);
    ReleaseDC(nullptr, screen);
    if (!bitmap || !dc) {
        if (bitmap) DeleteObject(bitmap);
        if (dc) DeleteDC(dc);
        return nullptr;
    }
    HGDIOBJ old = SelectObject(dc, bitmap);
    paint(dc);
    SelectObject(dc, old);
    DeleteDC(dc);
    return bitmap;
}

// |picture| stretched (halftone) into a new screen-compatible bitmap of width x height, which the caller
// owns; nullptr when the picture is empty or the bitmap can't be made.
HBITMAP StretchedScreenBitmap(const Bitmap& picture, int width, int height);

}  // namespace comp
