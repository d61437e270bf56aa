// The render loop's rules without a device: cursor mapping, spin decay, the orientation step,
// the frame-rate count, the frame timer, the scene record's start values and the back-buffer size.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>

#include "control/uFrameTimer.h"
#include "control/uGlobal.h"
#include "control/uInit.h"
#include "control/uRender.h"
#include "math_expect.h"

using namespace d3dmath;

namespace {

gTGlobalVars FreshRecord(TFaceArray& faces) {
    gTGlobalVars g;
    InitGlobalVars(g, &faces);
    return g;
}

}  // namespace

TEST(SceneRecord, InitGlobalVarsSetsTheStartValues) {
    TFaceArray faces{};
    gTGlobalVars g;
    std::memset(&g, 0x5A, sizeof g);
    InitGlobalVars(g, &faces);
    EXPECT_EQ(GlobalVars, &g);
    EXPECT_EQ(g.LastX, -1);
    EXPECT_EQ(g.LastY, -1);
    EXPECT_EQ(g.DragSourceFace, -1);
    EXPECT_EQ(g.CurrentFace, -1);
    EXPECT_EQ(g.Faces, &faces);
    EXPECT_EQ(g.SpinX, 0);
    EXPECT_EQ(g.SpinY, 0);
    EXPECT_FALSE(g.Dragging || g.InsideView || g.RotateMode || g.Animating || g.Started || g.HideFaces);
    EXPECT_EQ(g.AnimStep.m[3][3], 0.0f);
    EXPECT_EQ(g.D3D.Device, nullptr);
    EXPECT_EQ(g.D3D.Camera, nullptr);
    EXPECT_EQ(g.D3D.PresentParams.BackBufferWidth, 0u);
    EXPECT_EQ(g.D3D.BackBufferWidth, 0);
    EXPECT_EQ(g.DraggedLink, nullptr);
    EXPECT_EQ(g.DesktopListView, nullptr);
}

TEST(CursorMapping, ScalesAndRoundsHalvesToEven) {
    EXPECT_EQ(DivRoundHalfEven(5, 2), 2);
    EXPECT_EQ(DivRoundHalfEven(7, 2), 4);
    EXPECT_EQ(DivRoundHalfEven(-5, 2), -2);
    EXPECT_EQ(DivRoundHalfEven(-7, 2), -4);
    EXPECT_EQ(DivRoundHalfEven(10, 4), 2);
    EXPECT_EQ(DivRoundHalfEven(11, 4), 3);
    EXPECT_EQ(DivRoundHalfEven(-11, 4), -3);
    EXPECT_EQ(DivRoundHalfEven(9, 4), 2);

    const SIZE client{1024, 768};
    // Same size: unchanged.
    POINT p = ClientToBackBuffer(POINT{300, 200}, client, client);
    EXPECT_EQ(p.x, 300);
    EXPECT_EQ(p.y, 200);
    // 640 x 480 behind 1024 x 768: x 4 -> 2.5 -> 2, x 12 -> 7.5 -> 8; y 4 -> 2.5 -> 2, y 12 -> 8.
    p = ClientToBackBuffer(POINT{4, 12}, client, SIZE{640, 480});
    EXPECT_EQ(p.x, 2);
    EXPECT_EQ(p.y, 8);
    p = ClientToBackBuffer(POINT{12, 4}, client, SIZE{640, 480});
    EXPECT_EQ(p.x, 8);
    EXPECT_EQ(p.y, 2);
    p = ClientToBackBuffer(POINT{1023, 767}, client, SIZE{640, 480});
    EXPECT_EQ(p.x, 639);
    EXPECT_EQ(p.y, 479);
    // A cursor left of or above the control maps to negative pixels, rounded the same way.
    p = ClientToBackBuffer(POINT{-4, -12}, client, SIZE{640, 480});
    EXPECT_EQ(p.x, -2);
    EXPECT_EQ(p.y, -8);
    // An empty client area answers the point that picks nothing.
    EXPECT_TRUE(IsNoBackBufferPoint(ClientToBackBuffer(POINT{5, 5}, SIZE{0, 768}, SIZE{640, 480})));
    EXPECT_TRUE(IsNoBackBufferPoint(ClientToBackBuffer(POINT{5, 5}, SIZE{1024, 0}, SIZE{640, 480})));
}

