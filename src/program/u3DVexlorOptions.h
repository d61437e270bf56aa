// The settings dialog: every setting but the tips, on three tabs. OK stores them and reloads the desktop
// page, so that a new 3D control starts with them.
#pragma once

#include "components/comctrls.h"
#include "components/commdlg.h"
#include "components/dialog.h"

#include <windows.h>

#include <string>

// The form's class name: at most one such window is open at a time.
extern const char* const kOptionsFormClass;  // "Tfrm3DVexlorOptions"

class Tfrm3DVexlorOptions : public comp::Dialog {
public:
    explicit Tfrm3DVexlorOptions(HWND owner);

    // The controls from the settings record, and back (see Show3DVexlorOptions).
    void FillFromSettings();
    void StoreIntoSettings();

    void hk1Change();
    void cbShowFPSClick();
    void cbFPSPlaceChange();
    void cbStartClick();
    void cbWallClick();
    void sbOpenClick();

    comp::PageControl& PageControl1;
    int tsSettings, ts3DSettings, tsWallpaper;
    // "Settings"
    comp::CheckBox& cbStart;
    comp::Label& Label2;
    comp::HotKey& hk1;
    comp::Label& Label3;
    comp::HotKey& hk2;
    comp::CheckBox& cbHide;
    comp::RadioGroup& rgKey;
    comp::RadioGroup& rgKeyW;
    // "3D settings"
    comp::Label& Label4;
    comp::ComboBox& cbQuality;
    comp::CheckBox& cbFPS;
    comp::Label& Label5;
    comp::SpinEdit& seFPS;
    comp::CheckBox& cbShowFPS;
    comp::Label& label11;
    comp::ComboBox& cbFPSPlace;
    // "3D Wallpaper"
    comp::CheckBox& cbWall;
    comp::Label& Label1;
    comp::Edit& eWall;
    comp::Button& sbOpen;

    comp::Button& btnOk;
    comp::Button& btnCancel;
    comp::OpenDialog od;
};

// Opens the settings dialog (the control's "_3D_Options" and the tray menu's "3D Vexlor Options") unless
// one is open. On OK: saves the settings and reloads the desktop page.
void Show3DVexlorOptions();
