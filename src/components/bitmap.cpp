// Device-independent bitmaps: pixel storage, fills and (stretched) drawing.
#include "components/bitmap.h"

#include "components/handles.h"

#include <algorithm>
#include <cstring>
#include <vector>

namespace comp {

namespace {

int StrideFor(int width, PixelFormat format) {
    const int bpp = format == PixelFormat::pf32bit ? 4 : 3;
    return (width * bpp + 3) & ~3;
}

// Copies |count| pixels between rows of possibly different formats.
void CopyPixels(uint8_t* dst, int dstBpp, const uint8_t* src, int srcBpp, int count) {
    if (dstBpp == srcBpp) {
        std::memcpy(dst, src, static_cast<size_t>(count) * dstBpp);
        return;
    }
    for (int i = 0; i < count; ++i) {
        dst[0] = src[0];
        dst[1] = src[1];
        dst[2] = src[2];
        if (dstBpp == 4) dst[3] = 0;
        dst += dstBpp;
        src += srcBpp;
    }
}

uint32_t Word32(const uint8_t* p) {
    return static_cast<uint32_t>(p[0]) | static_cast<uint32_t>(p[1]) << 8 | static_cast<uint32_t>(p[2]) << 16 |
           static_cast<uint32_t>(p[3]) << 24;
}

uint16_t Word16(const uint8_t* p) { return static_cast<uint16_t>(p[0] | p[1] << 8); }

constexpr size_t kFileHeaderSize = 14;     // BITMAPFILEHEADER
constexpr size_t kLargestInfoHeader = 124;  // BITMAPV5HEADER
constexpr size_t kBitmapHeadBytes = kFileHeaderSize + kLargestInfoHeader;

// Whether everything the headers of a .bmp promise lies inside a file of |fileSize| bytes: the info
// header, the bit masks and the colour table that follow it, and the pixel rows (rows times stride
// for the bit depth, or the stated size of run-length data) from the pixel offset on. |head| holds
// the first |got| bytes of the file. GDI reads wherever the headers point, past a damaged file's end
// too; a file that fails here never reaches it.
bool BitmapHeadersFit(const uint8_t* head, size_t got, uint64_t fileSize) {
    if (got < kFileHeaderSize + 4 || head[0] != 'B' || head[1] != 'M') return false;
    const uint32_t pixelOffset = Word32(head + 10);
    const uint8_t* info = head + kFileHeaderSize;
    const uint32_t infoSize = Word32(info);
    int64_t width = 0, height = 0;
    uint32_t bitCount = 0, compression = BI_RGB, colourCount = 0, imageSize = 0;
    uint64_t headerEnd = 0;
    if (infoSize == sizeof(BITMAPCOREHEADER)) {
        if (got < kFileHeaderSize + infoSize) return false;
        width = Word16(info + 4);
        height = Word16(info + 6);
        bitCount = Word16(info + 10);
        if (bitCount <= 8) colourCount = 1u << bitCount;
        headerEnd = kFileHeaderSize + infoSize + uint64_t{colourCount} * sizeof(RGBTRIPLE);
    } else if (infoSize >= sizeof(BITMAPINFOHEADER) && infoSize <= kLargestInfoHeader) {
        if (got < kFileHeaderSize + sizeof(BITMAPINFOHEADER)) return false;
        width = static_cast<int32_t>(Word32(info + 4));
        height = static_cast<int32_t>(Word32(info + 8));
        bitCount = Word16(info + 14);
        compression = Word32(info + 16);
        imageSize = Word32(info + 20);
        const uint32_t used = Word32(info + 32);
        colourCount = used ? std::min<uint32_t>(used, 256) : bitCount <= 8 ? 1u << bitCount : 0;
        // The bit masks of a plain info header follow it (the larger headers hold their own).
        const uint64_t masks = compression == BI_BITFIELDS ? 3 * 4 : compression == 6 /* alpha bit fields */ ? 4 * 4 : 0;
        headerEnd = kFileHeaderSize + std::max<uint64_t>(infoSize, sizeof(BITMAPINFOHEADER) + masks) +
                    uint64_t{colourCount} * sizeof(RGBQUAD);
    } else {
        return false;
    }
    if (headerEnd > fileSize || width <= 0 || height == 0) return false;
    if (pixelOffset != 0 && pixelOffset < kFileHeaderSize + infoSize) return false;
    const uint64_t start = pixelOffset != 0 ? pixelOffset : headerEnd;
    if (start > fileSize) return false;
    const uint64_t room = fileSize - start;
    const uint64_t rows = static_cast<uint64_t>(height < 0 ? -height : height);
    switch (compression) {
        case BI_RGB:
            if (bitCount != 1 && bitCount != 4 && bitCount != 8 && bitCount != 16 && bitCount != 24 && bitCount != 32)
                return false;
            break;
        case BI_BITFIELDS:
        case 6:
            if (bitCount != 16 && bitCount != 32) return false;
            break;
        case BI_RLE8:
        case BI_RLE4:
            // Run-length data: as many bytes as the header says, bottom-up only.
            if (bitCount != (compression == BI_RLE8 ? 8u : 4u) || height < 0) return false;
            return imageSize != 0 && imageSize <= room;
        default:
            return false;  // pictures inside a bitmap file (JPEG, PNG) are not read
    }
    const uint64_t stride = (static_cast<uint64_t>(width) * bitCount + 31) / 32 * 4;
    return rows <= room / stride;
}

// Raises EInvalidGraphic unless the file can be opened and its headers fit its size.
void CheckBitmapFile(const std::string& fileName) {
    FileHandle file(CreateFileA(fileName.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                FILE_ATTRIBUTE_NORMAL, nullptr));
    uint8_t head[kBitmapHeadBytes] = {};
    DWORD got = 0;
    LARGE_INTEGER size{};
    if (!file || !GetFileSizeEx(file.Get(), &size) || !ReadFile(file.Get(), head, sizeof head, &got, nullptr))
        throw EInvalidGraphic("Cannot read the bitmap file " + fileName);
    if (!BitmapHeadersFit(head, got, static_cast<uint64_t>(size.QuadPart)))
        throw EInvalidGraphic("Damaged bitmap file " + fileName);
}

}  // namespace

Bitmap::Bitmap(int width, int height, PixelFormat format) {
    format_ = format;
    SetSize(width, height);
}

Bitmap::~Bitmap() { Release(); }

Bitmap::Bitmap(const Bitmap& other) { *this = other; }

Bitmap& Bitmap::operator=(const Bitmap& other) {
    if (this == &other) return *this;
    if (other.Empty()) {
        Release();
        format_ = other.format_;
        return *this;
    }
    HBITMAP dib = nullptr;
    uint8_t* bits = nullptr;
    int stride = 0;
    Allocate(other.width_, other.height_, other.format_, dib, bits, stride);
    GdiFlush();
    std::memcpy(bits, other.bits_, static_cast<size_t>(stride) * other.height_);
    Adopt(other.width_, other.height_, other.format_, dib, bits, stride);
    return *this;
}

Bitmap::Bitmap(Bitmap&& other) noexcept { *this = std::move(other); }

Bitmap& Bitmap::operator=(Bitmap&& other) noexcept {
    if (this == &other) return *this;
    Release();
    width_ = other.width_;
    height_ = other.height_;
    format_ = other.format_;
    stride_ = other.stride_;
    dib_ = other.dib_;
    bits_ = other.bits_;
    dc_ = other.dc_;
    oldBitmap_ = other.oldBitmap_;
    other.width_ = other.height_ = other.stride_ = 0;
    other.dib_ = nullptr;
    other.bits_ = nullptr;
    other.dc_ = nullptr;
    other.oldBitmap_ = nullptr;
    return *this;
}

void Bitmap::Allocate(int width, int height, PixelFormat format, HBITMAP& dib, uint8_t*& bits,
                      int& stride) const {
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height;  // top-down
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = format == PixelFormat::pf32bit ? 32 : 24;
    info.bmiHeader.biCompression = BI_RGB;
    void* memory = nullptr;
    dib = CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &memory, nullptr, 0);
    if (!dib || !memory) {
        if (dib) DeleteObject(dib);
        throw EOutOfMemory();
    }
    bits = static_cast<uint8_t*>(memory);
    stride = StrideFor(width, format);
}

