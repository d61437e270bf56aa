// A face picture of the cube: loading the picture file and composing the face background from it
// (stretched, centred on a colour, or tiled) at the face's size. The cube's faces and the face
// picture dialog's preview both compose through these functions, so that the preview shows what the
// face will show. Pure bitmap work: nothing here knows of Direct3D.
#pragma once

#include <windows.h>

#include <cstdint>
#include <string>

#include "components/bitmap.h"

// Picture positions ("bpp" of "Opt.ini").
constexpr uint8_t kPicStretch = 0;
constexpr uint8_t kPicCenter = 1;
constexpr uint8_t kPicTile = 2;

// Where a w x h picture lands when centred on a W x H face (may be negative: cut on all sides).
POINT CenteredPicturePosition(int faceWidth, int faceHeight, int pictureWidth, int pictureHeight);
// Columns and rows of w x h tiles that cover a W x H face (the last ones cut at the edge).
SIZE TileCounts(int faceWidth, int faceHeight, int pictureWidth, int pictureHeight);
// Whether a side length is one the face textures take (256, 512, 1024).
bool IsFaceTextureSide(uint16_t side);

// Loads a face picture file into |bitmap|: JPEG when the extension is ".jpg" or ".jpeg" in any letter
// case, a bitmap file otherwise. Raises comp::EInvalidGraphic or comp::EOSError (|bitmap| unchanged).
void LoadFacePicture(const std::string& fileName, comp::Bitmap& bitmap);

// Turns |face|, which holds the source picture, into the |width| x |height| face background for
// |position|: stretched over the face, centred unscaled on |backColor| (the face bitmap becomes 32 bits
// per pixel), or tiled unscaled from the top-left corner. An empty source gives the plain |backColor|.
// Any other position leaves |face| as it is and answers false. |forUpload|: the face bitmap goes into a
// texture at once, which leaves it 24 bits per pixel whatever it was; a centred face then keeps the
// source's format instead of becoming 32 bits only to be turned back (same pixels, half the copying).
bool ComposeFacePicture(comp::Bitmap& face, int width, int height, uint8_t position, COLORREF backColor,
                        bool forUpload = false);
