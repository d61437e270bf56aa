// The face picture form and its opener.
#include "uOptions.h"

#include "components/bitmap.h"
#include "components/canvas.h"
#include "components/folder_search.h"
#include "components/paths.h"
#include "shared/uFacePicture.h"
#include "shared/uMessages.h"
#include "uBrowsedPath.h"
#include "uDesktopPage.h"
#include "uMessagesExe.h"

#include <shlobj.h>

#include <initializer_list>

const char* const kFaceOptionsFormClass = "TfrmOptions";

namespace {

constexpr int kPreviewWidth = 153;
constexpr int kPreviewHeight = 114;
constexpr int kMonitorWidth = 175;
constexpr int kMonitorHeight = 162;
// Where the monitor's screen lies in its drawing.
constexpr int kScreenLeft = 11;
constexpr int kScreenTop = 10;

std::string Lower(std::string text) {
    if (!text.empty()) CharLowerBuffA(&text[0], static_cast<DWORD>(text.size()));
    return text;
}

comp::DialogParams FaceOptionsFormParams() {
    comp::DialogParams p;
    p.className = kFaceOptionsFormClass;
    p.caption = "Options";
    p.clientWidth = 411;
    p.clientHeight = 454;
    return p;
}

using comp::FillSolid;

// A screen-compatible bitmap painted by |paint| on the button-face colour.
template <typename Paint>
HBITMAP DrawBitmap(int width, int height, Paint paint) {
    return comp::PaintedScreenBitmap(width, height, [&](HDC dc) {
        FillSolid(dc, RECT{0, 0, width, height}, GetSysColor(COLOR_BTNFACE));
        paint(dc);
    });
}

// The monitor around the preview: a bezel with the screen at (11, 10), a neck and a foot.
HBITMAP MakeMonitorPicture() {
    return DrawBitmap(kMonitorWidth, kMonitorHeight, [](HDC dc) {
        FillSolid(dc, RECT{0, 0, kMonitorWidth, 136}, RGB(64, 64, 64));
        FillSolid(dc, RECT{1, 1, kMonitorWidth - 1, 135}, RGB(212, 208, 200));
        FillSolid(dc, RECT{kScreenLeft - 2, kScreenTop - 2, kScreenLeft + kPreviewWidth + 2,
                           kScreenTop + kPreviewHeight + 2},
                  RGB(96, 96, 96));
        FillSolid(dc, RECT{kScreenLeft, kScreenTop, kScreenLeft + kPreviewWidth, kScreenTop + kPreviewHeight},
                  RGB(0, 0, 0));
        FillSolid(dc, RECT{150, 128, 160, 131}, RGB(0, 160, 0));  // the power light
        FillSolid(dc, RECT{72, 136, 103, 148}, RGB(150, 146, 140));
        FillSolid(dc, RECT{40, 148, 135, 160}, RGB(64, 64, 64));
        FillSolid(dc, RECT{41, 149, 134, 159}, RGB(200, 196, 188));
    });
}

// The list's three small images: no picture, a bitmap file, a photograph.
HBITMAP MakeListImage(int kind) {
    return DrawBitmap(16, 16, [kind](HDC dc) {
        FillSolid(dc, RECT{1, 2, 15, 14}, RGB(0, 0, 0));
        if (kind == 0) {
            FillSolid(dc, RECT{2, 3, 14, 13}, RGB(255, 255, 255));
            for (int i = 0; i < 10; ++i) {
                FillSolid(dc, RECT{3 + i, 3 + i, 4 + i, 4 + i}, RGB(200, 0, 0));
                FillSolid(dc, RECT{12 - i, 3 + i, 13 - i, 4 + i}, RGB(200, 0, 0));
            }
        } else if (kind == 1) {
            FillSolid(dc, RECT{2, 3, 14, 9}, RGB(96, 160, 255));
            FillSolid(dc, RECT{2, 9, 14, 13}, RGB(40, 160, 40));
        } else {
            FillSolid(dc, RECT{2, 3, 14, 13}, RGB(255, 230, 170));
            FillSolid(dc, RECT{5, 5, 10, 10}, RGB(255, 140, 0));
        }
    });
}

}  // namespace

