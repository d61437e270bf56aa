// The appearance options of a skinned menu: the side bar (gradient, size, side, picture, background
// picture, vertical caption) and the separators. Each option object knows the menu that owns it; apart
// from the bar's Visible, writing an option never notifies the menu: the new value shows at the next
// measuring and drawing (the cached bar picture is painted again only once it is stale).
#pragma once

#include <windows.h>

#include <memory>
#include <string>

#include "components/bitmap.h"
#include "components/canvas.h"
#include "components/font.h"
#include "components/menus.h"
#include "menus/SkGradient.h"

enum TSide { sLeft, sRight };
enum TVertAlignment { vaTop, vaBottom, vaMiddle };
enum THorzAlignment { haLeft, haRight, haCenter };
enum TDrawStyle { dsNormal, dsTile, dsStretch };
enum TDirection { dDownToUp, dUpToDown };
enum TSeparatorStyle { ssNormal, ssShortLine, ssCaption };
enum TSkMenuStyle { msAuto, msStandard, msWindowsXP };
// Alignment of separator captions.
enum TAlignment { taLeftJustify, taRightJustify, taCenter };

// The default colour of a gradient's start: red 175, green 189, blue 216.
constexpr COLORREF kSkGradientStartDefault = 0xD8BDAF;

// A two-colour gradient and a border colour; the base of the side bar and the separator options.
class TSkGradientBar {
public:
    // Raises ERequireOwner when |menu| is nullptr.
    explicit TSkGradientBar(comp::Menu* menu);
    virtual ~TSkGradientBar() = default;
    TSkGradientBar(const TSkGradientBar&) = delete;
    TSkGradientBar& operator=(const TSkGradientBar&) = delete;

    // Copies the gradient colours, the style and the border.
    virtual void Assign(const TSkGradientBar& source);

    comp::Menu* Menu() const { return menu_; }

    // Index 0: GradientStart, 1: GradientEnd; any other index raises EInvalidPropertyIndex.
    COLORREF GetGradientColor(int index) const;
    void SetGradientColor(int index, COLORREF value);
    COLORREF GradientStart() const { return GetGradientColor(0); }
    void SetGradientStart(COLORREF value) { SetGradientColor(0, value); }
    COLORREF GradientEnd() const { return GetGradientColor(1); }
    void SetGradientEnd(COLORREF value) { SetGradientColor(1, value); }

    COLORREF Border = comp::clNone;
    TGradientStyle GradientStyle = gsVertical;

protected:
    // |className| names the object being created in the owner error.
    TSkGradientBar(comp::Menu* menu, const char* className);

private:
    comp::Menu* menu_;
    COLORREF gradientStart_ = kSkGradientStartDefault;
    COLORREF gradientEnd_ = comp::clBlack;
};

// A picture on the side bar, placed by alignment and offsets.
class TSkBarPicture {
public:
    // Raises ERequireOwner when |menu| is nullptr.
    explicit TSkBarPicture(comp::Menu* menu);
    virtual ~TSkBarPicture();
    TSkBarPicture(const TSkBarPicture&) = delete;
    TSkBarPicture& operator=(const TSkBarPicture&) = delete;

    // Copies the picture, Transparent, the offsets and the alignments (not Visible, not a DrawStyle).
    virtual void Assign(const TSkBarPicture& source);

    comp::Menu* Menu() const { return menu_; }

    // Drawn transparently: the colour of the picture's bottom-left pixel shows what lies beneath.
    bool Transparent() const { return transparent_; }
    void SetTransparent(bool value) { transparent_ = value; }
    // The picture; an empty one is made on the first read and owned from then on.
    comp::Bitmap& Picture() const;
    // nullptr frees the picture (the next read makes an empty one); else the picture becomes a copy.
    void SetPicture(const comp::Bitmap* value);
    bool HasPicture() const { return picture_ != nullptr; }

    int OffsetX = 0;
    int OffsetY = 0;
    TVertAlignment VertAlignment = vaBottom;
    THorzAlignment HorzAlignment = haCenter;
    bool Visible = true;

    // The left and top position of the picture in the bar image of the owner menu (bar height from the
    // bar state, bar width from the bar options).
    void GetPosition(int& x, int& y) const;

protected:
    TSkBarPicture(comp::Menu* menu, const char* className);

private:
    comp::Menu* menu_;
    bool transparent_ = true;
    mutable std::unique_ptr<comp::Bitmap> picture_;
};

// The background picture of the side bar: drawn once, tiled or stretched.
class TSkBarBackPicture : public TSkBarPicture {
public:
    explicit TSkBarBackPicture(comp::Menu* menu);

    TDrawStyle DrawStyle = dsNormal;
};

// The vertical caption of the side bar.
class TSkBarCaption {
public:
    // Takes a nullptr menu too.
    explicit TSkBarCaption(comp::Menu* menu);
    virtual ~TSkBarCaption() = default;
    TSkBarCaption(const TSkBarCaption&) = delete;
    TSkBarCaption& operator=(const TSkBarCaption&) = delete;

    // Copies everything but Visible.
    virtual void Assign(const TSkBarCaption& source);

    comp::Menu* Menu() const { return menu_; }

    comp::Font Font;  // "Tahoma", 14 points, bold italic, white
    COLORREF ShadowColor = comp::clNone;
    COLORREF HighlightColor = comp::clNone;
    int Depth = 1;
    std::string Caption;
    int OffsetY = 6;
    TVertAlignment Alignment = vaBottom;
    TDirection Direction = dDownToUp;
    bool Visible = true;

private:
    comp::Menu* menu_;
};

// The side bar of a skinned menu.
class TSkBar : public TSkGradientBar {
public:
    explicit TSkBar(comp::Menu* menu);
    ~TSkBar() override;

    // From another bar: width, visibility, side, space, the pictures and the caption; then, from any source,
    // the gradient.
    void Assign(const TSkGradientBar& source) override;

    int Width = 32;
    int Space = 1;
    TSide Side = sLeft;

    bool Visible() const { return visible_; }
    // False drops the menu's cached bar picture and starts a new measuring pass; on a main menu attached to
    // a window the items are built again.
    void SetVisible(bool value);

    TSkBarPicture& BarPicture() const { return *barPicture_; }
    void SetBarPicture(const TSkBarPicture& value) { barPicture_->Assign(value); }
    TSkBarBackPicture& BarBackPicture() const { return *barBackPicture_; }
    void SetBarBackPicture(const TSkBarBackPicture& value) { barBackPicture_->Assign(value); }
    TSkBarCaption& BarCaption() const { return *barCaption_; }
    void SetBarCaption(const TSkBarCaption& value) { barCaption_->Assign(value); }

private:
    bool visible_ = true;
    std::unique_ptr<TSkBarPicture> barPicture_;
    std::unique_ptr<TSkBarBackPicture> barBackPicture_;
    std::unique_ptr<TSkBarCaption> barCaption_;
};

// The separator items of a skinned menu.
class TSkSeparators : public TSkGradientBar {
public:
    explicit TSkSeparators(comp::Menu* menu);

    // From other separators: the font, alignment, style and UseSystemFont (not the fade and line
    // settings); then, from any source, the gradient.
    void Assign(const TSkGradientBar& source) override;

    comp::Font Font;
    bool UseSystemFont = true;
    TAlignment Alignment = taCenter;
    TSeparatorStyle SeparatorStyle = ssNormal;
    bool Fade = false;
    int FadeWidth = 32;
    COLORREF FadeColor = comp::clBtnShadow;
    bool FlatLines = false;
};

// The character height (a negative font height) of a size in points on the screen.
int FontHeightOfPoints(int points);
