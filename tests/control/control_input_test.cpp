// The cube's input in the control form under Wine, with a real device and real window messages (keys by
// SendInput): selecting and dragging items within and between faces, opening them, turning the cube,
// bringing a face to the front, the inside view and hidden faces, the context menu's items and commands,
// the face parameters from "Opt.ini", and files dropped on a face.
#include <windows.h>
#include <shlobj.h>
#include <shellapi.h>

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "components/paths.h"
#include "components/window.h"
#include "control/_3DVexlorFormImpl.h"
#include "control/uGranDesktop.h"
#include "control/uInputRules.h"
#include "control/uInter.h"
#include "data_folder.h"
#include "fixtures.h"
#include "shared/uMessages.h"
#include "shared/uOptionsShared.h"
#include "shared/uParameters.h"
#include "test_pictures.h"
#include "texture_lock.h"
#include "test_windows.h"

using namespace d3dmath;
using testing_support::FakePeer;
using testing_support::HeldTextureLock;
using testing_support::Pump;
using testing_support::PumpUntil;
using testing_support::ReadWholeFile;
using testing_support::WriteWholeFile;

namespace {

constexpr DWORD kGenerous = 20000;  // only a real fault waits this long

bool Exists(const std::string& path) { return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES; }

LPARAM At(POINT p) { return MAKELPARAM(p.x, p.y); }

void CloseOpenMenu() {
    if (HWND menu = FindWindowA("#32768", nullptr)) PostMessageA(menu, WM_KEYDOWN, VK_ESCAPE, 0);
    EndMenu();
}

// Presses or releases a key through the platform's input queue.
void SendKey(WORD vk, bool up) {
    INPUT in{};
    in.type = INPUT_KEYBOARD;
    in.ki.wVk = vk;
    in.ki.wScan = static_cast<WORD>(MapVirtualKeyA(vk, 0));
    in.ki.dwFlags = up ? KEYEVENTF_KEYUP : 0;
    SendInput(1, &in, sizeof in);
}

// A drop of files as the shell hands it over: a DROPFILES block of ANSI names.
HGLOBAL DropOf(const std::vector<std::string>& files) {
    std::string names;
    for (const std::string& f : files) names += f + '\0';
    names += '\0';
    HGLOBAL mem = GlobalAlloc(GHND, sizeof(DROPFILES) + names.size());
    auto* block = static_cast<DROPFILES*>(GlobalLock(mem));
    block->pFiles = sizeof(DROPFILES);
    memcpy(reinterpret_cast<char*>(block) + sizeof(DROPFILES), names.data(), names.size());
    GlobalUnlock(mem);
    return mem;
}

class CubeInputTest : public ::testing::Test {
protected:
    void SetUp() override {
        InputDesktopName = &ThreadDesktopName;
        SetDefaultSettings();
        Settings.use_3d_wallpaper = false;
        SaveSettings();
        face1_ = data_.Path() + "Desktops\\1\\";
        face5_ = data_.Path() + "Desktops\\5\\";
        comp::ForceDirectories(face1_);
        // Listed in name order: alpha on cell (0, 0), beta on (0, 1).
        WriteWholeFile(face1_ + "alpha.txt", std::string(300, 'a'));
        WriteWholeFile(face1_ + "beta.txt", "b");
        form_ = std::make_unique<T_3DVexlorForm>();
        form_->CreateControl(host_.Handle(), host_.Client());
        ASSERT_TRUE(form_->SceneCreated);
        // Picking reads the transforms that a frame left on the device.
        ASSERT_TRUE(PumpUntil([&] { return G().FrameCount + G().FPSValue > 0; }, kGenerous));
    }
    void TearDown() override {
        form_.reset();
        InputDesktopName = &RealInputDesktopName;
    }

    gTGlobalVars& G() { return form_->GlobalVarsRecord; }
    TGranDesktop& Face(int n) { return *form_->Faces[static_cast<size_t>(n)]; }
    HWND Control() { return form_->Handle(); }
    TLinkRecord* Item(int face, const std::string& name) {
        for (const auto& r : Face(face).Links)
            if (r->FileName == name) return r.get();
        return nullptr;
    }
    void SetWorld(const TMatrix& world) { G().D3D.Device->SetTransform(D3DTS_WORLD, &world); }
    TMatrix World() {
        TMatrix w = Identity();
        G().D3D.Device->GetTransform(D3DTS_WORLD, &w);
        return w;
    }

