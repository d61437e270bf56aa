// The control form's context menu and what the control asks of the control program: the items that apply
// under the cursor, the command behind each item (the face ones act on the face the menu opened over), the
// face parameters coming back through "Opt.ini", and files dropped on a face.
#include "control/_3DVexlorFormImpl.h"

#include <shellapi.h>

#include <string>

#include "components/msgdlg.h"
#include "components/paths.h"
#include "control/uGranDesktop.h"
#include "control/uInputRules.h"
#include "shared/uMessages.h"
#include "shared/uParameters.h"

namespace {

// A picture position that no face takes: the face keeps its own when "Opt.ini" holds none.
constexpr uint8_t kKeepPicturePosition = 0xFF;

}  // namespace

void T_3DVexlorForm::SetFaceMenuItems(const TFaceMenuItems& items) {
    const auto set = [this](const char* name, bool enabled) {
        if (comp::MenuItem* item = pm.Items.Find(name)) item->Enabled = enabled;
    };
    set("miCreate", items.Create);
    set("miDelete", items.Delete);
    set("miProperties", items.Properties);
    set("miArrangeSortby", items.ArrangeBy);
    set("miCubuProperties", items.CubeProperties);
}

void T_3DVexlorForm::pmPopup() {
    SetFaceMenuItems(TFaceMenuItems{});
    menuPick_ = PickAtCursor();
    const TFacePick& pick = menuPick_;
    if (!pick.Desktop) return;
    const TLinkRecord* link = pick.Desktop->LinkAtCell(pick.Desktop->IconCellAt(pick.FacePoint));
    // Delete and Shortcut properties act on the selection: they apply only when that is what lies here.
    const bool isSelection = link && GlobalVarsRecord.CurrentFace == pick.Face && pick.Desktop->Selected == link;
    SetFaceMenuItems(MenuItemsOnOpening(true, GlobalVarsRecord.HideFaces, link != nullptr, isSelection));
}

void T_3DVexlorForm::miCreateClick() {
    if (MenuFace()) PostToControlWnd(_3D_Create, static_cast<WPARAM>(menuPick_.Face), 0);
}

void T_3DVexlorForm::miDeleteClick() {
    if (comp::MessageDlg("Are you realy want to delete file?", comp::MsgDlgType::mtConfirmation,
                         comp::MsgDlgButtons::mbOKCancel, Window::Handle()) != IDOK)
        return;
    if (TGranDesktop* face = FaceAt(GlobalVarsRecord.CurrentFace))
        if (face->Selected) face->DeleteLinkFile(face->Selected);
}

void T_3DVexlorForm::miPropertiesClick() {
    TGranDesktop* face = FaceAt(GlobalVarsRecord.CurrentFace);
    if (!face || !face->Selected) return;
    std::string path = comp::JoinPath(face->Folder, face->Selected->FileName);
    HWND receiver = FindControlWnd();
    if (!receiver) return;
    COPYDATASTRUCT record{};
    record.dwData = 2;
    record.cbData = static_cast<DWORD>(path.size());
    record.lpData = &path[0];
    SetForegroundWindow(receiver);
    // The one synchronous request: a control program that hangs must not freeze the desktop with it, so
    // the wait is bounded. It is not cut short by the system's guess that the program hangs: a program
    // idle for some seconds, just woken by the foreground change above and not yet run on a busy machine,
    // passes for hung, and the request would be dropped though the program answers at once.
    DWORD_PTR answer = 0;
    SendMessageTimeoutA(receiver, WM_COPYDATA, 0, reinterpret_cast<LPARAM>(&record), SMTO_NORMAL,
                        PropertiesRequestTimeoutMs, &answer);
}

namespace {
void SortFace(TGranDesktop* face, uint8_t key) {
    if (face) face->SortLinks(key);
}
}  // namespace

