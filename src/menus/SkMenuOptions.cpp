// The option objects of the skinned menus.
#include "menus/SkMenuOptions.h"

#include "menus/SkExceptions.h"
#include "menus/SkinMenus.h"

int FontHeightOfPoints(int points) {
    HDC screen = GetDC(nullptr);
    const int dpi = screen ? GetDeviceCaps(screen, LOGPIXELSY) : 96;
    if (screen) ReleaseDC(nullptr, screen);
    return -MulDiv(points, dpi > 0 ? dpi : 96, 72);
}

// ---- TSkGradientBar

TSkGradientBar::TSkGradientBar(comp::Menu* menu) : TSkGradientBar(menu, "TSkGradientBar") {}

TSkGradientBar::TSkGradientBar(comp::Menu* menu, const char* className) : menu_(menu) {
    if (!menu) throw ERequireOwner(className);
}

void TSkGradientBar::Assign(const TSkGradientBar& source) {
    SetGradientColor(0, source.GetGradientColor(0));
    SetGradientColor(1, source.GetGradientColor(1));
    GradientStyle = source.GradientStyle;
    Border = source.Border;
}

COLORREF TSkGradientBar::GetGradientColor(int index) const {
    switch (index) {
        case 0: return gradientStart_;
        case 1: return gradientEnd_;
        default: throw EInvalidPropertyIndex(index);
    }
}

void TSkGradientBar::SetGradientColor(int index, COLORREF value) {
    switch (index) {
        case 0: gradientStart_ = value; break;
        case 1: gradientEnd_ = value; break;
        default: throw EInvalidPropertyIndex(index);
    }
}

// ---- TSkBarPicture

TSkBarPicture::TSkBarPicture(comp::Menu* menu) : TSkBarPicture(menu, "TSkBarPicture") {}

TSkBarPicture::TSkBarPicture(comp::Menu* menu, const char* className) : menu_(menu) {
    if (!menu) throw ERequireOwner(className);
}

TSkBarPicture::~TSkBarPicture() = default;

comp::Bitmap& TSkBarPicture::Picture() const {
    if (!picture_) picture_ = std::make_unique<comp::Bitmap>();
    return *picture_;
}

void TSkBarPicture::SetPicture(const comp::Bitmap* value) {
    if (!value) {
        picture_.reset();
        return;
    }
    comp::Bitmap& own = Picture();
    if (&own != value) own = *value;
}

void TSkBarPicture::Assign(const TSkBarPicture& source) {
    SetPicture(&source.Picture());
    SetTransparent(source.Transparent());
    OffsetX = source.OffsetX;
    OffsetY = source.OffsetY;
    VertAlignment = source.VertAlignment;
    HorzAlignment = source.HorzAlignment;
}

void TSkBarPicture::GetPosition(int& x, int& y) const {
    ISkinMenusIntf* menu = GetMenuIntf(menu_);
    const int H = menu ? menu->GetBarProtected().Height() : 0;
    const int W = menu ? menu->GetBar().Width : 0;
    const comp::Bitmap& p = Picture();
    switch (VertAlignment) {
        case vaTop: y = OffsetY; break;
        case vaBottom: y = H + OffsetY - p.Height(); break;
        case vaMiddle: y = (H - p.Height()) / 2 + OffsetY; break;
    }
    switch (HorzAlignment) {
        case haLeft: x = OffsetX; break;
        case haRight: x = W + OffsetX - p.Width(); break;
        case haCenter: x = (W - p.Width()) / 2 + OffsetX; break;
    }
}

TSkBarBackPicture::TSkBarBackPicture(comp::Menu* menu) : TSkBarPicture(menu, "TSkBarBackPicture") {
    VertAlignment = vaTop;
    HorzAlignment = haLeft;
}

// ---- TSkBarCaption

TSkBarCaption::TSkBarCaption(comp::Menu* menu)
    : Font("Tahoma", FontHeightOfPoints(14), true, true, comp::clWhite), menu_(menu) {}

void TSkBarCaption::Assign(const TSkBarCaption& source) {
    Font = source.Font;
    Caption = source.Caption;
    OffsetY = source.OffsetY;
    Alignment = source.Alignment;
    Depth = source.Depth;
    ShadowColor = source.ShadowColor;
    HighlightColor = source.HighlightColor;
    Direction = source.Direction;
}

// ---- TSkBar

TSkBar::TSkBar(comp::Menu* menu) : TSkGradientBar(menu, "TSkBar") {
    barPicture_ = std::make_unique<TSkBarPicture>(menu);
    barBackPicture_ = std::make_unique<TSkBarBackPicture>(menu);
    barCaption_ = std::make_unique<TSkBarCaption>(menu);
}

TSkBar::~TSkBar() {
    barPicture_.reset();
    barBackPicture_.reset();
    barCaption_.reset();
}

void TSkBar::Assign(const TSkGradientBar& source) {
    if (auto* bar = dynamic_cast<const TSkBar*>(&source)) {
        Width = bar->Width;
        SetVisible(bar->Visible());
        Side = bar->Side;
        Space = bar->Space;
        barPicture_->Assign(bar->BarPicture());
        barBackPicture_->Assign(bar->BarBackPicture());
        barCaption_->Assign(bar->BarCaption());
    }
    TSkGradientBar::Assign(source);
}

void TSkBar::SetVisible(bool value) {
    ISkinMenusIntf* menu = GetMenuIntf(Menu());
    if (!value && menu) {
        TSkBarProtected& state = menu->GetBarProtected();
        state.FreeBitmap();
        state.SetMeasuring(true);
        state.Valid = false;
    }
    visible_ = value;
    // A popup menu picks the value up at its next popup; a menu bar is built again now.
    if (auto* mainMenu = dynamic_cast<TSkCustomBarMainMenu*>(Menu()))
        if (mainMenu->WindowHandle()) mainMenu->RefreshMenu(false, true);
}

// ---- TSkSeparators

TSkSeparators::TSkSeparators(comp::Menu* menu) : TSkGradientBar(menu, "TSkSeparators") {
    SetGradientStart(comp::clGray);
    SetGradientEnd(comp::clSilver);
    GradientStyle = gsHorizontal;
}

void TSkSeparators::Assign(const TSkGradientBar& source) {
    if (auto* separators = dynamic_cast<const TSkSeparators*>(&source)) {
        Font = separators->Font;
        Alignment = separators->Alignment;
        SeparatorStyle = separators->SeparatorStyle;
        UseSystemFont = separators->UseSystemFont;
    }
    TSkGradientBar::Assign(source);
}
