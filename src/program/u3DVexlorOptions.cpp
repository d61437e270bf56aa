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
      // "Settings", in the page's coordinates
      cbStart(AddControlOn<comp::CheckBox>(PageControl1.Page(tsSettings),
                                           "3D Vexlor will be loaded each time Windows starts", 8, 8, 283, 17)),
      Label2(AddControlOn<comp::Label>(PageControl1.Page(tsSettings), "Toggle Cube On/Off", 8, 37, 188, 15)),
      hk1(AddControlOn<comp::HotKey>(PageControl1.Page(tsSettings), 198, 34, 92, 21)),
      Label3(AddControlOn<comp::Label>(PageControl1.Page(tsSettings), "Toggle Cube View Outside/Inside", 8, 65, 188,
                                       15)),
      hk2(AddControlOn<comp::HotKey>(PageControl1.Page(tsSettings), 198, 62, 92, 21)),
      cbHide(AddControlOn<comp::CheckBox>(PageControl1.Page(tsSettings), "Hide default Windows Icons", 8, 90, 283, 17)),
      rgKey(AddControlOn<comp::RadioGroup>(PageControl1.Page(tsSettings), "Mouse Control key",
                                           std::vector<std::string>{"Ctrl", "Shift", "Alt"}, 8, 114, 137, 88)),
      rgKeyW(AddControlOn<comp::RadioGroup>(PageControl1.Page(tsSettings), "Which key",
                                            std::vector<std::string>{"Left", "Right", "Any"}, 153, 114, 137, 88)),
      // "3D settings"
      Label4(AddControlOn<comp::Label>(PageControl1.Page(ts3DSettings), "Quality", 8, 12, 112, 15)),
      cbQuality(AddControlOn<comp::ComboBox>(PageControl1.Page(ts3DSettings),
                                             std::vector<std::string>{"Low", "Normal", "High"}, 128, 8, 130, 21)),
      cbFPS(AddControlOn<comp::CheckBox>(PageControl1.Page(ts3DSettings), "FPS Limit", 8, 44, 150, 17)),
      Label5(AddControlOn<comp::Label>(PageControl1.Page(ts3DSettings), "Max FPS", 8, 74, 112, 15)),
      seFPS(AddControlOn<comp::SpinEdit>(PageControl1.Page(ts3DSettings), 1, 100, 30, 128, 70, 70, 21)),
      cbShowFPS(AddControlOn<comp::CheckBox>(PageControl1.Page(ts3DSettings), "Show FPS", 8, 106, 150, 17)),
      label11(AddControlOn<comp::Label>(PageControl1.Page(ts3DSettings), "FPS counter place", 8, 136, 118, 15)),
      cbFPSPlace(AddControlOn<comp::ComboBox>(PageControl1.Page(ts3DSettings),
                                              std::vector<std::string>{"TopLeft", "TopRight", "BottomRight",
                                                                       "BottomLeft"},
                                              128, 132, 130, 21)),
      // "3D Wallpaper"
      cbWall(AddControlOn<comp::CheckBox>(PageControl1.Page(tsWallpaper), "Use 3D wallpaper", 8, 12, 200, 17)),
      Label1(AddControlOn<comp::Label>(PageControl1.Page(tsWallpaper), "3D wallpaper", 8, 46, 200, 15)),
      eWall(AddControlOn<comp::Edit>(PageControl1.Page(tsWallpaper), "", 8, 64, 252, 21)),
      sbOpen(AddControlOn<comp::Button>(PageControl1.Page(tsWallpaper), "...", 264, 64, 23, 21, false, false)),
      btnOk(AddButton("OK", 321, 8, 75, 25, true)),
      btnCancel(AddButton("Cancel", 321, 39, 75, 25, false, true)) {
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