TEST(CursorMapping, ReadsTheWindowsClientArea) {
    HWND window = CreateWindowExA(0, "STATIC", "map", WS_POPUP, 0, 0, 512, 384, nullptr, nullptr, nullptr, nullptr);
    ASSERT_NE(window, nullptr);
    TFaceArray faces{};
    gTGlobalVars g = FreshRecord(faces);
    g.D3D.BackBufferWidth = 1024;
    g.D3D.BackBufferHeight = 768;
    POINT p = ClientToBackBuffer(window, POINT{100, 50}, g);
    EXPECT_EQ(p.x, 200);
    EXPECT_EQ(p.y, 100);
    SetWindowPos(window, nullptr, 0, 0, 0, 0, SWP_NOZORDER | SWP_NOACTIVATE);
    EXPECT_TRUE(IsNoBackBufferPoint(ClientToBackBuffer(window, POINT{100, 50}, g)));
    DestroyWindow(window);
}

TEST(SpinDecay, ShrinksByHalfAPercentAboveAHundredAndByOneBelow) {
    EXPECT_EQ(DecaySpin(0), 0);
    EXPECT_EQ(DecaySpin(1), 0);
    EXPECT_EQ(DecaySpin(-1), 0);
    EXPECT_EQ(DecaySpin(-150), -149);   // -149.25
    EXPECT_EQ(DecaySpin(150), 149);
    EXPECT_EQ(DecaySpin(100), 99);      // 99.5 rounds to 100 (even): unchanged, so one step
    EXPECT_EQ(DecaySpin(99), 98);       // 98.505 -> 99: unchanged, so one step
    EXPECT_EQ(DecaySpin(300), 298);     // 298.5 -> 298 (even)
    EXPECT_EQ(DecaySpin(302), 300);     // 300.49 -> 300
    EXPECT_EQ(DecaySpin(1000), 995);
    EXPECT_EQ(DecaySpin(-1000), -995);
    EXPECT_EQ(DecaySpin(2000000), 1990000);
    // From any speed the spin reaches 0, getting smaller in magnitude on every frame.
    for (int start : {5000, -5000, 101, -101}) {
        int v = start, frames = 0;
        while (v != 0 && frames < 100000) {
            const int next = DecaySpin(v);
            ASSERT_LT(std::abs(next), std::abs(v));
            ASSERT_TRUE(next == 0 || (next > 0) == (v > 0));
            v = next;
            ++frames;
        }
        EXPECT_EQ(v, 0) << start;
    }
}

TEST(Orientation, DragInRotateModeFollowsTheCursor) {
    TFaceArray faces{};
    gTGlobalVars g = FreshRecord(faces);
    g.Dragging = true;
    g.RotateMode = true;
    g.LastX = 100;
    g.LastY = 50;
    // 36 pixels to the left: SpinY 36, a turn of 0.1 radian about y in this frame.
    TMatrix w = StepOrientation(g, Identity(), POINT{64, 50});
    EXPECT_EQ(g.SpinY, 36);
    EXPECT_EQ(g.SpinX, 0);
    ExpectMatrixNear(w, RotationY(0.1f));
    EXPECT_EQ(g.LastX, 64);
    EXPECT_EQ(g.LastY, 50);
    // While dragging the speeds do not slow down; the next frame without a move stops the turn.
    w = StepOrientation(g, w, POINT{64, 50});
    EXPECT_EQ(g.SpinY, 0);
    ExpectMatrixNear(w, RotationY(0.1f));

    // Pitch: outside, moving down gives a negative speed; inside the sign turns round.
    g.LastY = 50;
    StepOrientation(g, Identity(), POINT{64, 86});
    EXPECT_EQ(g.SpinX, -36);
    g.InsideView = true;
    g.LastY = 50;
    w = StepOrientation(g, Identity(), POINT{64, 86});
    EXPECT_EQ(g.SpinX, 36);
    ExpectMatrixNear(w, RotationX(0.1f));
    // The world read from the device is applied first: W = world x R.
    const TMatrix world = RotationZ(0.5f);
    g.LastX = 64;
    g.LastY = 86;
    g.InsideView = false;
    ExpectMatrixNear(StepOrientation(g, world, POINT{64 - 72, 86}), Multiply(world, RotationY(0.2f)));
}

