// Holds level 0 of a texture locked while it lives: no other lock of that level is granted meanwhile, so
// that every upload into it fails (as when the system is short of resources).
#pragma once

#include <d3d9.h>

namespace testing_support {

class HeldTextureLock {
public:
    explicit HeldTextureLock(IDirect3DTexture9* texture) : texture_(texture) {
        D3DLOCKED_RECT locked{};
        held_ = texture_ && SUCCEEDED(texture_->LockRect(0, &locked, nullptr, D3DLOCK_READONLY));
    }
    ~HeldTextureLock() {
        if (held_) texture_->UnlockRect(0);
    }
    HeldTextureLock(const HeldTextureLock&) = delete;
    HeldTextureLock& operator=(const HeldTextureLock&) = delete;
    bool Held() const { return held_; }

private:
    IDirect3DTexture9* texture_;
    bool held_ = false;
};

}  // namespace testing_support
