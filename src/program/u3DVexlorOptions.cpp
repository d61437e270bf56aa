// The settings form and its opener.
#include "u3DVexlorOptions.h"

#include "frmMain.h"
#include "shared/uOptionsShared.h"
#include "uBrowsedPath.h"

const char* const kOptionsFormClass = "Tfrm3DVexlorOptions";

static comp::DialogParams OptionsFormParams() {
    comp::DialogParams p;
    p.className = kOptionsFormClass;
    p.caption = "3D Vexlor options";
    p.clientWidth = 404;
    p.clientHeight = 255;
    return p;
}

Tfrm3DVexlorOptions::Tfrm3DVexlorOptions(HWND owner)
    : comp::Dialog(OptionsFormParams(), owner),
      PageControl1(AddControl<comp::PageControl>(8, 8, 305, 239)),
      tsSettings(PageControl1.AddPage("Settings")),
      ts3DSettings(PageControl1.AddPage("3D settings")),
      tsWallpaper(PageControl1.AddPage("3D Wallpaper")),
      cbStart(AddCheckBox("3D Vexlor will be loaded each time Windows starts", 20, 40, 285, 17)),
      Label2(AddLabel("Toggle Cube On/Off", 20, 69, 150, 15)),
      hk1(AddControl<comp::HotKey>(180, 66, 120, 21)),
      Label3(AddLabel("Toggle Cube View Outside/Inside", 20, 97, 158, 15)),
      hk2(AddControl<comp::HotKey>(180, 94, 120, 21)),
      cbHide(AddCheckBox("Hide default Windows Icons", 20, 122, 285, 17)),
      rgKey(AddControl<comp::RadioGroup>("Mouse Control key", std::vector<std::string>{"Ctrl", "Shift", "Alt"}, 20,
                                         146, 135, 88)),
      rgKeyW(AddControl<comp::RadioGroup>("Which key", std::vector<std::string>{"Left", "Right", "Any"}, 166, 146,
                                          135, 88)),
      Label4(AddLabel("Quality", 20, 44, 110, 15)),
      cbQuality(AddControl<comp::ComboBox>(std::vector<std::string>{"Low", "Normal", "High"}, 140, 40, 130, 21)),
      cbFPS(AddCheckBox("FPS Limit", 20, 76, 150, 17)),
      Label5(AddLabel("Max FPS", 20, 106, 110, 15)),
      seFPS(AddControl<comp::SpinEdit>(1, 100, 30, 140, 102, 70, 21)),
      cbShowFPS(AddCheckBox("Show FPS", 20, 138, 150, 17)),
      label11(AddLabel("FPS counter place", 20, 168, 115, 15)),
      cbFPSPlace(AddControl<comp::ComboBox>(std::vector<std::string>{"TopLeft", "TopRight", "BottomRight",
                                                                     "BottomLeft"},
                                            140, 164, 130, 21)),
      cbWall(AddCheckBox("Use 3D wallpaper", 20, 44, 200, 17)),
      Label1(AddLabel("3D wallpaper", 20, 78, 200, 15)),
      eWall(AddControl<comp::Edit>("", 20, 96, 252, 21)),
      sbOpen(AddButton("...", 276, 96, 23, 21)),
      btnOk(AddButton("OK", 321, 8, 75, 25, true)),
      btnCancel(AddButton("Cancel", 321, 39, 75, 25, false, true)) {
    for (comp::Control* c : std::initializer_list<comp::Control*>{&cbStart, &Label2, &hk1, &Label3, &hk2, &cbHide,
                                                                   &rgKey, &rgKeyW})
        PageControl1.AddToPage(tsSettings, *c);
    for (comp::Control* c : std::initializer_list<comp::Control*>{&Label4, &cbQuality, &cbFPS, &Label5, &seFPS,
                                                                   &cbShowFPS, &label11, &cbFPSPlace})
        PageControl1.AddToPage(ts3DSettings, *c);
    for (comp::Control* c : std::initializer_list<comp::Control*>{&cbWall, &Label1, &eWall, &sbOpen})
        PageControl1.AddToPage(tsWallpaper, *c);
    PageControl1.SendToBack();  // the pages' controls lie above the tabs
    PageControl1.SetActivePage(tsSettings);

    // The browse button is a speed button: it takes no focus.
    SetWindowLongA(sbOpen.Handle(), GWL_STYLE, GetWindowLongA(sbOpen.Handle(), GWL_STYLE) & ~WS_TABSTOP);
    hk1.SetShortCut(0x4048);
    hk2.SetShortCut(0x4049);
    Label1.SetEnabled(false);
    btnOk.Result = comp::mrOk;
    btnCancel.Result = comp::mrCancel;

    od.Filter = "3D Vexlor Wallpaper (*.3dv)|*.3dv";
    od.DefaultExt = "3dv";

    hk1.OnChange = [this](comp::HotKey&) { hk1Change(); };
    hk2.OnChange = [this](comp::HotKey&) { hk1Change(); };
    cbQuality.OnChange = [this](comp::ComboBox&) { hk1Change(); };
    cbHide.OnClick = [this](comp::CheckBox&) { hk1Change(); };
    rgKey.OnClick = [this](comp::RadioGroup&) { hk1Change(); };
    rgKeyW.OnClick = [this](comp::RadioGroup&) { hk1Change(); };
    cbFPS.OnClick = [this](comp::CheckBox&) { hk1Change(); };
    seFPS.OnChange = [this](comp::SpinEdit&) { hk1Change(); };
    cbShowFPS.OnClick = [this](comp::CheckBox&) { cbShowFPSClick(); };
    cbFPSPlace.OnChange = [this](comp::ComboBox&) { cbFPSPlaceChange(); };
    cbStart.OnClick = [this](comp::CheckBox&) { cbStartClick(); };
    cbWall.OnClick = [this](comp::CheckBox&) { cbWallClick(); };
    sbOpen.OnClick = [this](comp::Button&) { sbOpenClick(); };
}

