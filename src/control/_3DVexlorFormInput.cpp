// The control form's mouse and keyboard: turning the cube while the modifier key is held, bringing a face
// to the front, the inside view and hidden faces, selecting, opening and dragging the items of the faces.
#include "control/_3DVexlorFormImpl.h"

#include <shellapi.h>

#include <algorithm>
#include <memory>

#include "components/paths.h"
#include "control/uGranDesktop.h"
#include "control/uInit.h"
#include "control/uInputRules.h"
#include "control/uInter.h"
#include "shared/uOptionsShared.h"

using namespace d3dmath;

// ---- picking

TGranDesktop* T_3DVexlorForm::FaceAt(int face) const {
    if (!SceneCreated || face < 1 || face > 6) return nullptr;
    return Faces[static_cast<size_t>(face)];
}

TFacePick T_3DVexlorForm::PickAt(POINT client) {
    TFacePick pick;
    if (!SceneCreated || !Window::Handle()) return pick;
    const POINT p = ClientToBackBuffer(Window::Handle(), client, GlobalVarsRecord);
    if (IsNoBackBufferPoint(p)) return pick;
    TVector3 hit{};
    const int face = PickFace(p.x, p.y, GlobalVarsRecord.InsideView ? -1 : +1, GlobalVarsRecord, hit);
    TGranDesktop* desktop = FaceAt(face);
    if (!desktop || !desktop->CubePointToFace(hit.x, hit.y, hit.z, pick.FacePoint)) return pick;
    pick.Face = face;
    pick.Desktop = desktop;
    return pick;
}

TFacePick T_3DVexlorForm::PickAtCursor() {
    POINT cursor{};
    if (!Window::Handle() || !GetCursorPos(&cursor) || !ScreenToClient(Window::Handle(), &cursor)) return {};
    return PickAt(cursor);
}

void T_3DVexlorForm::OpenLink(const TGranDesktop& face, const TLinkRecord& link) {
    const std::string path = comp::JoinPath(face.Folder, link.FileName);
    // What the shell makes of it is its own affair: a failed open is not reported.
    ShellExecuteA(Window::Handle(), nullptr, path.c_str(), nullptr, nullptr, SW_SHOW);
}

// ---- mouse

void T_3DVexlorForm::FormMouseDown(comp::MouseButton button, comp::ShiftState shift, int x, int y) {
    if (!IsStarted()) return;
    try {
        gTGlobalVars& g = GlobalVarsRecord;
        ::SetFocus(Window::Handle());
        const POINT p = ClientToBackBuffer(Window::Handle(), POINT{x, y}, g);
        const bool right = (shift & comp::ssRight) != 0;
        if (right) SetFaceMenuItems(TFaceMenuItems{});
        g.LastX = p.x;
        g.LastY = p.y;
        if (shift & comp::ssLeft) g.Dragging = true;
        if (g.RotateMode) return;

        const TFacePick pick = PickAt(POINT{x, y});
        if (!pick.Desktop) return;
        bool onItem = false;
        const TCell cell = pick.Desktop->IconCellAt(pick.FacePoint);
        if (cell != kNoCell) {
            g.DraggedLink = nullptr;
            g.DragSourceFace = -1;
            if (TLinkRecord* link = pick.Desktop->LinkAtCell(cell)) {
                onItem = true;
                // The selection lives on one face: the old one is drawn plain first.
                if (TGranDesktop* current = FaceAt(g.CurrentFace)) {
                    current->DrawLink(current->Selected, dmNormal);
                    current->Selected = nullptr;
                }
                g.CurrentFace = pick.Face;
                pick.Desktop->SelectLink(link);
                if (button == comp::MouseButton::mbLeft) {
                    g.DragSourceFace = pick.Face;
                    g.DraggedLink = link;
                }
            }
        }
        if (right) SetFaceMenuItems(MenuItemsOnRightPress(true, g.HideFaces, onItem));
    } catch (...) {
        // A failing press changes nothing more; the render timer goes on.
    }
}

void T_3DVexlorForm::FormMouseMove(comp::ShiftState, int, int) {
    if (!IsStarted()) return;
    const gTGlobalVars& g = GlobalVarsRecord;
    SetCursor(g.RotateMode ? comp::crSizeAll : g.DraggedLink ? comp::crDrag : comp::crDefault);
}

void T_3DVexlorForm::FormMouseUp(comp::MouseButton button, comp::ShiftState, int x, int y) {
    if (!IsStarted()) return;
    gTGlobalVars& g = GlobalVarsRecord;
    SetCursor(comp::crDefault);
    if (button != comp::MouseButton::mbLeft) return;
    g.Dragging = false;
    // An armed drag ends at this release whatever happens to it: a later click never drops it.
    TLinkRecord* link = g.DraggedLink;
    const int source = g.DragSourceFace;
    g.DraggedLink = nullptr;
    if (g.RotateMode || !link) return;
    DropDraggedLink(link, source, POINT{x, y});
}