void Bitmap::Adopt(int width, int height, PixelFormat format, HBITMAP dib, uint8_t* bits, int stride) {
    if (dc_) SelectObject(dc_, dib);
    if (dib_) DeleteObject(dib_);
    width_ = width;
    height_ = height;
    format_ = format;
    dib_ = dib;
    bits_ = bits;
    stride_ = stride;
}

void Bitmap::Release() noexcept {
    if (dc_) {
        SelectObject(dc_, oldBitmap_);
        DeleteDC(dc_);
        dc_ = nullptr;
        oldBitmap_ = nullptr;
    }
    if (dib_) DeleteObject(dib_);
    dib_ = nullptr;
    bits_ = nullptr;
    width_ = height_ = stride_ = 0;
}

void Bitmap::SetSize(int width, int height) {
    if (width == width_ && height == height_) return;
    if (width <= 0 || height <= 0) {
        Release();
        return;
    }
    HBITMAP dib = nullptr;
    uint8_t* bits = nullptr;
    int stride = 0;
    Allocate(width, height, format_, dib, bits, stride);  // zero-filled by the system
    if (bits_) {
        GdiFlush();
        const int rows = std::min(height, height_);
        const size_t bytes = static_cast<size_t>(std::min(width, width_)) * BytesPerPixel();
        for (int r = 0; r < rows; ++r) std::memcpy(bits + static_cast<size_t>(r) * stride, bits_ + static_cast<size_t>(r) * stride_, bytes);
    }
    Adopt(width, height, format_, dib, bits, stride);
}

