// The four-quadrant test picture and colour comparison.
#include "test_pictures.h"

#include <cstdint>
#include <cstdio>
#include <cstring>
#include <cstdlib>

namespace testing_support {

void FillQuadrants(comp::Bitmap& b) {
    const int w = b.Width(), h = b.Height();
    b.FillRect(RECT{0, 0, w / 2, h / 2}, kRed);
    b.FillRect(RECT{w / 2, 0, w, h / 2}, kGreen);
    b.FillRect(RECT{0, h / 2, w / 2, h}, kBlue);
    b.FillRect(RECT{w / 2, h / 2, w, h}, kYellow);
}

comp::Bitmap QuadrantBitmap(int w, int h, comp::PixelFormat format) {
    comp::Bitmap b(w, h, format);
    FillQuadrants(b);
    return b;
}

bool ColoursNear(COLORREF a, COLORREF b, int tolerance) {
    return std::abs(GetRValue(a) - GetRValue(b)) <= tolerance && std::abs(GetGValue(a) - GetGValue(b)) <= tolerance &&
           std::abs(GetBValue(a) - GetBValue(b)) <= tolerance;
}

std::string ColourHex(COLORREF c) {
    char buf[16];
    std::snprintf(buf, sizeof buf, "%06X", static_cast<unsigned>(c));
    return buf;
}

comp::Bitmap ReadRenderTarget(IDirect3DDevice9* device) {
    comp::Bitmap frame;
    IDirect3DSurface9* target = nullptr;
    IDirect3DSurface9* copy = nullptr;
    D3DSURFACE_DESC desc{};
    if (!device || FAILED(device->GetRenderTarget(0, &target))) return frame;
    target->GetDesc(&desc);
    if (SUCCEEDED(device->CreateOffscreenPlainSurface(desc.Width, desc.Height, desc.Format, D3DPOOL_SYSTEMMEM, &copy,
                                                      nullptr)) &&
        SUCCEEDED(device->GetRenderTargetData(target, copy))) {
        D3DLOCKED_RECT locked{};
        if (SUCCEEDED(copy->LockRect(&locked, nullptr, D3DLOCK_READONLY))) {
            frame = comp::Bitmap(static_cast<int>(desc.Width), static_cast<int>(desc.Height), comp::PixelFormat::pf32bit);
            for (UINT y = 0; y < desc.Height; ++y)
                std::memcpy(frame.ScanLine(static_cast<int>(y)),
                            static_cast<uint8_t*>(locked.pBits) + y * static_cast<UINT>(locked.Pitch), desc.Width * 4);
            copy->UnlockRect();
        }
    }
    if (copy) copy->Release();
    target->Release();
    return frame;
}

}  // namespace testing_support