    // The client point that shows texel (tx, ty) of face n's picture under the device's transforms.
    POINT ClientOf(int face, double tx, double ty) {
        const TGranDesktop& f = Face(face);
        const float u = static_cast<float>(tx / f.TextureWidth), v = static_cast<float>(ty / f.TextureHeight);
        TVector3 c{};
        switch (face) {
            case 1: c = Vec3(2 * u - 1, 1 - 2 * v, -1); break;
            case 2: c = Vec3(1 - 2 * u, 1 - 2 * v, 1); break;
            case 3: c = Vec3(2 * u - 1, 1, 1 - 2 * v); break;
            case 4: c = Vec3(2 * u - 1, -1, 2 * v - 1); break;
            case 5: c = Vec3(1, 1 - 2 * v, 2 * u - 1); break;
            default: c = Vec3(-1, 1 - 2 * v, 1 - 2 * u); break;
        }
        D3DVIEWPORT9 vp{};
        TMatrix proj{}, view{}, world{};
        IDirect3DDevice9* d = G().D3D.Device;
        d->GetViewport(&vp);
        d->GetTransform(D3DTS_PROJECTION, &proj);
        d->GetTransform(D3DTS_VIEW, &view);
        d->GetTransform(D3DTS_WORLD, &world);
        const TVector3 s = Project(c, vp, proj, view, world);
        const double cw = form_->ClientWidth(), ch = form_->ClientHeight();
        return POINT{static_cast<LONG>(std::lround(s.x * cw / G().D3D.BackBufferWidth)),
                     static_cast<LONG>(std::lround(s.y * ch / G().D3D.BackBufferHeight))};
    }
    POINT IconOf(int face, int column, int row) { return ClientOf(face, column * 70 + 35, row * 70 + 25); }
    POINT CaptionOf(int face, int column, int row) { return ClientOf(face, column * 70 + 35, row * 70 + 60); }
    POINT Screen(POINT client) {
        ClientToScreen(Control(), &client);
        return client;
    }
    void MoveCursor(POINT client) {
        const POINT s = Screen(client);
        SetCursorPos(s.x, s.y);
    }

    void Press(POINT p) { SendMessageA(Control(), WM_LBUTTONDOWN, MK_LBUTTON, At(p)); }
    void Release(POINT p) { SendMessageA(Control(), WM_LBUTTONUP, 0, At(p)); }
    void Drag(POINT from, POINT to) {
        Press(from);
        SendMessageA(Control(), WM_MOUSEMOVE, MK_LBUTTON, At(to));
        Release(to);
    }
    bool Enabled(const char* item) { return form_->pm.Items.Find(item)->Enabled; }
    std::string FaceItems() {
        std::string s;
        for (const char* name : {"miCreate", "miDelete", "miProperties", "miArrangeSortby", "miCubuProperties"})
            s += Enabled(name) ? '1' : '0';
        return s;
    }
    // Texels of the selection colour in an item's caption band on face n.
    int Highlight(int face, const TLinkRecord& r) {
        IDirect3DTexture9* texture = Face(face).Texture;
        D3DLOCKED_RECT locked{};
        if (FAILED(texture->LockRect(0, &locked, nullptr, D3DLOCK_READONLY))) return -1;
        int n = 0;
        for (int y = r.Row * 70 + 43; y < r.Row * 70 + 70; ++y)
            for (int x = r.Column * 70 + 1; x < r.Column * 70 + 69; ++x) {
                const uint32_t t = static_cast<uint32_t*>(locked.pBits)[y * locked.Pitch / 4 + x];
                if (testing_support::ColoursNear(RGB((t >> 16) & 0xFF, (t >> 8) & 0xFF, t & 0xFF),
                                                 GetSysColor(COLOR_HIGHLIGHT), 8))
                    ++n;
            }
        texture->UnlockRect(0);
        return n;
    }

    // Texels of the icon area of cell (column, row) on face n that are not the face's colour.
    int IconInk(int face, int column, int row) {
        IDirect3DTexture9* texture = Face(face).Texture;
        D3DLOCKED_RECT locked{};
        if (FAILED(texture->LockRect(0, &locked, nullptr, D3DLOCK_READONLY))) return -1;
        int n = 0;
        for (int y = row * 70 + 9; y < row * 70 + 41; ++y)
            for (int x = column * 70 + 19; x < column * 70 + 51; ++x) {
                const uint32_t t = static_cast<uint32_t*>(locked.pBits)[y * locked.Pitch / 4 + x];
                if (!testing_support::ColoursNear(RGB((t >> 16) & 0xFF, (t >> 8) & 0xFF, t & 0xFF),
                                                  Face(face).BackColor, 2))
                    ++n;
            }
        texture->UnlockRect(0);
        return n;
    }