void Bitmap::SetPixelFormat(PixelFormat format) {
    if (format == format_) return;
    if (Empty()) {
        format_ = format;
        return;
    }
    HBITMAP dib = nullptr;
    uint8_t* bits = nullptr;
    int stride = 0;
    Allocate(width_, height_, format, dib, bits, stride);
    GdiFlush();
    const int dstBpp = format == PixelFormat::pf32bit ? 4 : 3;
    for (int r = 0; r < height_; ++r)
        CopyPixels(bits + static_cast<size_t>(r) * stride, dstBpp, bits_ + static_cast<size_t>(r) * stride_, BytesPerPixel(), width_);
    Adopt(width_, height_, format, dib, bits, stride);
}

uint8_t* Bitmap::ScanLine(int row) {
    if (row < 0 || row >= height_) throw Exception("Scan line index out of range");
    GdiFlush();
    return bits_ + static_cast<size_t>(row) * stride_;
}

const uint8_t* Bitmap::ScanLine(int row) const {
    if (row < 0 || row >= height_) throw Exception("Scan line index out of range");
    GdiFlush();
    return bits_ + static_cast<size_t>(row) * stride_;
}

COLORREF Bitmap::Pixel(int x, int y) const {
    if (x < 0 || x >= width_) throw Exception("Pixel index out of range");
    const uint8_t* p = ScanLine(y) + static_cast<size_t>(x) * BytesPerPixel();
    return RGB(p[2], p[1], p[0]);
}

void Bitmap::SetPixel(int x, int y, COLORREF colour) {
    if (x < 0 || x >= width_) throw Exception("Pixel index out of range");
    uint8_t* p = ScanLine(y) + static_cast<size_t>(x) * BytesPerPixel();
    p[0] = GetBValue(colour);
    p[1] = GetGValue(colour);
    p[2] = GetRValue(colour);
}

void Bitmap::Fill(COLORREF colour) {
    RECT all{0, 0, width_, height_};
    FillRect(all, colour);
}

void Bitmap::FillRect(const RECT& rect, COLORREF colour) {
    const int left = std::max<int>(rect.left, 0), right = std::min<int>(rect.right, width_);
    const int top = std::max<int>(rect.top, 0), bottom = std::min<int>(rect.bottom, height_);
    if (left >= right || top >= bottom) return;
    const int bpp = BytesPerPixel();
    const int count = right - left;
    // One row built pixel by pixel, the others copied from it.
    GdiFlush();
    uint8_t* first = bits_ + static_cast<size_t>(top) * stride_ + static_cast<size_t>(left) * bpp;
    for (int i = 0; i < count; ++i) {
        uint8_t* p = first + static_cast<size_t>(i) * bpp;
        p[0] = GetBValue(colour);
        p[1] = GetGValue(colour);
        p[2] = GetRValue(colour);
        if (bpp == 4) p[3] = 0;
    }
    for (int r = top + 1; r < bottom; ++r)
        std::memcpy(bits_ + static_cast<size_t>(r) * stride_ + static_cast<size_t>(left) * bpp, first,
                    static_cast<size_t>(count) * bpp);
}

