// Face picture loading and composition.
#include "shared/uFacePicture.h"

#include <utility>

#include "components/jpeg.h"
#include "components/paths.h"

using comp::Bitmap;

POINT CenteredPicturePosition(int faceWidth, int faceHeight, int pictureWidth, int pictureHeight) {
    // C++ division truncates toward zero, as the placement rule asks.
    return POINT{faceWidth / 2 - pictureWidth / 2, faceHeight / 2 - pictureHeight / 2};
}

SIZE TileCounts(int faceWidth, int faceHeight, int pictureWidth, int pictureHeight) {
    if (pictureWidth <= 0 || pictureHeight <= 0) return SIZE{0, 0};
    SIZE n{faceWidth / pictureWidth, faceHeight / pictureHeight};
    if (faceWidth % pictureWidth != 0) ++n.cx;
    if (faceHeight % pictureHeight != 0) ++n.cy;
    return n;
}

bool IsFaceTextureSide(uint16_t side) { return side == 256 || side == 512 || side == 1024; }

void LoadFacePicture(const std::string& fileName, Bitmap& bitmap) {
    const std::string ext = comp::ExtractFileExt(fileName);
    if (lstrcmpiA(ext.c_str(), ".jpg") == 0 || lstrcmpiA(ext.c_str(), ".jpeg") == 0) {
        comp::JpegImage jpeg;
        jpeg.LoadFromFile(fileName);
        Bitmap decoded;
        jpeg.AssignTo(decoded);
        bitmap = std::move(decoded);
        return;
    }
    Bitmap loaded;
    loaded.LoadFromFile(fileName);
    bitmap = std::move(loaded);
}

bool ComposeFacePicture(Bitmap& face, int width, int height, uint8_t position, COLORREF backColor, bool forUpload) {
    if (position > kPicTile) return false;
    const int W = width, H = height;
    const bool to32Bits = position == kPicCenter && !forUpload;
    if (face.Width() == W && face.Height() == H) {
        // A picture of the face's own size covers it exactly as it is, stretched, centred or tiled:
        // only the centre's change to 32 bits per pixel is left.
        if (to32Bits) face.SetPixelFormat(comp::PixelFormat::pf32bit);
        return true;
    }
    // The picture becomes the source, in its own format (drawing converts); the face bitmap starts
    // again, empty.
    const comp::PixelFormat format = to32Bits ? comp::PixelFormat::pf32bit : face.Format();
    const Bitmap source = std::move(face);
    face = Bitmap(W, H, format);
    const int w = source.Width(), h = source.Height();
    if (source.Empty()) {
        // Nothing to stretch, centre or tile: the face shows its colour.
        face.Fill(backColor);
        return true;
    }
    switch (position) {
        case kPicStretch:
            face.StretchDraw(RECT{0, 0, W, H}, source);
            break;
        case kPicCenter: {
            // The colour only where the picture leaves the face uncovered.
            const POINT at = CenteredPicturePosition(W, H, w, h);
            face.FillRect(RECT{0, 0, W, at.y}, backColor);
            face.FillRect(RECT{0, at.y + h, W, H}, backColor);
            face.FillRect(RECT{0, at.y, at.x, at.y + h}, backColor);
            face.FillRect(RECT{at.x + w, at.y, W, at.y + h}, backColor);
            face.Draw(source, at.x, at.y);
            break;
        }
        default: {
            const SIZE n = TileCounts(W, H, w, h);
            for (int c = 0; c < n.cx; ++c)
                for (int r = 0; r < n.cy; ++r) face.Draw(source, c * w, r * h);
            break;
        }
    }
    return true;
}
