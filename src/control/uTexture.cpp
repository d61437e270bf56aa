// Copying bitmaps into face textures and composing face backgrounds.
#include "control/uTexture.h"

#include <cstring>

void ConvertRowToTexels(const uint8_t* pixels, uint32_t* texels, int count) {
    // Four pixels (twelve bytes) at a time as three little-endian words:
    // w0 = B0 G0 R0 B1, w1 = G1 R1 B2 G2, w2 = R2 B3 G3 R3.
    int c = 0;
    for (; c + 4 <= count; c += 4, pixels += 12) {
        uint32_t w[3];
        std::memcpy(w, pixels, sizeof w);
        texels[c + 0] = 0xFF000000u | (w[0] & 0x00FFFFFFu);
        texels[c + 1] = 0xFF000000u | (w[0] >> 24) | ((w[1] & 0xFFFFu) << 8);
        texels[c + 2] = 0xFF000000u | (w[1] >> 16) | ((w[2] & 0xFFu) << 16);
        texels[c + 3] = 0xFF000000u | (w[2] >> 8);
    }
    for (; c < count; ++c, pixels += 3)
        texels[c] = 0xFF000000u | (static_cast<uint32_t>(pixels[2]) << 16) |
                    (static_cast<uint32_t>(pixels[1]) << 8) | pixels[0];
}

HRESULT CopyBitmapToTexture(IDirect3DTexture9* texture, comp::Bitmap& bitmap, uint16_t x, uint16_t y) {
    if (!texture || bitmap.Empty()) return E_INVALIDARG;
    // The lock need not check the rectangle: one past the level's edge can be answered with memory
    // beyond the level.
    D3DSURFACE_DESC level{};
    HRESULT hr = texture->GetLevelDesc(0, &level);
    if (FAILED(hr)) return hr;
    if (static_cast<UINT>(x) + static_cast<UINT>(bitmap.Width()) > level.Width ||
        static_cast<UINT>(y) + static_cast<UINT>(bitmap.Height()) > level.Height)
        return D3DERR_INVALIDCALL;
    const RECT rect{x, y, x + bitmap.Width(), y + bitmap.Height()};
    D3DLOCKED_RECT locked{};
    hr = texture->LockRect(0, &locked, &rect, 0);
    if (FAILED(hr)) return hr;
    try {
        bitmap.SetPixelFormat(comp::PixelFormat::pf24bit);
    } catch (...) {
        texture->UnlockRect(0);
        throw;
    }
    const uint8_t* rows = bitmap.ScanLine(0);
    auto* base = static_cast<uint8_t*>(locked.pBits);
    for (int r = 0; r < bitmap.Height(); ++r)
        ConvertRowToTexels(rows + static_cast<size_t>(r) * bitmap.Stride(),
                           reinterpret_cast<uint32_t*>(base + static_cast<size_t>(r) * locked.Pitch), bitmap.Width());
    texture->UnlockRect(0);
    return hr;
}