TEST(Orientation, DraggingWithoutRotateModeKeepsTheSpinAndAnUnmappedCursorChangesNothing) {
    TFaceArray faces{};
    gTGlobalVars g = FreshRecord(faces);
    g.Dragging = true;
    g.SpinY = 72;
    g.LastX = 10;
    TMatrix w = StepOrientation(g, Identity(), POINT{500, 500});
    EXPECT_EQ(g.SpinY, 72);  // neither follows the cursor nor slows down
    ExpectMatrixNear(w, RotationY(0.2f));
    EXPECT_EQ(g.LastX, 500);

    g.RotateMode = true;
    w = StepOrientation(g, Identity(), kNoBackBufferPoint);
    EXPECT_EQ(g.SpinY, 72);
    EXPECT_EQ(g.LastX, 500);
    ExpectMatrixNear(w, RotationY(0.2f));
}

TEST(Orientation, SpinSlowsAfterTheFrameThatUsedIt) {
    TFaceArray faces{};
    gTGlobalVars g = FreshRecord(faces);
    g.SpinY = -150;
    g.SpinX = 1;
    const TMatrix w = StepOrientation(g, Identity(), POINT{0, 0});
    ExpectMatrixNear(w, Multiply(RotationY(-150.0f / 360.0f), RotationX(1.0f / 360.0f)));
    EXPECT_EQ(g.SpinY, -149);
    EXPECT_EQ(g.SpinX, 0);
    EXPECT_EQ(g.LastX, 0);
    // The first frame overwrites the -1 start values.
    EXPECT_EQ(g.LastY, 0);
}

TEST(Orientation, TheTenFrameAnimationAddsItsStepAndIgnoresCursorAndSpin) {
    TFaceArray faces{};
    gTGlobalVars g = FreshRecord(faces);
    // Bring face 5 to the front in 10 frames: world goes from identity to RotationY(-pi/2).
    const TMatrix target = RotationY(-1.57079633f);
    TMatrix step = SubtractElements(target, Identity());
    for (auto& row : step.m)
        for (float& e : row) e /= 10.0f;
    g.Animating = true;
    g.AnimFramesLeft = 10;
    g.AnimStep = step;
    g.SpinY = 90;
    g.Dragging = true;
    g.RotateMode = true;
    g.LastX = 7;
    TMatrix world = Identity();
    for (int frame = 1; frame <= 10; ++frame) {
        ASSERT_TRUE(g.Animating);
        world = StepOrientation(g, world, POINT{400, 400});
        EXPECT_EQ(g.AnimFramesLeft, 10 - frame);
    }
    EXPECT_FALSE(g.Animating);
    ExpectMatrixNear(world, target, 1e-5f);
    EXPECT_EQ(g.SpinY, 90);
    EXPECT_EQ(g.LastX, 7);
    // Afterwards the cursor and the spin apply again.
    StepOrientation(g, world, POINT{7 - 36, 0});
    EXPECT_EQ(g.SpinY, 36);
}

TEST(FrameRate, CountsFramesPerSecondAndFormatsTheCaption) {
    TFaceArray faces{};
    gTGlobalVars g = FreshRecord(faces);
    // The first frame: LastFPSTime 0 against a clock since boot gives 0 at once.
    EXPECT_TRUE(CountFrame(g, 5000.0f));
    EXPECT_EQ(g.FPSValue, 0);
    EXPECT_EQ(g.FrameCount, 0);
    EXPECT_FLOAT_EQ(g.LastFPSTime, 5000.0f);
    // 31 frames with the last one 1.02 s after the update: 30.
    g.LastFPSTime = 10.0f;
    g.FrameCount = 0;
    for (int i = 1; i < 31; ++i) EXPECT_FALSE(CountFrame(g, 10.0f + 0.03f * i));
    EXPECT_EQ(g.FrameCount, 30);
    EXPECT_TRUE(CountFrame(g, 11.02f));
    EXPECT_EQ(g.FPSValue, 30);
    EXPECT_EQ(g.FrameCount, 0);
    EXPECT_FLOAT_EQ(g.LastFPSTime, 11.02f);
    EXPECT_FLOAT_EQ(g.FrameTime, 11.02f);
    // Exactly one second is not more than one second.
    g.LastFPSTime = 20.0f;
    EXPECT_FALSE(CountFrame(g, 21.0f));
    EXPECT_EQ(FPSCaption(30), "FPS: 30");
    EXPECT_EQ(FPSCaption(0), "FPS: 0");
}

namespace {

// A clock the test moves by hand.
LONGLONG gCounter = 0;
LONGLONG gFrequency = 1000;
DWORD gTicks = 0;
BOOL WINAPI FakeFrequency(LARGE_INTEGER* f) {
    f->QuadPart = gFrequency;
    return gFrequency != 0;
}
BOOL WINAPI FakeCounter(LARGE_INTEGER* c) {
    c->QuadPart = gCounter;
    return TRUE;
}
DWORD WINAPI FakeTicks() { return gTicks; }

}  // namespace

