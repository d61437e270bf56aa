// Loading picture files (bitmap and JPEG) into bitmaps.
#include "components/picture.h"

#include "components/jpeg.h"
#include "components/paths.h"

namespace comp {

namespace {

enum class PictureKind { Unknown, Bmp, Jpeg };

PictureKind KindOf(const std::string& fileName) {
    const std::string ext = ExtractFileExt(fileName);
    if (lstrcmpiA(ext.c_str(), ".bmp") == 0) return PictureKind::Bmp;
    if (lstrcmpiA(ext.c_str(), ".jpg") == 0 || lstrcmpiA(ext.c_str(), ".jpeg") == 0) return PictureKind::Jpeg;
    return PictureKind::Unknown;
}

}  // namespace

bool IsPictureFileName(const std::string& fileName) { return KindOf(fileName) != PictureKind::Unknown; }

void Picture::LoadFromFile(const std::string& fileName) {
    switch (KindOf(fileName)) {
        case PictureKind::Bmp: {
            Bitmap loaded;
            loaded.LoadFromFile(fileName);
            bitmap_ = std::move(loaded);
            return;
        }
        case PictureKind::Jpeg: {
            JpegImage jpeg;
            jpeg.LoadFromFile(fileName);
            jpeg.AssignTo(bitmap_);
            return;
        }
        default:
            throw EInvalidGraphic("Unknown picture file extension (" + ExtractFileExt(fileName) + ")");
    }
}

}  // namespace comp