void T_3DVexlorForm::miNameClick() { SortFace(MenuFace(), kSortName); }
void T_3DVexlorForm::Size2Click() { SortFace(MenuFace(), kSortSize); }
void T_3DVexlorForm::ype2Click() { SortFace(MenuFace(), kSortType); }
void T_3DVexlorForm::Modified2Click() { SortFace(MenuFace(), kSortModified); }

void T_3DVexlorForm::miCubuPropertiesClick() {
    TGranDesktop* face = MenuFace();
    if (!face) return;
    comp::Bitmap& picture = face->FaceBitmap();
    WriteDeskParams(menuPick_.Face, static_cast<uint16_t>(picture.Width()), static_cast<uint16_t>(picture.Height()),
                    face->WallPaper, static_cast<int32_t>(face->BackColor), face->BackPicPos);
    PostToControlWnd(_3D_Gran_Options, 0, 0);
}

void T_3DVexlorForm::miVexlorOptClick() { PostToControlWnd(_3D_Options, 0, 0); }
void T_3DVexlorForm::miDisplayoptionsClick() { PostToControlWnd(_3D_DispProp, 0, 0); }
void T_3DVexlorForm::Exit2Click() { PostToControlWnd(_3D_Exit, 0, 0); }
void T_3DVexlorForm::Aboute1Click() { PostToControlWnd(_3D_About, 0, 0); }
void T_3DVexlorForm::Helptopics1Click() { PostToControlWnd(_3D_Help, 0, 0); }
void T_3DVexlorForm::License1Click() { PostToControlWnd(_3D_License, 0, 0); }
void T_3DVexlorForm::miTipsClick() { PostToControlWnd(_3D_Tips, 0, 0); }

void T_3DVexlorForm::ApplyFaceOptions(WPARAM wParam) {
    if (wParam != 1) return;
    gTGlobalVars& g = GlobalVarsRecord;
    // The selection goes: its item is drawn plain again, wherever it is. A drawing that fails is left to
    // the next tick; the new parameters apply all the same.
    if (TGranDesktop* current = FaceAt(g.CurrentFace)) {
        TLinkRecord* selected = current->Selected;
        current->Selected = nullptr;
        try {
            current->DrawLink(selected, dmNormal);
        } catch (const std::exception&) {
            if (selected) current->RedrawAtNextTick(*selected);
        }
    }
    g.CurrentFace = -1;
    g.DragSourceFace = -1;
    g.DraggedLink = nullptr;

    int32_t index = 0;
    uint16_t width = 0, height = 0;
    std::string fileName;
    int32_t colour = 0;
    uint8_t position = kKeepPicturePosition;
    ReadDeskParams(index, width, height, fileName, colour, position);
    if (!DeskParamsHoldPosition()) position = kKeepPicturePosition;
    if (TGranDesktop* face = FaceAt(index))
        face->SetParams(width, height, position, static_cast<COLORREF>(colour), fileName);
}

void T_3DVexlorForm::WMDropFiles(HDROP drop) {
    struct Finish {
        HDROP drop;
        ~Finish() { DragFinish(drop); }
    } finish{drop};
    if (!IsStarted()) return;
    const UINT count = DragQueryFileA(drop, 0xFFFFFFFF, nullptr, 0);
    for (UINT i = 0; i < count; ++i) {
        // The length first: a path is never cut to a buffer's size.
        const UINT length = DragQueryFileA(drop, i, nullptr, 0);
        if (length == 0) continue;
        std::string path(length + 1, '\0');
        path.resize(DragQueryFileA(drop, i, &path[0], length + 1));
        if (path.size() != length) continue;
        const TFacePick pick = PickAtCursor();
        if (!pick.Desktop) continue;
        const std::string target = comp::JoinPath(pick.Desktop->Folder, comp::ExtractFileName(path));
        // A name that the face folder holds already is left out.
        CopyFileA(path.c_str(), target.c_str(), TRUE);
    }
}
