// Upload of a bitmap into a rectangle of a texture, and the colour byte swap.
#pragma once

#include <windows.h>
#include <d3d9.h>

#include <cstdint>

#include "components/bitmap.h"

// Copies the whole bitmap into level 0 of |texture| with its top-left corner at texel (x, y),
// as opaque A8R8G8B8 texels. The bitmap is converted to 24 bits per pixel and stays so. A
// rectangle that does not lie inside level 0 is refused with D3DERR_INVALIDCALL; when it is
// refused or the lock fails nothing is written. Answers the lock's result.
HRESULT CopyBitmapToTexture(IDirect3DTexture9* texture, comp::Bitmap& bitmap, uint16_t x, uint16_t y);

// Converts one row of 24-bit pixels (blue, green, red) to opaque 0xFFRRGGBB texels.
void ConvertRowToTexels(const uint8_t* pixels, uint32_t* texels, int count);

// A colour value with red in the low byte to Direct3D's 0x00RRGGBB; the high byte is dropped.
constexpr uint32_t SwapRB(uint32_t colour) {
    return ((colour & 0xFFu) << 16) | (colour & 0xFF00u) | ((colour >> 16) & 0xFFu);
}
