// The rules behind the cube's input and context menu, without a window: the rotation key, shortcut
// matching, face-to-front targets, drops and the face items of the menu.
#include <gtest/gtest.h>

#include <cmath>
#include <set>

#include "control/uInputRules.h"
#include "control/uInter.h"

using namespace d3dmath;

namespace {

std::set<int> gHeld;
bool Held(int vk) { return gHeld.count(vk) != 0; }

void ExpectMatrixNear(const TMatrix& a, const TMatrix& b, float tolerance) {
    for (int r = 0; r < 4; ++r)
        for (int c = 0; c < 4; ++c) EXPECT_NEAR(a.m[r][c], b.m[r][c], tolerance) << "element " << r << "," << c;
}

}  // namespace

TEST(InputRules, TheRotationKeyIsTheConfiguredModifierOnTheConfiguredSide) {
    // Defaults: Ctrl, either key.
    gHeld = {VK_RCONTROL};
    EXPECT_TRUE(RotateKeyHeld(0, 2, &Held));
    gHeld = {VK_LCONTROL};
    EXPECT_TRUE(RotateKeyHeld(0, 2, &Held));
    // The left key alone counts for which_key 0: the right one never does.
    gHeld = {VK_RCONTROL};
    EXPECT_FALSE(RotateKeyHeld(0, 0, &Held));
    EXPECT_TRUE(RotateKeyHeld(0, 1, &Held));
    // The other modifiers.
    gHeld = {VK_LSHIFT};
    EXPECT_TRUE(RotateKeyHeld(1, 0, &Held));
    EXPECT_FALSE(RotateKeyHeld(0, 2, &Held));
    gHeld = {VK_RMENU};
    EXPECT_TRUE(RotateKeyHeld(2, 2, &Held));
    // Values outside the settings' range name no key: never held, never configured.
    gHeld = {VK_LCONTROL, VK_RCONTROL, VK_LSHIFT, VK_RSHIFT, VK_LMENU, VK_RMENU};
    EXPECT_FALSE(RotateKeyHeld(3, 2, &Held));
    EXPECT_FALSE(RotateKeyHeld(0, 3, &Held));
    EXPECT_FALSE(RotateKeyHeld(-1, 0, &Held));
    EXPECT_FALSE(RotateKeyConfigured(0, 3));
    EXPECT_TRUE(RotateKeyConfigured(2, 0));
}

TEST(InputRules, AShortcutMatchesItsKeyWithAtLeastItsModifiers) {
    const int ctrlI = 0x4049;
    EXPECT_TRUE(ShortcutPressed(ctrlI, 'I', comp::ssCtrl));
    EXPECT_TRUE(ShortcutPressed(ctrlI, 'I', comp::ssCtrl | comp::ssShift));  // more may be held
    EXPECT_FALSE(ShortcutPressed(ctrlI, 'I', 0));
    EXPECT_FALSE(ShortcutPressed(ctrlI, 'I', comp::ssShift | comp::ssAlt));
    EXPECT_FALSE(ShortcutPressed(ctrlI, 'H', comp::ssCtrl));
    // Shift+Alt+F5 needs both; a bare key matches whatever is held.
    EXPECT_TRUE(ShortcutPressed(0xA000 | VK_F5, VK_F5, comp::ssShift | comp::ssAlt));
    EXPECT_FALSE(ShortcutPressed(0xA000 | VK_F5, VK_F5, comp::ssShift));
    EXPECT_TRUE(ShortcutPressed(VK_F2, VK_F2, comp::ssCtrl));
    // No shortcut set: nothing matches.
    EXPECT_FALSE(ShortcutPressed(0x4000, 0, comp::ssCtrl));
}

TEST(InputRules, FacesComeToTheFrontInTenEqualSteps) {
    TMatrix target{};
    const float halfPi = 3.14159274f / 2;
    ASSERT_TRUE(FaceFrontTarget(3, false, target));
    ExpectMatrixNear(target, RotationX(-halfPi), 1e-6f);
    ASSERT_TRUE(FaceFrontTarget(3, true, target));
    ExpectMatrixNear(target, Multiply(RotationX(halfPi), RotationZ(2 * halfPi)), 1e-6f);
    ASSERT_TRUE(FaceFrontTarget(1, false, target));
    EXPECT_TRUE(IsIdentity(target));
    EXPECT_FALSE(FaceFrontTarget(0, false, target));
    EXPECT_FALSE(FaceFrontTarget(7, true, target));

    // Every target shows its face in front: the face's outward normal turns towards the viewer (-z) outside
    // and away from it (+z) inside.
    const TVector3 normals[7] = {{}, {0, 0, -1}, {0, 0, 1}, {0, 1, 0}, {0, -1, 0}, {1, 0, 0}, {-1, 0, 0}};
    for (int face = 1; face <= 6; ++face) {
        for (bool inside : {false, true}) {
            ASSERT_TRUE(FaceFrontTarget(face, inside, target));
            const TVector3 n = TransformNormal(normals[face], target);
            EXPECT_NEAR(n.z, inside ? 1.0f : -1.0f, 1e-5f) << "face " << face << (inside ? " inside" : " outside");
        }
    }

    // From a turned cube, ten steps reach the target.
    const TMatrix from = Multiply(RotationY(0.8f), RotationX(-0.3f));
    ASSERT_TRUE(FaceFrontTarget(5, false, target));
    const TMatrix step = AnimationStep(from, target, kFaceFrontFrames);
    TMatrix world = from;
    for (int frame = 0; frame < kFaceFrontFrames; ++frame) world = AddElements(world, step);
    ExpectMatrixNear(world, target, 1e-5f);
}

