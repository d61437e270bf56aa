// The cube's camera: a view matrix from an eye and a look-at point, a perspective projection,
// and the key and mouse state that camera navigation would use.
#pragma once

#include <windows.h>

#include <array>
#include <cstdint>

#include "control/d3dmath.h"

class TCubeCamera {
public:
    static constexpr uint8_t kNoAction = 255;
    static constexpr uint8_t kHeld = 0x01;        // key state bit 0
    static constexpr uint8_t kWasPressed = 0x80;  // key state bit 7

    TCubeCamera();
    virtual ~TCubeCamera() = default;
    TCubeCamera(const TCubeCamera&) = delete;
    TCubeCamera& operator=(const TCubeCamera&) = delete;

    // Camera action 0..6 of a virtual-key code, or kNoAction.
    virtual uint8_t TranslateKey(UINT key) const;
    // Follows keys, buttons (with mouse capture) and the wheel; 1 for a button-down, else 0.
    virtual int TrackInput(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    // Back to the view point of the last SetViewPoint.
    virtual void RestoreViewPoint();

    void SetViewPoint(const d3dmath::TVector3& eye, const d3dmath::TVector3& lookAt);
    void SetProjection(float fov, float aspect, float nearPlane, float farPlane);
    const d3dmath::TMatrix& GetView() const { return view_; }
    const d3dmath::TMatrix& GetProjection() const { return projection_; }

    static bool IsHeld(uint8_t keyState) { return (keyState & kHeld) != 0; }

    // Read-only views of the tracked state.
    uint8_t KeyState(int action) const { return keys_[action]; }
    int ButtonMask() const { return buttonMask_; }
    int WheelSteps() const { return wheelSteps_; }
    POINT LastCursor() const { return lastCursor_; }
    const d3dmath::TVector3& Eye() const { return eye_; }
    const d3dmath::TVector3& LookAt() const { return lookAt_; }
    float Fov() const { return fov_; }
    float Aspect() const { return aspect_; }
    float NearPlane() const { return nearPlane_; }
    float FarPlane() const { return farPlane_; }

private:
    d3dmath::TMatrix view_;
    d3dmath::TMatrix projection_;
    std::array<uint8_t, 7> keys_{};
    POINT lastCursor_{0, 0};
    bool leftDown_ = false;
    bool middleDown_ = false;
    bool rightDown_ = false;
    int buttonMask_ = 0;
    int wheelSteps_ = 0;
    d3dmath::TVector3 defaultEye_;
    d3dmath::TVector3 defaultLookAt_;
    d3dmath::TVector3 eye_;
    d3dmath::TVector3 lookAt_;
    float fov_ = 0, aspect_ = 0, nearPlane_ = 0, farPlane_ = 0;
};
