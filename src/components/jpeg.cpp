// The JPEG image class over libjpeg, with an error manager that hands control back.
#include "components/jpeg.h"

#include <windows.h>

#include <csetjmp>
#include <cstdio>
#include <cstring>

#include "components/handles.h"

// libjpeg's headers expect FILE and size_t to be declared first.
extern "C" {
#include <jpeglib.h>
}

namespace comp {

namespace {

// The error manager: error_exit jumps back to the guarded call instead of ending the process.
// Only libjpeg's own C frames lie between the setjmp and the longjmp.
struct ErrorManager {
    jpeg_error_mgr pub;
    jmp_buf jump;
    char message[JMSG_LENGTH_MAX];
};

extern "C" void OnJpegError(j_common_ptr cinfo) {
    ErrorManager* err = reinterpret_cast<ErrorManager*>(cinfo->err);
    (*cinfo->err->format_message)(cinfo, err->message);
    longjmp(err->jump, 1);
}

extern "C" void OnJpegMessage(j_common_ptr) {}  // warnings are not shown anywhere

struct Decoder {
    jpeg_decompress_struct cinfo;
    ErrorManager err;
};

void PrepareDecoder(Decoder& d) {
    std::memset(&d, 0, sizeof d);
    d.cinfo.err = jpeg_std_error(&d.err.pub);
    d.err.pub.error_exit = OnJpegError;
    d.err.pub.output_message = OnJpegMessage;
}

// Reads the header only. Plain data in this frame only; false with the library's message on error.
bool ReadHeader(Decoder& d, const uint8_t* data, size_t size, int& width, int& height, bool& cmyk) {
    if (setjmp(d.err.jump)) {
        jpeg_destroy_decompress(&d.cinfo);
        return false;
    }
    jpeg_create_decompress(&d.cinfo);
    jpeg_mem_src(&d.cinfo, const_cast<unsigned char*>(data), static_cast<unsigned long>(size));
    jpeg_read_header(&d.cinfo, TRUE);
    width = static_cast<int>(d.cinfo.image_width);
    height = static_cast<int>(d.cinfo.image_height);
    cmyk = d.cinfo.jpeg_color_space == JCS_CMYK || d.cinfo.jpeg_color_space == JCS_YCCK;
    jpeg_destroy_decompress(&d.cinfo);
    return true;
}

// Decodes into rows of |bits| (blue, green, red per pixel; |stride| bytes apart). |cmykRow|
// holds one row of 4-byte pixels for CMYK images. Plain data in this frame only.
bool Decode(Decoder& d, const uint8_t* data, size_t size, uint8_t* bits, int stride, int width, int height,
            uint8_t* cmykRow) {
    if (setjmp(d.err.jump)) {
        jpeg_destroy_decompress(&d.cinfo);
        return false;
    }
    jpeg_create_decompress(&d.cinfo);
    jpeg_mem_src(&d.cinfo, const_cast<unsigned char*>(data), static_cast<unsigned long>(size));
    jpeg_read_header(&d.cinfo, TRUE);
    const bool cmyk = d.cinfo.jpeg_color_space == JCS_CMYK || d.cinfo.jpeg_color_space == JCS_YCCK;
    d.cinfo.out_color_space = cmyk ? JCS_CMYK : JCS_EXT_BGR;
    jpeg_start_decompress(&d.cinfo);
    if (static_cast<int>(d.cinfo.output_width) != width || static_cast<int>(d.cinfo.output_height) != height) {
        std::strcpy(d.err.message, "JPEG image size changed while decoding");
        jpeg_destroy_decompress(&d.cinfo);
        return false;
    }
    // Adobe writes CMYK inverted; that is what every CMYK JPEG in practice holds.
    const bool inverted = d.cinfo.saw_Adobe_marker;
    while (d.cinfo.output_scanline < d.cinfo.output_height) {
        uint8_t* row = bits + static_cast<size_t>(d.cinfo.output_scanline) * stride;
        JSAMPROW target = cmyk ? cmykRow : row;
        jpeg_read_scanlines(&d.cinfo, &target, 1);
        if (cmyk) {
            for (int x = 0; x < width; ++x) {
                const uint8_t* p = cmykRow + 4 * x;
                unsigned c = p[0], m = p[1], y = p[2], k = p[3];
                if (!inverted) {
                    c = 255 - c;
                    m = 255 - m;
                    y = 255 - y;
                    k = 255 - k;
                }
                row[3 * x + 0] = static_cast<uint8_t>(y * k / 255);
                row[3 * x + 1] = static_cast<uint8_t>(m * k / 255);
                row[3 * x + 2] = static_cast<uint8_t>(c * k / 255);
            }
        }
    }
    jpeg_finish_decompress(&d.cinfo);
    jpeg_destroy_decompress(&d.cinfo);
    return true;
}

}  // namespace

std::vector<uint8_t> ReadFileBytes(const std::string& fileName) {
    // Closed on every way out: a file whose bytes can't be held in memory is not left locked.
    FileHandle file(CreateFileA(fileName.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file) RaiseLastOSError("Cannot open " + fileName);
    LARGE_INTEGER size{};
    if (!GetFileSizeEx(file.Get(), &size)) RaiseLastOSError("Cannot read " + fileName);
    if (size.QuadPart > 0x7FFFFFFF) throw EOSError("Cannot read " + fileName, ERROR_FILE_TOO_LARGE);
    std::vector<uint8_t> bytes(static_cast<size_t>(size.QuadPart));
    DWORD read = 0;
    if (!bytes.empty() && !ReadFile(file.Get(), bytes.data(), static_cast<DWORD>(bytes.size()), &read, nullptr))
        RaiseLastOSError("Cannot read " + fileName);
    if (read != bytes.size()) throw EOSError("Cannot read " + fileName, ERROR_HANDLE_EOF);
    return bytes;
}

void JpegImage::LoadFromFile(const std::string& fileName) { LoadFromMemory(ReadFileBytes(fileName)); }

void JpegImage::LoadFromMemory(std::vector<uint8_t> data) {
    if (data.empty()) throw EInvalidGraphic("JPEG image is empty");
    Decoder d;
    PrepareDecoder(d);
    int width = 0, height = 0;
    bool cmyk = false;
    if (!ReadHeader(d, data.data(), data.size(), width, height, cmyk))
        throw EInvalidGraphic(std::string("JPEG error: ") + d.err.message);
    if (width <= 0 || height <= 0) throw EInvalidGraphic("JPEG image is empty");
    data_ = std::move(data);
    width_ = width;
    height_ = height;
    cmyk_ = cmyk;
}

void JpegImage::AssignTo(Bitmap& bitmap) const {
    if (Empty()) throw EInvalidGraphic("JPEG image is empty");
    // A bitmap of the image's size and format takes the pixels where it keeps them: loading the same
    // picture again allocates no new pixel memory.
    const bool inPlace = bitmap.Width() == width_ && bitmap.Height() == height_ && bitmap.Format() == PixelFormat::pf24bit;
    Bitmap fresh;
    if (!inPlace) fresh = Bitmap(width_, height_, PixelFormat::pf24bit);
    Bitmap& target = inPlace ? bitmap : fresh;
    std::vector<uint8_t> cmykRow(cmyk_ ? static_cast<size_t>(width_) * 4 : 0);
    Decoder d;
    PrepareDecoder(d);
    if (!Decode(d, data_.data(), data_.size(), target.ScanLine(0), target.Stride(), width_, height_, cmykRow.data()))
        throw EInvalidGraphic(std::string("JPEG error: ") + d.err.message);
    if (!inPlace) bitmap = std::move(fresh);
}

}  // namespace comp
