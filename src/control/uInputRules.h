// The rules behind the cube's mouse, keyboard and context menu that need no window: which modifier key
// turns the cube, how a shortcut code matches a key press, where a face comes to the front, whether an item
// may be dropped on a cell, and which face items of the context menu apply.
#pragma once

#include <windows.h>

#include <cstdint>

#include "components/form.h"
#include "control/d3dmath.h"
#include "control/uGranRules.h"

// ---- the rotation key

// Whether |ctrlKey| (0 Ctrl, 1 Shift, 2 Alt) and |whichKey| (0 left, 1 right, 2 either) name a key at all;
// other values never start or end rotate mode.
bool RotateKeyConfigured(int32_t ctrlKey, int32_t whichKey);
// Whether the configured key is held (for |whichKey| 2: the left or the right one); |held| answers for a
// virtual-key code. False when nothing is configured.
using TKeyHeldTest = bool (*)(int virtualKey);
bool RotateKeyHeld(int32_t ctrlKey, int32_t whichKey, TKeyHeldTest held);
// The platform's answer: bit 0x80 of the key's state on this thread.
bool IsKeyHeld(int virtualKey);

// ---- shortcut codes (a virtual-key code with $2000 Shift, $4000 Ctrl, $8000 Alt above it)

// Whether pressing |key| with the modifiers |shift| holds (ssShift, ssCtrl, ssAlt) is the shortcut: the key
// equals the code less its modifier flags and every modifier of the shortcut is held (more may be).
bool ShortcutPressed(int32_t shortcut, WORD key, comp::ShiftState shift);

// ---- bringing a face to the front

constexpr int kFaceFrontFrames = 10;
// The world matrix that shows face |face| (1 to 6) in front in the outside or the inside view; false for
// another number.
bool FaceFrontTarget(int face, bool insideView, d3dmath::TMatrix& target);
// The step added in each of |frames| frames to go from |from| to |to| element by element.
d3dmath::TMatrix AnimationStep(const d3dmath::TMatrix& from, const d3dmath::TMatrix& to, int frames);

// ---- dropping a dragged item

enum class TDropVerdict {
    Refused,  // nothing changes
    InPlace,  // the item's own cell on its own face: nothing to move
    Move,     // move the item (and, to another face, its file) to the cell
};
// |cell| on the target face (|columns| x |rows| cells; |cellUsed| whether an item holds it); |sameFace|
// whether that is the item's own face and |itemCell| the item's cell there; |nameTaken| whether an entry of
// the item's name exists in the target face's folder. A drop on another face never replaces a file there.
TDropVerdict DropVerdict(TCell cell, bool cellUsed, uint16_t columns, uint16_t rows, bool sameFace, TCell itemCell,
                         bool nameTaken);

// ---- the face items of the context menu

struct TFaceMenuItems {
    bool Create = false;          // "Create shotcut"
    bool Delete = false;          // "Delete"
    bool Properties = false;      // "Shortcut properties"
    bool ArrangeBy = false;       // "Arrange by"
    bool CubeProperties = false;  // "Lunark Properties"
    bool operator==(const TFaceMenuItems& o) const {
        return Create == o.Create && Delete == o.Delete && Properties == o.Properties && ArrangeBy == o.ArrangeBy &&
               CubeProperties == o.CubeProperties;
    }
};
// What the menu shows when it opens: nothing off the cube or while the faces are hidden; on a face the
// face's own items; Delete and Shortcut properties only when the item under the cursor is the current
// selection, the item they act on.
TFaceMenuItems MenuItemsOnOpening(bool onFace, bool hideFaces, bool itemUnderCursor, bool itemIsSelection);
// What a right button press prepares (it selects the item it lands on): the face's items, Delete and
// Shortcut properties on an item, Lunark Properties only beside the items.
TFaceMenuItems MenuItemsOnRightPress(bool onFace, bool hideFaces, bool onItem);