    testing_support::RegistrySandbox sandbox_;
    testing_support::ScratchDataFolder data_;
    FakePeer mainForm_{"T_3DVexlorControlForm"};  // the control program runs: no exit start
    testing_support::HostWindow host_{"CubeInputTestHost", "host", 800, 600};
    std::unique_ptr<T_3DVexlorForm> form_;
    std::string face1_, face5_;
};

}  // namespace

TEST_F(CubeInputTest, ClickSelectsAndArmsADragThatMovesTheItemToAFreeCell) {
    TLinkRecord* alpha = Item(1, "alpha.txt");
    TLinkRecord* beta = Item(1, "beta.txt");
    ASSERT_TRUE(alpha && beta);
    ASSERT_EQ(0, alpha->Row);
    ASSERT_EQ(1, beta->Row);

    // A press on the icon selects the item and arms it for a drag; the cursor shows it.
    Press(IconOf(1, 0, 0));
    EXPECT_EQ(1, G().CurrentFace);
    EXPECT_EQ(alpha, Face(1).Selected);
    EXPECT_EQ(alpha, G().DraggedLink);
    EXPECT_GT(Highlight(1, *alpha), 0);
    SendMessageA(Control(), WM_MOUSEMOVE, MK_LBUTTON, At(IconOf(1, 2, 3)));
    EXPECT_EQ(comp::crDrag, form_->Cursor());
    // Released on a free cell: the item goes there, selected; the drag is over.
    Release(IconOf(1, 2, 3));
    EXPECT_EQ(2, alpha->Column);
    EXPECT_EQ(3, alpha->Row);
    EXPECT_EQ(alpha, Face(1).Selected);
    EXPECT_EQ(nullptr, G().DraggedLink);
    EXPECT_EQ(comp::crDefault, form_->Cursor());

    // A press on a caption selects nothing and arms nothing.
    Press(CaptionOf(1, 0, 1));
    EXPECT_EQ(alpha, Face(1).Selected);
    EXPECT_EQ(nullptr, G().DraggedLink);
    Release(CaptionOf(1, 0, 1));

    // Selecting another item draws the old one plain; a drop on a taken cell changes nothing; a drop on the
    // caption of a free cell is taken.
    Drag(IconOf(1, 0, 1), IconOf(1, 2, 3));
    EXPECT_EQ(0, beta->Column);
    EXPECT_EQ(1, beta->Row);
    EXPECT_EQ(beta, Face(1).Selected);
    EXPECT_EQ(0, Highlight(1, *alpha));
    Drag(IconOf(1, 0, 1), CaptionOf(1, 4, 4));
    EXPECT_EQ(4, beta->Column);
    EXPECT_EQ(4, beta->Row);
    // An armed drag ends at its release even in rotate mode: a later plain click drops nothing.
    Press(IconOf(1, 4, 4));
    G().RotateMode = true;
    Release(IconOf(1, 5, 5));
    G().RotateMode = false;
    Press(CaptionOf(1, 6, 6));
    Release(CaptionOf(1, 6, 6));
    EXPECT_EQ(4, beta->Column);
    EXPECT_EQ(4, beta->Row);
}

TEST_F(CubeInputTest, ADragToAnotherFaceMovesTheFileButNeverOverAFileOfTheSameName) {
    SetWorld(RotationY(0.6f));  // face 5 shows on the right of face 1
    const POINT target = IconOf(5, 1, 3);
    ASSERT_EQ(5, form_->PickAt(target).Face);

    TLinkRecord* alpha = Item(1, "alpha.txt");
    Drag(IconOf(1, 0, 0), target);
    EXPECT_FALSE(Exists(face1_ + "alpha.txt"));
    EXPECT_EQ(std::string(300, 'a'), ReadWholeFile(face5_ + "alpha.txt"));
    EXPECT_EQ(nullptr, Item(1, "alpha.txt"));
    ASSERT_EQ(alpha, Item(5, "alpha.txt"));
    EXPECT_EQ(1, alpha->Column);
    EXPECT_EQ(3, alpha->Row);
    EXPECT_EQ(face5_ + "alpha.txt", alpha->Target);
    EXPECT_EQ(5, G().CurrentFace);
    EXPECT_EQ(alpha, Face(5).Selected);
    EXPECT_EQ(nullptr, Face(1).Selected);
    // The faces' re-scans keep it where it was dropped.
    Pump(500);
    EXPECT_EQ(alpha, Item(5, "alpha.txt"));
    EXPECT_EQ(3, alpha->Row);

    // beta's name exists on face 5 (in another letter case): the drop is refused and both files stay.
    WriteWholeFile(face5_ + "BETA.txt", "face five");
    ASSERT_TRUE(PumpUntil([&] { return Item(5, "BETA.txt") != nullptr; }, kGenerous));
    Drag(IconOf(1, 0, 1), IconOf(5, 2, 4));
    EXPECT_EQ("b", ReadWholeFile(face1_ + "beta.txt"));
    EXPECT_EQ("face five", ReadWholeFile(face5_ + "BETA.txt"));
    ASSERT_NE(nullptr, Item(1, "beta.txt"));
    EXPECT_EQ(1, Item(1, "beta.txt")->Row);
}