void T_3DVexlorForm::DropDraggedLink(TLinkRecord* link, int sourceFace, POINT client) {
    gTGlobalVars& g = GlobalVarsRecord;
    TGranDesktop* source = FaceAt(sourceFace);
    if (!source) return;
    const auto owned = std::find_if(source->Links.begin(), source->Links.end(),
                                    [link](const std::unique_ptr<TLinkRecord>& r) { return r.get() == link; });
    if (owned == source->Links.end()) return;  // the item went meanwhile

    const TFacePick pick = PickAt(client);
    if (!pick.Desktop) return;
    TGranDesktop& target = *pick.Desktop;
    const TCell cell = target.CellAt(pick.FacePoint);
    const bool sameFace = &target == source;
    const std::string targetPath = comp::JoinPath(target.Folder, link->FileName);
    const bool nameTaken = !sameFace && GetFileAttributesA(targetPath.c_str()) != INVALID_FILE_ATTRIBUTES;
    const TDropVerdict verdict = DropVerdict(cell, target.IsCellUsed(cell), target.Columns, target.Rows, sameFace,
                                             TCell{link->Column, link->Row}, nameTaken);
    if (verdict != TDropVerdict::Move) return;

    if (!sameFace) {
        // The file first: the item follows it only when it really moved, and never over another file. The
        // record then follows its file whatever becomes of the drawings: a cell that can't be erased or
        // drawn is left to the faces' next tick.
        const std::string sourcePath = comp::JoinPath(source->Folder, link->FileName);
        if (!MoveFileExA(sourcePath.c_str(), targetPath.c_str(), 0)) return;
        target.AdoptLink(source->TakeLink(link));
    } else {
        try {
            source->DrawLink(link, dmErase);
        } catch (const std::exception&) {
            // The item stays on the cell that still shows it, drawn anew at the next tick.
            source->RedrawAtNextTick(*link);
            return;
        }
    }
    link->Column = cell.Column;
    link->Row = cell.Row;
    g.CurrentFace = pick.Face;
    g.DragSourceFace = -1;
    try {
        target.SelectLink(link);
    } catch (const std::exception&) {
        target.RedrawAtNextTick(*link);
    }
}

void T_3DVexlorForm::FormDblClick() {
    if (!IsStarted()) return;
    try {
        gTGlobalVars& g = GlobalVarsRecord;
        const TFacePick pick = PickAtCursor();
        if (!pick.Desktop) return;
        if (g.RotateMode) {
            TMatrix target{};
            if (!g.D3D.Device || !FaceFrontTarget(pick.Face, g.InsideView, target)) return;
            TMatrix world = Identity();
            g.AnimStep = Zero();
            if (FAILED(g.D3D.Device->GetTransform(D3DTS_WORLD, &world))) return;
            g.AnimStep = AnimationStep(world, target, kFaceFrontFrames);
            g.AnimFramesLeft = kFaceFrontFrames;
            g.Animating = true;
            return;
        }
        if (const TLinkRecord* link = pick.Desktop->LinkAtCell(pick.Desktop->IconCellAt(pick.FacePoint)))
            OpenLink(*pick.Desktop, *link);
    } catch (...) {
        // A failing double click changes nothing more.
    }
}

// ---- keyboard

void T_3DVexlorForm::FormKeyDown(WORD& key, comp::ShiftState shift) {
    if (!IsStarted()) return;
    gTGlobalVars& g = GlobalVarsRecord;
    if (RotateKeyHeld(Settings.ctrl_key, Settings.which_key, &IsKeyHeld)) g.RotateMode = true;
    FormMouseMove(shift, -1, -1);
    if (key == VK_RETURN) {
        if (TGranDesktop* face = FaceAt(g.CurrentFace))
            if (face->Selected) OpenLink(*face, *face->Selected);
    }
    if (key == VK_DELETE) miDeleteClick();
    if (ShortcutPressed(Settings.key_inside, key, shift)) {
        g.InsideView = !g.InsideView;
        SetCubeProjection(g.InsideView, g);
    }
    if (ShortcutPressed(Settings.key_hide, key, shift)) g.HideFaces = !g.HideFaces;
}

void T_3DVexlorForm::FormKeyUp(WORD&, comp::ShiftState shift) {
    if (!IsStarted()) return;
    gTGlobalVars& g = GlobalVarsRecord;
    if (RotateKeyConfigured(Settings.ctrl_key, Settings.which_key) &&
        !RotateKeyHeld(Settings.ctrl_key, Settings.which_key, &IsKeyHeld)) {
        g.RotateMode = false;
        g.SpinY = 0;
        g.SpinX = 0;
    }
    FormMouseMove(shift, -1, -1);
}