TEST(InputRules, AFlatWorldMatrixHalfWayThroughAnAnimationPicksNothing) {
    // Identity to a half turn passes, after five of ten steps, through a matrix that squashes the cube flat.
    TMatrix target{};
    ASSERT_TRUE(FaceFrontTarget(2, false, target));
    const TMatrix step = AnimationStep(Identity(), target, kFaceFrontFrames);
    TMatrix world = Identity();
    for (int frame = 0; frame < 5; ++frame) world = AddElements(world, step);
    EXPECT_FALSE(WorldInvertible(world));
    EXPECT_TRUE(WorldInvertible(AddElements(world, step)));
    EXPECT_TRUE(WorldInvertible(RotationY(2.0f)));
    TMatrix broken = Identity();
    broken.m[3][0] = std::nanf("");
    EXPECT_FALSE(WorldInvertible(broken));
}

TEST(InputRules, DropsGoOnlyToFreeCellsInsideTheGridAndNeverOverAFile) {
    const TCell own{1, 2};
    // Its own place on its own face: nothing moves.
    EXPECT_EQ(TDropVerdict::InPlace, DropVerdict(own, true, 7, 7, true, own, false));
    // A free cell on its face, or on another face.
    EXPECT_EQ(TDropVerdict::Move, DropVerdict(TCell{3, 0}, false, 7, 7, true, own, false));
    EXPECT_EQ(TDropVerdict::Move, DropVerdict(TCell{6, 6}, false, 7, 7, false, own, false));
    // A taken cell, a cell outside the grid, a negative cell.
    EXPECT_EQ(TDropVerdict::Refused, DropVerdict(TCell{3, 0}, true, 7, 7, true, own, false));
    EXPECT_EQ(TDropVerdict::Refused, DropVerdict(TCell{7, 0}, false, 7, 7, false, own, false));
    EXPECT_EQ(TDropVerdict::Refused, DropVerdict(TCell{0, 7}, false, 7, 7, true, own, false));
    EXPECT_EQ(TDropVerdict::Refused, DropVerdict(TCell{-1, 0}, false, 7, 7, false, own, false));
    // On another face the item's own cell numbers mean nothing: a taken cell there stays refused.
    EXPECT_EQ(TDropVerdict::Refused, DropVerdict(own, true, 7, 7, false, own, false));
    // Another face whose folder holds the name already: refused, its file is never replaced.
    EXPECT_EQ(TDropVerdict::Refused, DropVerdict(TCell{5, 5}, false, 7, 7, false, own, true));
}

TEST(InputRules, FaceItemsOfTheMenuFollowWhatLiesUnderTheCursor) {
    TFaceMenuItems none;
    TFaceMenuItems face;
    face.Create = face.ArrangeBy = face.CubeProperties = true;
    TFaceMenuItems item = face;
    item.Delete = item.Properties = true;

    EXPECT_EQ(none, MenuItemsOnOpening(false, false, false, false));   // off the cube
    EXPECT_EQ(face, MenuItemsOnOpening(true, false, false, false));    // an empty part of a face
    EXPECT_EQ(item, MenuItemsOnOpening(true, false, true, true));      // the selected item
    EXPECT_EQ(face, MenuItemsOnOpening(true, false, true, false));     // an item that is not the selection
    EXPECT_EQ(none, MenuItemsOnOpening(true, true, true, true));       // hidden faces

    // The right press selects what it lands on; Lunark Properties applies beside the items only.
    TFaceMenuItems pressed = item;
    pressed.CubeProperties = false;
    EXPECT_EQ(pressed, MenuItemsOnRightPress(true, false, true));
    EXPECT_EQ(face, MenuItemsOnRightPress(true, false, false));
    EXPECT_EQ(none, MenuItemsOnRightPress(true, true, false));
    EXPECT_EQ(none, MenuItemsOnRightPress(false, false, false));
}