TEST_F(CubeInputTest, AnItemDroppedOnAnotherFaceGoesThereThoughNeitherCellCanBeDrawn) {
    SetWorld(RotationY(0.6f));  // face 5 shows on the right of face 1
    const POINT target = IconOf(5, 1, 3);
    ASSERT_EQ(5, form_->PickAt(target).Face);
    ASSERT_GT(IconInk(1, 0, 0), 100);

    TLinkRecord* alpha = Item(1, "alpha.txt");
    Press(IconOf(1, 0, 0));
    std::string reported;
    struct Reports {
        explicit Reports(std::string& to) {
            comp::SetExceptionHandler([into = &to](const std::exception& e) { *into = e.what(); });
        }
        ~Reports() { comp::SetExceptionHandler(nullptr); }
    } reports(reported);
    {
        // Neither face takes an upload: the source cell can't be erased, the target cell can't be drawn.
        const HeldTextureLock source(Face(1).Texture), destination(Face(5).Texture);
        ASSERT_TRUE(source.Held() && destination.Held());
        SendMessageA(Control(), WM_MOUSEMOVE, MK_LBUTTON, At(target));
        Release(target);
    }
    EXPECT_EQ("", reported);
    EXPECT_EQ(std::string(300, 'a'), ReadWholeFile(face5_ + "alpha.txt"));
    // The record followed its file, onto the cell it was dropped on.
    ASSERT_EQ(alpha, Item(5, "alpha.txt"));
    EXPECT_EQ(1, alpha->Column);
    EXPECT_EQ(3, alpha->Row);
    EXPECT_EQ(5, G().CurrentFace);
    // The next ticks erase the source cell and draw the target one.
    EXPECT_TRUE(PumpUntil([&] { return IconInk(1, 0, 0) == 0 && IconInk(5, 1, 3) > 100; }, 3000))
        << "source cell " << IconInk(1, 0, 0) << ", target cell " << IconInk(5, 1, 3);
    EXPECT_EQ(nullptr, Item(1, "alpha.txt"));
    ASSERT_NE(nullptr, Item(5, "alpha.txt"));
    EXPECT_EQ(1, Item(5, "alpha.txt")->Column);
    EXPECT_EQ(3, Item(5, "alpha.txt")->Row);
}

TEST_F(CubeInputTest, DoubleClickOpensTheItemAndInRotateModeBringsTheFaceToTheFront) {
    // An item that notes how it was started: the shell opens it from the face folder.
    ASSERT_TRUE(CopyFileA((testing_support::ExeFolder() + "\\control_exit_stub.exe").c_str(),
                          (face1_ + "stub.exe").c_str(), FALSE));
    ASSERT_TRUE(PumpUntil([&] { return Item(1, "stub.exe") != nullptr; }, kGenerous));
    const TLinkRecord* stub = Item(1, "stub.exe");
    const POINT icon = IconOf(1, stub->Column, stub->Row);
    MoveCursor(icon);
    SendMessageA(Control(), WM_LBUTTONDBLCLK, MK_LBUTTON, At(icon));
    Release(icon);
    const std::string log = face1_ + "exit_log.txt";
    ASSERT_TRUE(PumpUntil([&] { return ReadWholeFile(log).find("ended") != std::string::npos; }, kGenerous));
    // Started by its path in the face folder, folder and name joined by one separator.
    EXPECT_NE(std::string::npos, ReadWholeFile(log).find(face1_ + "stub.exe")) << ReadWholeFile(log);

    // In rotate mode a double click brings the face under the cursor to the front in ten frames.
    G().RotateMode = true;
    SetWorld(Multiply(RotationY(0.5f), RotationX(0.3f)));
    const POINT centre{form_->ClientWidth() / 2, form_->ClientHeight() / 2};
    ASSERT_EQ(1, form_->PickAt(centre).Face);
    MoveCursor(centre);
    SendMessageA(Control(), WM_LBUTTONDBLCLK, MK_LBUTTON, At(centre));
    Release(centre);
    EXPECT_TRUE(G().Animating);
    EXPECT_EQ(10, G().AnimFramesLeft);
    ASSERT_TRUE(PumpUntil([&] { return !G().Animating; }, kGenerous));
    const TMatrix w = World();
    for (int r = 0; r < 4; ++r)
        for (int c = 0; c < 4; ++c) EXPECT_NEAR(w.m[r][c], r == c ? 1.0f : 0.0f, 1e-4f);
    // Off the cube nothing starts.
    MoveCursor(POINT{2, 2});
    SendMessageA(Control(), WM_LBUTTONDBLCLK, MK_LBUTTON, MAKELPARAM(2, 2));
    Release(POINT{2, 2});
    EXPECT_FALSE(G().Animating);
    G().RotateMode = false;
}