void Bitmap::Draw(const Bitmap& source, int x, int y) {
    if (Empty() || source.Empty() || &source == this) return;
    const int left = std::max(x, 0), right = std::min(x + source.width_, width_);
    const int top = std::max(y, 0), bottom = std::min(y + source.height_, height_);
    if (left >= right || top >= bottom) return;
    GdiFlush();
    const int dstBpp = BytesPerPixel(), srcBpp = source.BytesPerPixel();
    for (int r = top; r < bottom; ++r) {
        uint8_t* dst = bits_ + static_cast<size_t>(r) * stride_ + static_cast<size_t>(left) * dstBpp;
        const uint8_t* src = source.bits_ + static_cast<size_t>(r - y) * source.stride_ +
                             static_cast<size_t>(left - x) * srcBpp;
        CopyPixels(dst, dstBpp, src, srcBpp, right - left);
    }
}

void Bitmap::StretchDraw(const RECT& dest, const Bitmap& source) {
    const int dw = dest.right - dest.left, dh = dest.bottom - dest.top;
    if (Empty() || source.Empty() || dw <= 0 || dh <= 0 || &source == this) return;
    if (dw == source.width_ && dh == source.height_) {
        Draw(source, dest.left, dest.top);
        return;
    }
    const int left = std::max<int>(dest.left, 0), right = std::min<int>(dest.right, width_);
    const int top = std::max<int>(dest.top, 0), bottom = std::min<int>(dest.bottom, height_);
    if (left >= right || top >= bottom) return;
    // Each target pixel takes the source pixel under its centre.
    std::vector<int> column(static_cast<size_t>(right - left));
    for (int x = left; x < right; ++x) {
        const int64_t u = (2 * static_cast<int64_t>(x - dest.left) + 1) * source.width_ / (2 * static_cast<int64_t>(dw));
        column[static_cast<size_t>(x - left)] = static_cast<int>(u) * source.BytesPerPixel();
    }
    GdiFlush();
    const int dstBpp = BytesPerPixel();
    for (int y = top; y < bottom; ++y) {
        const int64_t v = (2 * static_cast<int64_t>(y - dest.top) + 1) * source.height_ / (2 * static_cast<int64_t>(dh));
        const uint8_t* srcRow = source.bits_ + static_cast<size_t>(v) * source.stride_;
        uint8_t* dst = bits_ + static_cast<size_t>(y) * stride_ + static_cast<size_t>(left) * dstBpp;
        for (int i = 0; i < right - left; ++i, dst += dstBpp) {
            const uint8_t* s = srcRow + column[static_cast<size_t>(i)];
            dst[0] = s[0];
            dst[1] = s[1];
            dst[2] = s[2];
            if (dstBpp == 4) dst[3] = 0;
        }
    }
}

HDC Bitmap::Canvas() {
    if (Empty()) return nullptr;
    if (!dc_) {
        dc_ = CreateCompatibleDC(nullptr);
        if (!dc_) RaiseLastOSError("CreateCompatibleDC");
        oldBitmap_ = SelectObject(dc_, dib_);
    }
    return dc_;
}

void Bitmap::LoadFromFile(const std::string& fileName) {
    CheckBitmapFile(fileName);
    HBITMAP loaded = static_cast<HBITMAP>(
        LoadImageA(nullptr, fileName.c_str(), IMAGE_BITMAP, 0, 0, LR_LOADFROMFILE | LR_CREATEDIBSECTION));
    if (!loaded) throw EInvalidGraphic("Cannot read the bitmap file " + fileName);
    TakeLoaded(loaded, "the bitmap file " + fileName);
}

void Bitmap::LoadFromResourceName(HINSTANCE instance, const std::string& name) {
    HBITMAP loaded =
        static_cast<HBITMAP>(LoadImageA(instance, name.c_str(), IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION));
    if (!loaded) throw EInvalidGraphic("Cannot read the bitmap resource " + name);
    TakeLoaded(loaded, "the bitmap resource " + name);
}

