// The cube camera: view and projection matrices.
#include "control/uCamera.h"

using namespace d3dmath;

namespace {
// pi as the nearest single.
constexpr float kPi = 3.14159274f;
}  // namespace

TCubeCamera::TCubeCamera() {
    keys_.fill(0);
    SetViewPoint(Vec3(0, 0, 0), Vec3(0, 0, 1));
    SetProjection(kPi / 4.0f, 1.0f, 1.0f, 1000.0f);
    if (!GetCursorPos(&lastCursor_)) lastCursor_ = POINT{0, 0};
}

uint8_t TCubeCamera::TranslateKey(UINT key) const {
    switch (key) {
        case VK_LEFT: case 'A': case VK_NUMPAD4: return 0;
        case VK_RIGHT: case 'D': case VK_NUMPAD6: return 1;
        case VK_UP: case 'W': case VK_NUMPAD8: return 2;
        case VK_DOWN: case 'S': case VK_NUMPAD2: return 3;
        case VK_PRIOR: case 'E': case VK_NUMPAD9: return 4;
        case VK_NEXT: case 'Q': case VK_NUMPAD3: return 5;
        case VK_HOME: return 6;
        default: return kNoAction;
    }
}

int TCubeCamera::TrackInput(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    auto buttonDown = [&](bool& flag, int bit) {
        flag = true;
        buttonMask_ |= bit;
        SetCapture(window);
        GetCursorPos(&lastCursor_);
        return 1;
    };
    auto buttonUp = [&](bool& flag, int bit) {
        flag = false;
        buttonMask_ &= ~bit;
        if (!leftDown_ && !middleDown_ && !rightDown_) ReleaseCapture();
        return 0;
    };
    switch (message) {
        case WM_KEYDOWN: {
            const uint8_t action = TranslateKey(static_cast<UINT>(wParam));
            if (action != kNoAction && !IsHeld(keys_[action])) keys_[action] = kHeld | kWasPressed;
            return 0;
        }
        case WM_KEYUP: {
            const uint8_t action = TranslateKey(static_cast<UINT>(wParam));
            if (action != kNoAction) keys_[action] &= static_cast<uint8_t>(~kHeld);
            return 0;
        }
        case WM_LBUTTONDOWN: return buttonDown(leftDown_, 1);
        case WM_MBUTTONDOWN: return buttonDown(middleDown_, 2);
        case WM_RBUTTONDOWN: return buttonDown(rightDown_, 4);
        case WM_LBUTTONUP: return buttonUp(leftDown_, 1);
        case WM_MBUTTONUP: return buttonUp(middleDown_, 2);
        case WM_RBUTTONUP: return buttonUp(rightDown_, 4);
        case WM_MOUSEWHEEL:
            wheelSteps_ = static_cast<short>(HIWORD(wParam)) / 120;
            return 0;
        default: return 0;
    }
}

void TCubeCamera::RestoreViewPoint() { SetViewPoint(defaultEye_, defaultLookAt_); }

void TCubeCamera::SetViewPoint(const TVector3& eye, const TVector3& lookAt) {
    defaultEye_ = eye_ = eye;
    defaultLookAt_ = lookAt_ = lookAt;
    view_ = LookAtLH(eye, lookAt, Vec3(0, 1, 0));
}

void TCubeCamera::SetProjection(float fov, float aspect, float nearPlane, float farPlane) {
    fov_ = fov;
    aspect_ = aspect;
    nearPlane_ = nearPlane;
    farPlane_ = farPlane;
    projection_ = PerspectiveFovLH(fov, aspect, nearPlane, farPlane);
}