TEST_F(CubeInputTest, TheModifierTurnsTheCubeByDraggingAndTheShortcutsSwitchViewAndFaces) {
    struct KeysUp {
        ~KeysUp() {
            SendKey(VK_LCONTROL, true);
            SendKey('I', true);
            SendKey('H', true);
        }
    } keysUp;
    const POINT from{300, 300};
    MoveCursor(from);
    SetForegroundWindow(host_.Handle());
    SetFocus(Control());
    ASSERT_TRUE(PumpUntil([&] { return GetFocus() == Control(); }, kGenerous));

    // Wine takes the keys' state from the display when the focus reaches the window there and when it moves
    // the pointer, which lets go of a key that only SendInput pressed: the press is repeated (as a held key
    // repeats) until it stays.
    const auto holdCtrl = [] {
        const DWORD start = GetTickCount();
        do {
            SendKey(VK_LCONTROL, false);
            Pump(250);
        } while (GetKeyState(VK_CONTROL) >= 0 && GetTickCount() - start < kGenerous);
        ASSERT_LT(GetKeyState(VK_CONTROL), 0);
    };
    holdCtrl();
    ASSERT_TRUE(G().RotateMode);
    EXPECT_EQ(comp::crSizeAll, form_->Cursor());

    // Dragging in rotate mode turns the cube after the cursor.
    Press(from);
    MoveCursor(POINT{from.x + 40, from.y});
    EXPECT_TRUE(PumpUntil([&] { return World().m[0][0] < 0.999f; }, kGenerous));
    Release(POINT{from.x + 40, from.y});
    EXPECT_FALSE(G().Dragging);
    EXPECT_TRUE(G().RotateMode);
    holdCtrl();

    // Ctrl+I switches to the inside view and back; rotate mode goes on while Ctrl is held.
    SendKey('I', false);
    SendKey('I', true);
    ASSERT_TRUE(PumpUntil([&] { return G().InsideView; }, kGenerous));
    EXPECT_TRUE(G().RotateMode);
    SendKey('I', false);
    SendKey('I', true);
    ASSERT_TRUE(PumpUntil([&] { return !G().InsideView; }, kGenerous));
    // Ctrl+H hides the faces.
    SendKey('H', false);
    SendKey('H', true);
    ASSERT_TRUE(PumpUntil([&] { return G().HideFaces; }, kGenerous));

    // Releasing Ctrl ends rotate mode and stops the spin.
    G().SpinY = 120;
    SendKey(VK_LCONTROL, true);
    ASSERT_TRUE(PumpUntil([&] { return !G().RotateMode; }, kGenerous));
    EXPECT_EQ(0, G().SpinY);
    EXPECT_EQ(0, G().SpinX);
    EXPECT_EQ(comp::crDefault, form_->Cursor());
}

TEST_F(CubeInputTest, TheMenuEnablesTheFaceItemsByWhatLiesUnderTheCursor) {
    // A right click on an item selects it: Delete and Shortcut properties apply.
    const POINT alpha = IconOf(1, 0, 0);
    MoveCursor(alpha);
    std::string shown;
    testing_support::RunWithSteps(
        [&] {
            SendMessageA(Control(), WM_RBUTTONDOWN, MK_RBUTTON, At(alpha));
            SendMessageA(Control(), WM_RBUTTONUP, 0, At(alpha));
        },
        {[&] {
            shown = FaceItems();
            CloseOpenMenu();
        }},
        300, [&] { return form_->pm.Handle() != nullptr; });
    EXPECT_EQ("11111", shown);  // create, delete, properties, arrange, Lunark Properties
    EXPECT_EQ(Item(1, "alpha.txt"), Face(1).Selected);

    // The menu as it opens: an empty part of a face, off the cube, an item that is not the selection, the
    // selection itself, hidden faces.
    MoveCursor(IconOf(1, 3, 3));
    form_->pmPopup();
    EXPECT_EQ("10011", FaceItems());
    MoveCursor(POINT{2, 2});
    form_->pmPopup();
    EXPECT_EQ("00000", FaceItems());
    MoveCursor(IconOf(1, 0, 1));
    form_->pmPopup();
    EXPECT_EQ("10011", FaceItems());
    MoveCursor(alpha);
    form_->pmPopup();
    EXPECT_EQ("11111", FaceItems());
    G().HideFaces = true;
    form_->pmPopup();
    EXPECT_EQ("00000", FaceItems());
}

