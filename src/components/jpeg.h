// The JPEG image of the picture layer: the compressed data of one file, its size, and decoding
// into a bitmap through libjpeg. Library errors come back as EInvalidGraphic; the library is
// never allowed to end the process.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "components/bitmap.h"

namespace comp {

class JpegImage {
public:
    // Reads the file and its header; raises EInvalidGraphic (or EOSError when unreadable).
    void LoadFromFile(const std::string& fileName);
    // Takes the bytes of a JPEG stream and reads its header; raises EInvalidGraphic.
    void LoadFromMemory(std::vector<uint8_t> data);

    int Width() const { return width_; }
    int Height() const { return height_; }
    bool Empty() const { return data_.empty(); }

    // Decodes the image into |bitmap| as a 24-bit bitmap of the image's size. A bitmap that already has
    // that size and format is decoded into as it is; when decoding then fails it may hold part of the
    // image (any other bitmap keeps what it held).
    void AssignTo(Bitmap& bitmap) const;

private:
    std::vector<uint8_t> data_;
    int width_ = 0;
    int height_ = 0;
    bool cmyk_ = false;
};

// Reads a whole file into memory; raises EOSError when it cannot.
std::vector<uint8_t> ReadFileBytes(const std::string& fileName);

}  // namespace comp
