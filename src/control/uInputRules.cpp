// Rules of the cube's input and context menu.
#include "control/uInputRules.h"

#include "components/menus.h"

using namespace d3dmath;

namespace {
constexpr float kPi = 3.14159274f;
constexpr int32_t kShortcutModifiers = comp::scShift | comp::scCtrl | comp::scAlt;
}  // namespace

bool RotateKeyConfigured(int32_t ctrlKey, int32_t whichKey) {
    return ctrlKey >= 0 && ctrlKey <= 2 && whichKey >= 0 && whichKey <= 2;
}

bool RotateKeyHeld(int32_t ctrlKey, int32_t whichKey, TKeyHeldTest held) {
    if (!RotateKeyConfigured(ctrlKey, whichKey) || !held) return false;
    static const int kKeys[3][2] = {{VK_LCONTROL, VK_RCONTROL}, {VK_LSHIFT, VK_RSHIFT}, {VK_LMENU, VK_RMENU}};
    const int left = kKeys[ctrlKey][0], right = kKeys[ctrlKey][1];
    switch (whichKey) {
        case 0: return held(left);
        case 1: return held(right);
        default: return held(left) || held(right);
    }
}

bool IsKeyHeld(int virtualKey) { return (GetKeyState(virtualKey) & 0x80) != 0; }

bool ShortcutPressed(int32_t shortcut, WORD key, comp::ShiftState shift) {
    const int32_t keyCode = shortcut & ~kShortcutModifiers;
    if (keyCode == 0 || key != keyCode) return false;
    if ((shortcut & comp::scShift) && !(shift & comp::ssShift)) return false;
    if ((shortcut & comp::scCtrl) && !(shift & comp::ssCtrl)) return false;
    if ((shortcut & comp::scAlt) && !(shift & comp::ssAlt)) return false;
    return true;
}

bool FaceFrontTarget(int face, bool insideView, TMatrix& target) {
    switch (face) {
        case 1: target = insideView ? RotationY(kPi) : RotationY(0); return true;
        case 2: target = insideView ? RotationY(2 * kPi) : RotationY(kPi); return true;
        case 3: target = insideView ? Multiply(RotationX(kPi / 2), RotationZ(kPi)) : RotationX(-kPi / 2); return true;
        case 4: target = insideView ? Multiply(RotationX(3 * kPi / 2), RotationZ(kPi)) : RotationX(kPi / 2); return true;
        case 5: target = insideView ? RotationY(3 * kPi / 2) : RotationY(kPi / 2); return true;
        case 6: target = insideView ? RotationY(kPi / 2) : RotationY(-kPi / 2); return true;
        default: return false;
    }
}

TMatrix AnimationStep(const TMatrix& from, const TMatrix& to, int frames) {
    TMatrix step = SubtractElements(to, from);
    const float n = static_cast<float>(frames > 0 ? frames : 1);
    for (auto& row : step.m)
        for (float& e : row) e /= n;
    return step;
}

TDropVerdict DropVerdict(TCell cell, bool cellUsed, uint16_t columns, uint16_t rows, bool sameFace, TCell itemCell,
                         bool nameTaken) {
    if (!InGrid(cell, columns, rows)) return TDropVerdict::Refused;
    if (sameFace && cell == itemCell) return TDropVerdict::InPlace;
    if (cellUsed) return TDropVerdict::Refused;
    if (!sameFace && nameTaken) return TDropVerdict::Refused;
    return TDropVerdict::Move;
}

TFaceMenuItems MenuItemsOnOpening(bool onFace, bool hideFaces, bool itemUnderCursor, bool itemIsSelection) {
    TFaceMenuItems items;
    if (!onFace || hideFaces) return items;
    items.Create = items.ArrangeBy = items.CubeProperties = true;
    items.Delete = items.Properties = itemUnderCursor && itemIsSelection;
    return items;
}

TFaceMenuItems MenuItemsOnRightPress(bool onFace, bool hideFaces, bool onItem) {
    TFaceMenuItems items;
    if (!onFace || hideFaces) return items;
    items.Create = items.ArrangeBy = true;
    items.Delete = items.Properties = onItem;
    items.CubeProperties = !onItem;
    return items;
}