TEST_F(CubeInputTest, MenuCommandsPostTheirRequestsAndActOnTheFaceTheMenuOpenedOver) {
    FakePeer program("_3DVexlorControlWnd");
    SetWorld(RotationY(0.6f));  // face 5 shows on the right of face 1
    const POINT onFace1 = IconOf(1, 3, 3), onFace5 = IconOf(5, 1, 3);
    ASSERT_EQ(1, form_->PickAt(onFace1).Face);
    ASSERT_EQ(5, form_->PickAt(onFace5).Face);
    // The menu opens over face 1; its items are chosen with the cursor over face 5.
    MoveCursor(onFace1);
    form_->pmPopup();
    MoveCursor(onFace5);
    form_->miCreateClick();
    form_->miCubuPropertiesClick();
    for (auto command : {&T_3DVexlorForm::Helptopics1Click, &T_3DVexlorForm::miTipsClick,
                         &T_3DVexlorForm::License1Click, &T_3DVexlorForm::Aboute1Click,
                         &T_3DVexlorForm::miVexlorOptClick, &T_3DVexlorForm::miDisplayoptionsClick,
                         &T_3DVexlorForm::Exit2Click})
        (form_.get()->*command)();
    // A menu opened off the cube: nothing for the face commands, wherever they are chosen.
    MoveCursor(POINT{2, 2});
    form_->pmPopup();
    MoveCursor(onFace1);
    form_->miCreateClick();
    form_->miCubuPropertiesClick();
    Pump(200);
    std::vector<UINT> expected = {_3D_Create, _3D_Gran_Options, _3D_Help, _3D_Tips, _3D_License,
                                  _3D_About,  _3D_Options,      _3D_DispProp, _3D_Exit};
    ASSERT_EQ(expected.size(), program.Messages().size());
    for (size_t i = 0; i < expected.size(); ++i) {
        EXPECT_EQ(expected[i], program.Messages()[i].msg) << i;
        EXPECT_EQ(i == 0 ? 1u : 0u, program.Messages()[i].wParam) << i;
    }
    // "Opt.ini" holds face 1's picture parameters before the dialog is asked for.
    int32_t index = 0, colour = 0;
    uint16_t w = 0, h = 0;
    std::string file = "x";
    uint8_t position = 9;
    ReadDeskParams(index, w, h, file, colour, position);
    EXPECT_EQ(1, index);
    EXPECT_EQ(512, w);
    EXPECT_EQ(512, h);
    EXPECT_EQ("", file);
    EXPECT_EQ(static_cast<int32_t>(Face(1).BackColor), colour);
    EXPECT_EQ(Face(1).BackPicPos, position);

    // Arrange by size, then by name, on face 1 where the menu opened.
    MoveCursor(onFace1);
    form_->pmPopup();
    MoveCursor(onFace5);
    form_->Size2Click();
    EXPECT_EQ(0, Item(1, "beta.txt")->Row);
    EXPECT_EQ(1, Item(1, "alpha.txt")->Row);
    form_->miNameClick();
    EXPECT_EQ(0, Item(1, "alpha.txt")->Row);
}

namespace {

// The control program's window as the properties request sees it: notes each WM_COPYDATA exactly.
struct CopyDataReceiver {
    static std::vector<std::string>& Received() {
        static std::vector<std::string> received;
        return received;
    }
    static LRESULT CALLBACK Proc(HWND h, UINT m, WPARAM w, LPARAM l) {
        if (m == WM_COPYDATA) {
            const auto* data = reinterpret_cast<const COPYDATASTRUCT*>(l);
            Received().push_back(std::to_string(data->dwData) + ":" +
                                 std::string(static_cast<const char*>(data->lpData), data->cbData));
            return 1;
        }
        return DefWindowProcA(h, m, w, l);
    }
    CopyDataReceiver() {
        WNDCLASSA wc{};
        wc.lpfnWndProc = &Proc;
        wc.hInstance = GetModuleHandleA(nullptr);
        wc.lpszClassName = "_3DVexlorControlWnd";
        RegisterClassA(&wc);
        window = CreateWindowExA(0, wc.lpszClassName, "", WS_POPUP, 0, 0, 0, 0, nullptr, nullptr, wc.hInstance, nullptr);
    }
    ~CopyDataReceiver() { DestroyWindow(window); }
    HWND window = nullptr;
};

}  // namespace

