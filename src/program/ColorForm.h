// TColorForm: the colour selector's drop-down. A small borderless window that stays on top and shows
// twenty fixed colours in four columns and five rows, a cell with the current colour when it is not one of
// them, and "&Other..." for the system colour dialog. A choice is reported through OnSelectColor and
// closes the palette; losing the activation closes it without a choice.
#pragma once

#include "components/window.h"

#include <windows.h>

#include <functional>

// The palette's size as the selector makes it.
constexpr int kPaletteWidth = 78;
constexpr int kPaletteHeight = 120;

// The twenty colours (red in the low byte), by row 1 to 5 and column 1 to 4.
COLORREF PaletteColor(int column, int row);
bool IsPaletteColor(COLORREF color);

// A cell of the palette: column 1 to 4 with row 1 to 5 is a colour; column 4 with row 6 is the custom
// cell; column 0 with row 0 is none.
struct TPaletteCell {
    int Column = 0;
    int Row = 0;
    bool operator==(const TPaletteCell& o) const { return Column == o.Column && Row == o.Row; }
    bool operator!=(const TPaletteCell& o) const { return !(*this == o); }
    bool IsNone() const { return Column == 0 && Row == 0; }
    bool IsCustom() const { return Column == 4 && Row == 6; }
};
constexpr TPaletteCell kNoCell{0, 0};
constexpr TPaletteCell kCustomCell{4, 6};

// Geometry of a W x H palette (right and bottom edges excluded).
RECT PaletteCellRect(int column, int row);
RECT CustomCellRect(int width, int height);
// The right edge of "&Other...": 65 while the custom cell is hidden, 56 while it is shown.
int OtherButtonRight(bool customShown);
RECT OtherButtonRect(int width, int height, bool customShown);

// The cell that is hot when the palette opens at |current|: the first colour cell, row by row, that holds
// it, else the custom cell.
TPaletteCell InitialHotCell(COLORREF current);
// The cell under (x, y): a colour cell when the point lies strictly inside it grown by 2 pixels (the upper
// or left one where two overlap), else the custom cell when shown and strictly inside it, else none.
TPaletteCell PaletteHitTest(int x, int y, int width, int height, bool customShown);
// The colour a cell stands for (|current| for the custom cell).
COLORREF CellColor(TPaletteCell cell, COLORREF current);

// Paints the whole palette into |dc|.
void PaintColorPalette(HDC dc, int width, int height, COLORREF current, TPaletteCell hot);

class TColorForm : public comp::Window {
public:
    using TSelectColor = std::function<void(TColorForm& Sender, COLORREF NewColor)>;

    // A hidden palette owned by the top-level window |owner|.
    explicit TColorForm(HWND owner);

    TSelectColor OnSelectColor;

    void SetCurrentColor(COLORREF color) { current_ = color; }
    COLORREF CurrentColor() const { return current_; }
    TPaletteCell HotCell() const { return hot_; }
    bool CustomShown() const { return !IsPaletteColor(current_); }

    // Places the palette with its top-left corner at the screen point, makes it W x H, marks the hot cell
    // of the current colour and shows it with the activation, without waiting.
    void ShowAt(int x, int y, int width = kPaletteWidth, int height = kPaletteHeight);
    // Hides the palette (its owner frees it).
    void ClosePalette();

protected:
    LRESULT HandleMessage(UINT msg, WPARAM wParam, LPARAM lParam) override;

private:
    void Paint(HDC target);
    void MouseMove(int x, int y);
    void MouseDown(int x, int y);
    void Choose(COLORREF color);
    void OtherClick();

    HWND owner_;
    COLORREF current_ = 0;
    TPaletteCell hot_;
};
