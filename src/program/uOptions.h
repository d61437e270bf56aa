// The face picture dialog: the picture, its position (stretch, centre, tile), the background colour and the
// resolution of one face of the cube, with a preview of the face composed as the cube composes it. Apply
// and OK write "Opt.ini" and tell the 3D control to apply it.
#pragma once

#include "ColorSelector.h"
#include "components/comctrls.h"
#include "components/commdlg.h"
#include "components/dialog.h"
#include "shared/uParameters.h"

#include <windows.h>

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

// The form's class name: at most one such window is open at a time.
extern const char* const kFaceOptionsFormClass;  // "TfrmOptions"

// The side of the face texture for a slider position (0, 1, 2: 256, 512, 1024), and back (-1: none).
int ResolutionOfPosition(int position);
int PositionOfResolution(int side);
// The picture list's image for a file: 1 for ".bmp" and ".dib" (any letter case), 2 for other pictures.
int PictureImageIndex(const std::string& fileName);
// The extensions the list takes: ".bmp", ".jpg", ".jpeg", ".dib" (any letter case).
bool IsListedPicture(const std::string& fileName);
// The folders the list is filled from, in order: the Windows folder, its "\Web\Wallpaper\", the user's
// and all users' picture folders (made when missing; left out when they cannot be had).
std::vector<std::string> PictureFolders();

class TfrmOptions : public comp::Dialog {
public:
    TfrmOptions();
    ~TfrmOptions() override;

    // The parameters (filled before the form is shown).
    TDeskParams Params;
    // Set once the opening has filled the list; until then changes of the list are ignored.
    bool Filled = false;

    void AddImage(const std::string& Path, bool Check, bool Select);
    void ShowPreview();

    void FormShow();
    void FormHide();
    void ListView1Change();
    void TrackBar1Change();
    void ComboBox1Change();
    void ColorSelector1ChangeColor();
    void Button1Click();
    void btnApplyClick();
    void btnOkClick();
    void btnCancelClick();

    // The path of a list entry ("" for "(None)").
    std::string EntryPath(int index) const;
    // The entry whose path is empty.
    int NoneEntry() const;

    comp::Image& ImageMonitor;
    comp::Image& ImagePreview;
    comp::Label& Label3;
    comp::ListView& ListView1;
    comp::Button& Button1;
    comp::Label& Label1;
    comp::ComboBox& ComboBox1;
    comp::Label& Label2;

private:
    std::unique_ptr<TColorSelector> colorSelector_;

public:
    TColorSelector& ColorSelector1;
    comp::TrackBar& TrackBar1;
    comp::Label& LabelResLow;
    comp::Label& LabelResMedium;
    comp::Label& LabelResHigh;
    comp::GroupBox& GroupBoxRes;
    comp::Button& btnOk;
    comp::Button& btnCancel;
    comp::Button& btnApply;
    comp::ImageList ImageList1;
    comp::OpenPictureDialog OpenPictureDialog1;

private:
    // Apply's first part: takes the controls into Params, writes and posts them, disables Apply.
    void SubmitParams();

    // The entries' paths, in the list's order.
    std::vector<std::string> paths_;
    HBITMAP listImages_[3] = {};
};

// Shows the dialog for the six parameters; copies them back when it closes with OK. Always true.
bool ExecuteFaceOptions(int32_t& Index, uint16_t& ResW, uint16_t& ResH, uint8_t& bpp, int32_t& BKColor,
                        std::string& FileName);
// Writes the parameters into "Opt.ini" and asks the 3D control to apply them (_3D_Gran_Opt, wParam 1).
void SubmitFaceOptions(int32_t Index, uint16_t ResW, uint16_t ResH, uint8_t bpp, int32_t BKColor,
                       const std::string& FileName);
// Opens the dialog for the face the control wrote into "Opt.ini" (_3D_Gran_Options) unless one is open.
void ShowFaceOptions();
