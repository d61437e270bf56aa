// Drawing a face's items into its texture cell by cell, sorting them, and the face point of a point
// on the cube.
#include "control/uGranDesktop.h"

#include <algorithm>

#include "components/bitmap.h"
#include "components/exceptions.h"
#include "components/icon.h"
#include "control/uShellLinkEx.h"
#include "control/uTexture.h"

using comp::Bitmap;

namespace {
// The default character set shows the system's own code page right, whatever the locale.
constexpr BYTE kCaptionCharset = DEFAULT_CHARSET;
constexpr int kCaptionPoints = 8;
constexpr UINT kCaptionFormat = DT_CENTER | DT_WORDBREAK | DT_END_ELLIPSIS | DT_WORD_ELLIPSIS;

// Uploads one part of a cell; a part that does not reach the texture raises, so that the caller does
// not take the cell for drawn or erased.
void UploadCellPart(IDirect3DTexture9* texture, Bitmap& part, int x, int y) {
    comp::CheckHResult(CopyBitmapToTexture(texture, part, static_cast<uint16_t>(x), static_cast<uint16_t>(y)),
                       "Upload of a face cell");
}
}  // namespace

TCaptionFont::~TCaptionFont() {
    if (handle_) DeleteObject(handle_);
}

HFONT TCaptionFont::Handle() {
    if (!handle_) {
        HDC screen = GetDC(nullptr);
        const int dpi = screen ? GetDeviceCaps(screen, LOGPIXELSY) : 96;
        if (screen) ReleaseDC(nullptr, screen);
        LOGFONTA lf{};
        lf.lfHeight = -MulDiv(kCaptionPoints, dpi, 72);
        lf.lfWeight = FW_NORMAL;
        lf.lfCharSet = kCaptionCharset;
        lf.lfPitchAndFamily = DEFAULT_PITCH;
        lstrcpynA(lf.lfFaceName, "Tahoma", LF_FACESIZE);
        handle_ = CreateFontIndirectA(&lf);
    }
    return handle_;
}

void TGranDesktop::DrawLink(const TLinkRecord* record, uint8_t mode) {
    // Without a texture there is nothing to draw into or to erase.
    if (!record || mode > dmErase || !Texture) return;
    if (!InGrid(TCell{record->Column, record->Row}, Columns, Rows)) return;
    if (mode == dmErase) EraseCell(*record);
    else DrawCell(*record, mode == dmSelected);
}

void TGranDesktop::DrawCell(const TLinkRecord& record, bool selected) {
    Bitmap& face = FaceBitmap();
    const int cellX = record.Column * CellWidth, cellY = record.Row * CellHeight;

    // The icon over a copy of the background under it.
    const int iconX = cellX + IconLeft, iconY = cellY + IconTop;
    Bitmap icon(IconWidth, IconHeight);
    icon.Draw(face, -iconX, -iconY);
    comp::Icon handle;
    GetLinkIcon(record, handle);
    if (!handle.Empty()) DrawIconEx(icon.Canvas(), 0, 0, handle.Handle(), IconWidth, IconHeight, 0, nullptr, DI_NORMAL);
    UploadCellPart(Texture, icon, iconX, iconY);

    // The caption, one pixel row shorter than its band: the band's last row keeps the background.
    const int textX = cellX + TextMargin, textY = iconY + IconHeight + TextGap;
    const int bandWidth = CellWidth - 2 * TextMargin, bandHeight = CellHeight - IconTop - IconHeight - TextGap;
    Bitmap band(bandWidth, bandHeight);
    band.Draw(face, -textX, -textY);
    Bitmap caption(bandWidth, bandHeight - 1);
    caption.StretchDraw(RECT{0, 0, bandWidth, bandHeight - 1}, band);
    HDC dc = caption.Canvas();
    const HGDIOBJ oldFont = SelectObject(dc, captionFont_.Handle());
    SetTextColor(dc, selected ? GetSysColor(COLOR_HIGHLIGHTTEXT) : RGB(0, 0, 0));
    SetBkColor(dc, selected ? GetSysColor(COLOR_HIGHLIGHT) : RGB(255, 255, 255));
    SetBkMode(dc, OPAQUE);
    RECT area{0, 0, bandWidth, bandHeight - 1};
    std::string text = record.Caption;
    DrawTextExA(dc, text.empty() ? const_cast<char*>("") : &text[0], static_cast<int>(text.size()), &area,
                kCaptionFormat, nullptr);
    SelectObject(dc, oldFont);
    UploadCellPart(Texture, caption, textX, textY);
}

void TGranDesktop::EraseCell(const TLinkRecord& record) {
    Bitmap& face = FaceBitmap();
    const int cellX = record.Column * CellWidth, cellY = record.Row * CellHeight;
    const int iconX = cellX + IconLeft, iconY = cellY + IconTop;
    Bitmap icon(IconWidth, IconHeight);
    icon.Draw(face, -iconX, -iconY);
    UploadCellPart(Texture, icon, iconX, iconY);
    const int textX = cellX + TextMargin, textY = iconY + IconHeight + TextGap;
    Bitmap band(CellWidth - 2 * TextMargin, CellHeight - IconTop - IconHeight - TextGap);
    band.Draw(face, -textX, -textY);
    UploadCellPart(Texture, band, textX, textY);
}

void TGranDesktop::DrawAllLinks() {
    // A redraw keeps the selection visible.
    for (const auto& record : Links) DrawLink(record.get(), record.get() == Selected ? dmSelected : dmNormal);
}

void TGranDesktop::EraseAllLinks() {
    for (const auto& record : Links) DrawLink(record.get(), dmErase);
}

void TGranDesktop::SortLinks(uint8_t key) {
    EraseAllLinks();
    if (key <= kSortModified)
        std::sort(Links.begin(), Links.end(),
                  [key](const auto& a, const auto& b) { return LinkSortsBefore(*a, *b, key); });
    ArrangeLinks();
    Selected = nullptr;
    DrawAllLinks();
}

bool TGranDesktop::CubePointToFace(float x, float y, float z, POINT& point) const {
    return CubePointToTexture(Index, x, y, z, TextureWidth, TextureHeight, point);
}