void Tfrm3DVexlorOptions::FillFromSettings() {
    hk1.SetShortCut(static_cast<WORD>(Settings.key_hide & 0xFFFF));
    hk2.SetShortCut(static_cast<WORD>(Settings.key_inside & 0xFFFF));
    cbHide.SetChecked(Settings.hide_shotcuts);
    rgKey.SetItemIndex(Settings.ctrl_key);
    rgKeyW.SetItemIndex(Settings.which_key);
    cbQuality.SetItemIndex(Settings.d3d_qw);
    cbFPS.SetChecked(Settings.FPSLimit);
    seFPS.SetValue(Settings.FPS);
    cbWall.SetChecked(Settings.use_3d_wallpaper);
    // Ticking the box is a click on it; leaving it clear keeps the tab as the form made it.
    if (Settings.use_3d_wallpaper) cbWallClick();
    eWall.SetText(Settings.wallpaper);
    cbShowFPS.SetChecked(Settings.ShowFPS);
    cbFPSPlace.SetItemIndex(Settings.ShowFPSPlace);
    cbStart.SetChecked(Settings.StartUP);
}

void Tfrm3DVexlorOptions::StoreIntoSettings() {
    Settings.key_hide = hk1.ShortCut();
    Settings.key_inside = hk2.ShortCut();
    Settings.hide_shotcuts = cbHide.Checked();
    Settings.FPSLimit = cbFPS.Checked();
    Settings.use_3d_wallpaper = cbWall.Checked();
    Settings.ShowFPS = cbShowFPS.Checked();
    Settings.StartUP = cbStart.Checked();
    Settings.ctrl_key = rgKey.ItemIndex();
    Settings.which_key = rgKeyW.ItemIndex();
    Settings.d3d_qw = cbQuality.ItemIndex();
    Settings.ShowFPSPlace = cbFPSPlace.ItemIndex();
    Settings.FPS = seFPS.Value();
    Settings.wallpaper = eWall.Text().substr(0, kSettingsTextMax);
}

void Tfrm3DVexlorOptions::hk1Change() { btnOk.SetEnabled(true); }
void Tfrm3DVexlorOptions::cbShowFPSClick() { btnOk.SetEnabled(true); }
void Tfrm3DVexlorOptions::cbFPSPlaceChange() { btnOk.SetEnabled(true); }
void Tfrm3DVexlorOptions::cbStartClick() { btnOk.SetEnabled(true); }

void Tfrm3DVexlorOptions::cbWallClick() {
    const bool on = cbWall.Checked();
    Label1.SetEnabled(on);
    eWall.SetEnabled(on);
    sbOpen.SetEnabled(on);
    btnOk.SetEnabled(true);
}

void Tfrm3DVexlorOptions::sbOpenClick() {
    od.FileName = eWall.Text();
    if (!od.Execute(Handle())) return;
    if (AcceptBrowsedPath(Handle(), od.FileName)) eWall.SetText(od.FileName);
}

void Show3DVexlorOptions() {
    if (FindWindowA(kOptionsFormClass, nullptr)) return;
    Tfrm3DVexlorOptions form(MainFormHandle());
    LoadSettings();
    form.FillFromSettings();
    if (form.ShowModal() != comp::mrOk) return;
    form.StoreIntoSettings();
    // An error while saving reaches the caller's handler (the form goes first, being a local); the page is
    // then not reloaded.
    SaveSettings();
    ReloadDesktopPage();
}