int ResolutionOfPosition(int position) {
    switch (position) {
        case 1: return 512;
        case 2: return 1024;
        default: return 256;
    }
}

int PositionOfResolution(int side) {
    switch (side) {
        case 256: return 0;
        case 512: return 1;
        case 1024: return 2;
        default: return -1;
    }
}

int PictureImageIndex(const std::string& fileName) {
    const std::string ext = Lower(comp::ExtractFileExt(fileName));
    return ext == ".bmp" || ext == ".dib" ? 1 : 2;
}

bool IsListedPicture(const std::string& fileName) {
    const std::string ext = Lower(comp::ExtractFileExt(fileName));
    return ext == ".bmp" || ext == ".jpg" || ext == ".jpeg" || ext == ".dib";
}

std::vector<std::string> PictureFolders() {
    std::vector<std::string> folders;
    const std::string windows = GetWindowsDir();
    if (!windows.empty()) {
        folders.push_back(windows);
        folders.push_back(windows + "\\Web\\Wallpaper");
    }
    for (int csidl : {CSIDL_MYPICTURES, CSIDL_COMMON_PICTURES}) {
        char path[MAX_PATH] = {};
        if (SHGetSpecialFolderPathA(nullptr, path, csidl, TRUE) && path[0]) folders.push_back(path);
    }
    return folders;
}