TEST_F(CubeInputTest, PropertiesSendTheSelectedItemsPathAndGiveUpOnAHungProgramOnly) {
    {
        CopyDataReceiver program;
        form_->miPropertiesClick();  // nothing selected: nothing sent
        Press(IconOf(1, 0, 1));
        Release(IconOf(1, 0, 1));
        form_->miPropertiesClick();
        ASSERT_EQ(1u, CopyDataReceiver::Received().size());
        EXPECT_EQ("2:" + face1_ + "beta.txt", CopyDataReceiver::Received()[0]);
    }
    // A control program that stopped answering: the request gives up on it instead of freezing the desktop.
    form_->PropertiesRequestTimeoutMs = 100;
    HANDLE release = CreateEventA(nullptr, TRUE, FALSE, nullptr);
    HANDLE ready = CreateEventA(nullptr, TRUE, FALSE, nullptr);
    DWORD hang = WAIT_FAILED;
    std::thread hung([&] {
        CopyDataReceiver program;
        SetEvent(ready);
        // Answers nothing until the request has come back; a request that waited for the answer would
        // come back only when this gives up.
        hang = WaitForSingleObject(release, kGenerous);
    });
    WaitForSingleObject(ready, INFINITE);
    form_->miPropertiesClick();
    SetEvent(release);
    hung.join();
    CloseHandle(release);
    EXPECT_EQ(WAIT_OBJECT_0, hang) << "the request waited for the hung program";

    // A program that has read no message for over five seconds and has not yet come back to its queue (a
    // busy moment) passes for hung with the system; it answers within the wait, and the request reaches it.
    form_->PropertiesRequestTimeoutMs = 5000;
    CopyDataReceiver::Received().clear();
    ResetEvent(ready);
    std::thread busy([&] {
        CopyDataReceiver program;
        SetEvent(ready);
        Sleep(5600);
        PumpUntil([] { return !CopyDataReceiver::Received().empty(); }, kGenerous);
    });
    WaitForSingleObject(ready, INFINITE);
    Sleep(5300);
    form_->miPropertiesClick();
    busy.join();
    EXPECT_EQ(1u, CopyDataReceiver::Received().size()) << "the request was dropped";
    CloseHandle(ready);
}

TEST_F(CubeInputTest, DeleteAsksFirstAndFaceOptionsApplyToTheirFace) {
    // Delete (the key) asks every time; Cancel keeps the file, OK deletes it and the face drops the item.
    Press(IconOf(1, 0, 1));
    Release(IconOf(1, 0, 1));
    std::string text;
    const auto answer = [&](int button) {
        return [&text, button] {
            HWND box = FindWindowA("#32770", nullptr);
            char buffer[256] = {};
            GetDlgItemTextA(box, 0xFFFF, buffer, sizeof buffer);
            text = buffer;
            PostMessageA(box, WM_COMMAND, MAKEWPARAM(button, BN_CLICKED), 0);
        };
    };
    const auto boxOpen = [] { return FindWindowA("#32770", nullptr) != nullptr; };
    const auto pressDelete = [&] {
        WORD key = VK_DELETE;
        SendMessageA(Control(), WM_KEYDOWN, key, 0);
    };
    EXPECT_EQ(1u, testing_support::RunWithSteps(pressDelete, {answer(IDCANCEL)}, 200, boxOpen));
    EXPECT_EQ("Are you realy want to delete file?", text);
    EXPECT_TRUE(Exists(face1_ + "beta.txt"));
    EXPECT_EQ(1u, testing_support::RunWithSteps(pressDelete, {answer(IDOK)}, 200, boxOpen));
    EXPECT_FALSE(Exists(face1_ + "beta.txt"));
    EXPECT_TRUE(PumpUntil([&] { return Item(1, "beta.txt") == nullptr; }, kGenerous));

    // Face parameters: wParam 0 does nothing; wParam 1 applies "Opt.ini" to its face. The selection goes and
    // its item is drawn plain; a file that holds no position leaves the face's own.
    Press(IconOf(1, 0, 0));
    Release(IconOf(1, 0, 0));
    const TLinkRecord* alpha = Item(1, "alpha.txt");
    ASSERT_GT(Highlight(1, *alpha), 0);
    Face(3).BackPicPos = kPicCenter;
    WriteWholeFile(DeskParamsFileName(), "[DESK]\r\nIndex=3\r\nResW=256\r\nResH=256\r\nFileName=\r\nBKColor=255\r\n");
    HWND hidden = FindActiveXWnd();
    EXPECT_EQ(1, SendMessageA(hidden, _3D_Gran_Opt, 0, 0));
    EXPECT_EQ(1, G().CurrentFace);
    EXPECT_EQ(512, Face(3).TextureWidth);
    EXPECT_EQ(1, SendMessageA(hidden, _3D_Gran_Opt, 1, 0));
    EXPECT_EQ(-1, G().CurrentFace);
    EXPECT_EQ(nullptr, Face(1).Selected);
    EXPECT_EQ(0, Highlight(1, *alpha));
    EXPECT_EQ(256, Face(3).TextureWidth);
    EXPECT_EQ(static_cast<COLORREF>(255), Face(3).BackColor);
    EXPECT_EQ(kPicCenter, Face(3).BackPicPos);
}