void Bitmap::TakeLoaded(HBITMAP loaded, const std::string& what) {
    BITMAP info{};
    GetObjectA(loaded, sizeof info, &info);
    const int width = info.bmWidth, height = info.bmHeight < 0 ? -info.bmHeight : info.bmHeight;
    const PixelFormat format = info.bmBitsPixel == 32 ? PixelFormat::pf32bit : PixelFormat::pf24bit;
    if (width <= 0 || height <= 0) {
        DeleteObject(loaded);
        throw EInvalidGraphic("Empty bitmap in " + what);
    }
    HBITMAP dib = nullptr;
    uint8_t* bits = nullptr;
    int stride = 0;
    try {
        Allocate(width, height, format, dib, bits, stride);
    } catch (...) {
        DeleteObject(loaded);
        throw;
    }
    BITMAPINFO want{};
    want.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    want.bmiHeader.biWidth = width;
    want.bmiHeader.biHeight = -height;
    want.bmiHeader.biPlanes = 1;
    want.bmiHeader.biBitCount = format == PixelFormat::pf32bit ? 32 : 24;
    want.bmiHeader.biCompression = BI_RGB;
    HDC screen = GetDC(nullptr);
    const int lines = GetDIBits(screen, loaded, 0, static_cast<UINT>(height), bits, &want, DIB_RGB_COLORS);
    ReleaseDC(nullptr, screen);
    DeleteObject(loaded);
    if (lines != height) {
        DeleteObject(dib);
        throw EInvalidGraphic("Cannot read " + what);
    }
    Adopt(width, height, format, dib, bits, stride);
}

void Bitmap::SaveToFile(const std::string& fileName) const {
    const int bpp = BytesPerPixel();
    const DWORD imageBytes = static_cast<DWORD>(stride_) * static_cast<DWORD>(height_);
    BITMAPFILEHEADER file{};
    BITMAPINFOHEADER header{};
    file.bfType = 0x4D42;  // "BM"
    file.bfOffBits = sizeof file + sizeof header;
    file.bfSize = file.bfOffBits + imageBytes;
    header.biSize = sizeof header;
    header.biWidth = width_;
    header.biHeight = height_;  // bottom-up
    header.biPlanes = 1;
    header.biBitCount = static_cast<WORD>(bpp * 8);
    header.biCompression = BI_RGB;
    header.biSizeImage = imageBytes;

    FileHandle out(
        CreateFileA(fileName.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!out) RaiseLastOSError("CreateFile " + fileName);
    DWORD written = 0;
    bool ok = WriteFile(out.Get(), &file, sizeof file, &written, nullptr) && written == sizeof file &&
              WriteFile(out.Get(), &header, sizeof header, &written, nullptr) && written == sizeof header;
    GdiFlush();
    for (int r = height_ - 1; ok && r >= 0; --r)
        ok = WriteFile(out.Get(), bits_ + static_cast<size_t>(r) * stride_, static_cast<DWORD>(stride_), &written,
                       nullptr) &&
             written == static_cast<DWORD>(stride_);
    if (!ok) {
        const DWORD error = GetLastError();
        throw EOSError("WriteFile " + fileName, error);
    }
}

HBITMAP StretchedScreenBitmap(const Bitmap& picture, int width, int height) {
    if (picture.Empty() || width <= 0 || height <= 0) return nullptr;
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    info.bmiHeader.biWidth = picture.Width();
    info.bmiHeader.biHeight = -picture.Height();  // top-down, as the bitmap stores its rows
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = static_cast<WORD>(picture.BytesPerPixel() * 8);
    info.bmiHeader.biCompression = BI_RGB;
    return PaintedScreenBitmap(width, height, [&](HDC dc) {
        SetStretchBltMode(dc, HALFTONE);
        SetBrushOrgEx(dc, 0, 0, nullptr);
        StretchDIBits(dc, 0, 0, width, height, 0, 0, picture.Width(), picture.Height(), picture.ScanLine(0),
                      &info, DIB_RGB_COLORS, SRCCOPY);
    });
}

}  // namespace comp