TfrmOptions::TfrmOptions()
    : comp::Dialog(FaceOptionsFormParams(), nullptr),
      ImageMonitor(comp::Dialog::AddImage((411 - kMonitorWidth) / 2, 8, kMonitorWidth, kMonitorHeight)),
      ImagePreview(comp::Dialog::AddImage((411 - kMonitorWidth) / 2 + kScreenLeft, 8 + kScreenTop, kPreviewWidth, kPreviewHeight)),
      Label3(AddLabel("Background", 8, 180, 120, 15)),
      ListView1(AddControl<comp::ListView>(8, 197, 300, 146)),
      Button1(AddButton("Browse...", 316, 197, 87, 25)),
      Label1(AddLabel("Position", 8, 355, 58, 15)),
      ComboBox1(AddControl<comp::ComboBox>(std::vector<std::string>{"Stretch", "Center", "Tile"}, 68, 351, 110, 21)),
      Label2(AddLabel("Color", 188, 355, 32, 15)),
      colorSelector_(new TColorSelector(Handle(), 222, 351, 83, 21)),
      ColorSelector1(*colorSelector_),
      TrackBar1(AddControl<comp::TrackBar>(0, 2, 16, 396, 284, 28)),
      LabelResLow(AddLabel("Low", 20, 426, 60, 15)),
      LabelResMedium(AddControl<comp::Label>("Medium", 128, 426, 60, 15, static_cast<DWORD>(SS_CENTER))),
      LabelResHigh(AddControl<comp::Label>("High", 236, 426, 60, 15, static_cast<DWORD>(SS_RIGHT))),
      GroupBoxRes(AddControl<comp::GroupBox>("Resolution", 8, 378, 300, 68)),
      btnOk(AddButton("Ok", 316, 359, 87, 25, true)),
      btnCancel(AddButton("Cancel", 316, 390, 87, 25, false, true)),
      btnApply(AddButton("Apply", 316, 421, 87, 25)),
      ImageList1(16, 16) {
    ImageMonitor.SetBitmap(MakeMonitorPicture());
    // The preview lies on the monitor's screen: keep it above.
    SetWindowPos(ImagePreview.Handle(), HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    for (int kind = 0; kind < 3; ++kind) {
        listImages_[kind] = MakeListImage(kind);
        ImageList1.Add(listImages_[kind], nullptr);
    }
    ListView1.SetSmallImages(&ImageList1);
    btnApply.SetEnabled(false);
    btnCancel.Result = comp::mrNone;  // the handler closes the form

    OpenPictureDialog1.Filter =
        "All (*.jpg;*.jpeg;*.bmp)|*.jpg;*.jpeg;*.bmp|JPEG Image File (*.jpg)|*.jpg|JPEG Image File (*.jpeg)|*.jpeg|"
        "Bitmaps (*.bmp)|*.bmp";

    OnShow = [this](comp::Dialog&) { FormShow(); };
    OnClose = [this](comp::Dialog&) { FormHide(); };
    ListView1.OnChange = [this](comp::ListView&) { ListView1Change(); };
    TrackBar1.OnChange = [this](comp::TrackBar&) { TrackBar1Change(); };
    ComboBox1.OnChange = [this](comp::ComboBox&) { ComboBox1Change(); };
    ColorSelector1.OnChangeColor = [this](TColorSelector&) { ColorSelector1ChangeColor(); };
    Button1.OnClick = [this](comp::Button&) { Button1Click(); };
    btnApply.OnClick = [this](comp::Button&) { btnApplyClick(); };
    btnOk.OnClick = [this](comp::Button&) { btnOkClick(); };
    btnCancel.OnClick = [this](comp::Button&) { btnCancelClick(); };
}

TfrmOptions::~TfrmOptions() {
    ListView1.SetSmallImages(nullptr);
    for (HBITMAP b : listImages_)
        if (b) DeleteObject(b);
}

std::string TfrmOptions::EntryPath(int index) const {
    return index >= 0 && index < static_cast<int>(paths_.size()) ? paths_[static_cast<size_t>(index)] : std::string();
}

int TfrmOptions::NoneEntry() const {
    for (size_t i = 0; i < paths_.size(); ++i)
        if (paths_[i].empty()) return static_cast<int>(i);
    return -1;
}

void TfrmOptions::AddImage(const std::string& Path, bool Check, bool Select) {
    if (Check) {
        const std::string wanted = Lower(Path);
        bool matched = false;
        for (size_t i = 0; i < paths_.size(); ++i) {
            if (paths_[i].empty() || Lower(paths_[i]) != wanted) continue;
            matched = true;
            if (Select) ListView1.Select(static_cast<int>(i));
        }
        if (matched) return;
    }
    if (Select) ListView1.Select(NoneEntry());
    if (!comp::FileExists(Path)) return;

    // In the order of the captions, after "(None)", which stays first.
    std::string name = comp::ExtractFileName(Path);
    const std::string caption = name.substr(0, name.size() - comp::ExtractFileExt(name).size());
    int at = 0;
    while (at < ListView1.Count() &&
           (EntryPath(at).empty() || lstrcmpiA(ListView1.Caption(at).c_str(), caption.c_str()) <= 0))
        ++at;
    at = ListView1.Insert(at, caption, PictureImageIndex(Path));
    if (at < 0) return;
    paths_.insert(paths_.begin() + at, Path);
    if (Select) ListView1.Select(at);
}

void TfrmOptions::ShowPreview() {
    const uint8_t P = static_cast<uint8_t>(ComboBox1.ItemIndex());
    const int R = ResolutionOfPosition(TrackBar1.Position());
    comp::Bitmap face(R, R);
    face.Fill(RGB(255, 255, 255));
    const int selected = ListView1.Selected();
    if (selected < 0) return;
    const std::string path = EntryPath(selected);
    const COLORREF color = ColorSelector1.Color();
    if (path.empty() || !comp::FileExists(path)) {
        face.Fill(color);
    } else {
        // Read anew on every change; a picture that cannot be decoded leaves the preview as it was.
        LoadFacePicture(path, face);
    }
    // The very composition of the cube's faces.
    ComposeFacePicture(face, R, R, P, color);
    ImagePreview.SetPicture(face);
}

void TfrmOptions::FormShow() {
    if (!Params.FileName.empty() && comp::FileExists(Params.FileName)) {
        comp::Quietly([&] {
            comp::Bitmap picture;
            LoadFacePicture(Params.FileName, picture);
            ImagePreview.SetPicture(picture);
        });
    }
    const int position = PositionOfResolution(Params.ResW);
    TrackBar1.SetPosition(position < 0 ? 0 : position);
    ColorSelector1.SetColor(static_cast<COLORREF>(Params.BKColor));
    ComboBox1.SetItemIndex(Params.bpp);

    ListView1.Clear();
    paths_.clear();
    ListView1.Insert(0, "(None)", 0);
    paths_.push_back(std::string());
    for (const std::string& folder : PictureFolders()) {
        const std::string base = comp::ExcludeTrailingBackslash(folder) + "\\";
        for (comp::FolderSearch search(base + "*.*"); search.Found(); search.Next())
            if (!search.IsFolder() && IsListedPicture(search.Name())) AddImage(base + search.Name(), false, false);
    }
    AddImage(Params.FileName, true, true);

    Filled = true;
    ListView1.SetFocus();
    btnApply.SetEnabled(false);
}

void TfrmOptions::FormHide() {
    paths_.clear();
    ListView1.Clear();
}

void TfrmOptions::ListView1Change() {
    if (!Filled) return;
    btnApply.SetEnabled(true);
    ShowPreview();
}

void TfrmOptions::TrackBar1Change() {
    btnApply.SetEnabled(true);
    ShowPreview();
}

void TfrmOptions::ComboBox1Change() {
    btnApply.SetEnabled(true);
    ShowPreview();
}

void TfrmOptions::ColorSelector1ChangeColor() {
    btnApply.SetEnabled(true);
    ShowPreview();
}

void TfrmOptions::Button1Click() {
    if (OpenPictureDialog1.Execute(Handle()) && AcceptBrowsedPath(Handle(), OpenPictureDialog1.FileName))
        AddImage(OpenPictureDialog1.FileName, true, true);
    ListView1.SetFocus();
    btnApply.SetEnabled(true);
    ShowPreview();
}

void TfrmOptions::SubmitParams() {
    Params.bpp = static_cast<uint8_t>(ComboBox1.ItemIndex());
    // With no entry selected the picture stays the one last applied.
    const int selected = ListView1.Selected();
    if (selected >= 0) Params.FileName = EntryPath(selected);
    const int R = ResolutionOfPosition(TrackBar1.Position());
    Params.ResW = Params.ResH = static_cast<uint16_t>(R);
    Params.BKColor = static_cast<int32_t>(ColorSelector1.Color());
    SubmitFaceOptions(Params.Index, Params.ResW, Params.ResH, Params.bpp, Params.BKColor, Params.FileName);
    btnApply.SetEnabled(false);
}

void TfrmOptions::btnApplyClick() {
    SubmitParams();
    ShowPreview();
}

void TfrmOptions::btnOkClick() {
    // Once the parameters went out the form closes, even when the preview that follows fails: its error is
    // reported this once.
    SubmitParams();
    SetModalResult(comp::mrOk);
    ShowPreview();
}

void TfrmOptions::btnCancelClick() { SetModalResult(comp::mrCancel); }

bool ExecuteFaceOptions(int32_t& Index, uint16_t& ResW, uint16_t& ResH, uint8_t& bpp, int32_t& BKColor,
                        std::string& FileName) {
    TfrmOptions form;
    form.Params.Index = Index;
    form.Params.ResW = ResW;
    form.Params.ResH = ResH;
    form.Params.bpp = bpp;
    form.Params.BKColor = BKColor;
    form.Params.FileName = FileName;
    if (form.ShowModal() == comp::mrOk) {
        Index = form.Params.Index;
        ResW = form.Params.ResW;
        ResH = form.Params.ResH;
        bpp = form.Params.bpp;
        BKColor = form.Params.BKColor;
        FileName = form.Params.FileName;
    }
    return true;
}

void SubmitFaceOptions(int32_t Index, uint16_t ResW, uint16_t ResH, uint8_t bpp, int32_t BKColor,
                       const std::string& FileName) {
    WriteDeskParams(Index, ResW, ResH, FileName, BKColor, bpp);
    PostToActiveXWnd(_3D_Gran_Opt, 1, 0);
}

void ShowFaceOptions() {
    if (FindWindowA(kFaceOptionsFormClass, nullptr)) return;
    int32_t Index = 1, BKColor = 0xFFFFFF;
    uint16_t ResW = 512, ResH = 512;
    std::string FileName;
    uint8_t bpp = 0;
    ReadDeskParams(Index, ResW, ResH, FileName, BKColor, bpp);
    ExecuteFaceOptions(Index, ResW, ResH, bpp, BKColor, FileName);
}