TEST_F(CubeInputTest, FaceOptionsApplyWholeThoughTheSelectionCannotBeDrawnPlain) {
    Press(IconOf(1, 0, 0));
    Release(IconOf(1, 0, 0));
    ASSERT_GT(Highlight(1, *Item(1, "alpha.txt")), 0);
    WriteWholeFile(DeskParamsFileName(),
                   "[DESK]\r\nIndex=3\r\nResW=256\r\nResH=256\r\nFileName=\r\nBKColor=255\r\nbpp=1\r\n");
    {
        const HeldTextureLock held(Face(1).Texture);
        ASSERT_TRUE(held.Held());
        EXPECT_EQ(1, SendMessageA(FindActiveXWnd(), _3D_Gran_Opt, 1, 0));
    }
    EXPECT_EQ(-1, G().CurrentFace);
    EXPECT_EQ(nullptr, Face(1).Selected);
    EXPECT_EQ(256, Face(3).TextureWidth);
    EXPECT_EQ(static_cast<COLORREF>(255), Face(3).BackColor);
    EXPECT_EQ(kPicCenter, Face(3).BackPicPos);
    // The plain drawing is left to the next tick.
    EXPECT_TRUE(PumpUntil([&] { return Item(1, "alpha.txt") && Highlight(1, *Item(1, "alpha.txt")) == 0; }, 3000));
}

TEST_F(CubeInputTest, DroppedFilesLandOnTheFaceUnderTheCursor) {
    testing_support::ScratchFolder scratch;
    // A folder longer than the face's, so that a name that makes its path longer than 255 characters still
    // fits under the face folder.
    const std::string source = scratch.Path() + std::string(40, 'd') + "\\";
    ASSERT_TRUE(comp::ForceDirectories(source));
    const std::string longName = std::string(257 - source.size() - 4, 'n') + ".txt";
    const std::string longPath = source + longName;
    ASSERT_EQ(257u, longPath.size());
    ASSERT_LT((face1_ + longName).size(), 260u);
    WriteWholeFile(longPath, "long");
    // What a path cut to 255 characters would name.
    WriteWholeFile(longPath.substr(0, 255), "cut");
    WriteWholeFile(source + "one.txt", "one");
    WriteWholeFile(source + "alpha.txt", "other alpha");

    MoveCursor(IconOf(1, 4, 4));
    SendMessageA(Control(), WM_DROPFILES,
                 reinterpret_cast<WPARAM>(DropOf({source + "one.txt", longPath, source + "alpha.txt"})), 0);
    EXPECT_EQ("one", ReadWholeFile(face1_ + "one.txt"));
    EXPECT_EQ("long", ReadWholeFile(face1_ + longName));
    EXPECT_FALSE(Exists(face1_ + comp::ExtractFileName(longPath.substr(0, 255))));
    // A name the face holds already is left out.
    EXPECT_EQ(std::string(300, 'a'), ReadWholeFile(face1_ + "alpha.txt"));
    // Off the cube nothing is copied; the new files appear on the face.
    WriteWholeFile(source + "two.txt", "two");
    MoveCursor(POINT{2, 2});
    SendMessageA(Control(), WM_DROPFILES, reinterpret_cast<WPARAM>(DropOf({source + "two.txt"})), 0);
    EXPECT_FALSE(Exists(face1_ + "two.txt"));
    EXPECT_TRUE(PumpUntil([&] { return Item(1, "one.txt") && Item(1, longName); }, kGenerous));
}