TEST(FrameTimer, CommandsOverTheHighResolutionCounter) {
    gFrequency = 1000;
    gCounter = 5000;
    TFrameTimer timer(TFrameClock{FakeFrequency, FakeCounter, FakeTicks});
    EXPECT_FLOAT_EQ(timer.Command(ftGetAbsoluteTime), 5.0f);
    EXPECT_FLOAT_EQ(timer.Command(ftReset), 0.0f);
    gCounter = 7500;
    EXPECT_FLOAT_EQ(timer.Command(ftGetAppTime), 2.5f);
    EXPECT_FLOAT_EQ(timer.Command(ftGetElapsedTime), 2.5f);
    gCounter = 8000;
    EXPECT_FLOAT_EQ(timer.Command(ftGetElapsedTime), 0.5f);

    EXPECT_FLOAT_EQ(timer.Command(ftStop), 0.0f);  // stopped at 8000
    gCounter = 10000;
    EXPECT_FLOAT_EQ(timer.Command(ftGetAppTime), 3.0f);        // frozen at the stop time
    EXPECT_FLOAT_EQ(timer.Command(ftGetAbsoluteTime), 10.0f);  // always fresh
    EXPECT_FLOAT_EQ(timer.Command(ftAdvance), 0.0f);
    EXPECT_FLOAT_EQ(timer.Command(ftGetAppTime), 3.1f);
    EXPECT_FLOAT_EQ(timer.Command(ftStop), 0.0f);  // already stopped: no change
    EXPECT_FLOAT_EQ(timer.Command(ftGetAppTime), 3.1f);

    // Start again at 10000: the 1.9 s pause (8100 to 10000) is taken out of the app time.
    EXPECT_FLOAT_EQ(timer.Command(ftStart), 0.0f);
    gCounter = 11000;
    EXPECT_FLOAT_EQ(timer.Command(ftGetAppTime), 4.1f);
    EXPECT_FLOAT_EQ(timer.Command(ftGetElapsedTime), 1.0f);
    EXPECT_FLOAT_EQ(timer.Command(7), -1.0f);
    EXPECT_FLOAT_EQ(timer.Command(-1), -1.0f);
}

TEST(FrameTimer, FallsBackToTheTickCountInSeconds) {
    gFrequency = 0;  // no high-resolution counter
    gTicks = 2000;
    TFrameTimer timer(TFrameClock{FakeFrequency, FakeCounter, FakeTicks});
    EXPECT_FLOAT_EQ(timer.Command(ftGetAbsoluteTime), 2.0f);
    timer.Command(ftReset);
    gTicks = 3500;
    EXPECT_NEAR(timer.Command(ftGetAppTime), 1.5f, 1e-6f);
    timer.Command(ftStop);
    gTicks = 9000;
    EXPECT_NEAR(timer.Command(ftGetAppTime), 1.5f, 1e-6f);
    timer.Command(ftAdvance);
    EXPECT_NEAR(timer.Command(ftGetAppTime), 1.6f, 1e-6f);
    timer.Command(ftStart);
    gTicks = 9500;
    EXPECT_NEAR(timer.Command(ftGetAppTime), 2.1f, 1e-5f);
    gFrequency = 1000;
    // The system timer answers a growing absolute time.
    const float a = FrameTimer(ftGetAbsoluteTime);
    Sleep(20);
    EXPECT_GT(FrameTimer(ftGetAbsoluteTime), a);
}

TEST(BackBufferSize, FollowsTheQualitySetting) {
    const SIZE client{1280, 1000};
    SIZE s = BackBufferSizeForQuality(0, client);
    EXPECT_EQ(s.cx, 640);
    EXPECT_EQ(s.cy, 480);
    s = BackBufferSizeForQuality(1, client);
    EXPECT_EQ(s.cx, 800);
    EXPECT_EQ(s.cy, 600);
    s = BackBufferSizeForQuality(2, client);
    EXPECT_EQ(s.cx, 1280);
    EXPECT_EQ(s.cy, 1000);
    // Values the settings dialog never writes take the client size too.
    for (int q : {-1, 3, 5}) {
        s = BackBufferSizeForQuality(q, client);
        EXPECT_EQ(s.cx, 1280);
        EXPECT_EQ(s.cy, 1000);
    }
}
