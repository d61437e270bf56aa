// The bitmap of the picture layer: size, pixel formats, fills, unscaled and stretched drawing,
// the GDI canvas, and .bmp files.
#include <gtest/gtest.h>

#include "components/bitmap.h"
#include "fixtures.h"
#include "test_pictures.h"

using comp::Bitmap;
using comp::PixelFormat;
using namespace testing_support::colours;
using testing_support::QuadrantBitmap;  // red, green (top right), blue (bottom left), yellow

TEST(Bitmap, SizeStrideAndPixelsInBothFormats) {
    Bitmap empty;
    EXPECT_TRUE(empty.Empty());
    EXPECT_EQ(empty.Canvas(), nullptr);
    Bitmap b(5, 3);
    EXPECT_EQ(b.Width(), 5);
    EXPECT_EQ(b.Height(), 3);
    EXPECT_EQ(b.Format(), PixelFormat::pf24bit);
    EXPECT_EQ(b.Stride(), 16);  // 15 bytes padded to 4
    EXPECT_EQ(b.Pixel(4, 2), RGB(0, 0, 0));
    b.SetPixel(4, 2, RGB(0x30, 0x20, 0x10));
    EXPECT_EQ(b.Pixel(4, 2), RGB(0x30, 0x20, 0x10));
    // Stored blue, green, red.
    const uint8_t* row = b.ScanLine(2);
    EXPECT_EQ(row[12], 0x10);
    EXPECT_EQ(row[13], 0x20);
    EXPECT_EQ(row[14], 0x30);
    EXPECT_THROW(b.Pixel(5, 0), comp::Exception);
    EXPECT_THROW(b.ScanLine(3), comp::Exception);

    b.SetPixelFormat(PixelFormat::pf32bit);
    EXPECT_EQ(b.Stride(), 20);
    EXPECT_EQ(b.Pixel(4, 2), RGB(0x30, 0x20, 0x10));
    b.Fill(kBlue);
    b.SetPixelFormat(PixelFormat::pf24bit);
    EXPECT_EQ(b.Pixel(0, 0), kBlue);
    EXPECT_EQ(b.Pixel(4, 2), kBlue);

    // Resizing keeps the shared part; the new part is black.
    b.SetPixel(1, 1, kRed);
    b.SetSize(7, 2);
    EXPECT_EQ(b.Pixel(1, 1), kRed);
    EXPECT_EQ(b.Pixel(4, 0), kBlue);
    EXPECT_EQ(b.Pixel(6, 0), RGB(0, 0, 0));
    b.SetSize(0, 10);
    EXPECT_TRUE(b.Empty());

    // Copies are deep.
    Bitmap a = QuadrantBitmap(4, 4);
    Bitmap c = a;
    c.Fill(kGreen);
    EXPECT_EQ(a.Pixel(0, 0), kRed);
    Bitmap moved = std::move(c);
    EXPECT_EQ(moved.Pixel(3, 3), kGreen);
    EXPECT_TRUE(c.Empty());
}

TEST(Bitmap, FillRectAndDrawAreClippedAtEveryEdge) {
    Bitmap b(10, 10);
    b.FillRect(RECT{-5, -5, 3, 2}, kRed);
    EXPECT_EQ(b.Pixel(0, 0), kRed);
    EXPECT_EQ(b.Pixel(2, 1), kRed);
    EXPECT_EQ(b.Pixel(3, 1), RGB(0, 0, 0));
    EXPECT_EQ(b.Pixel(2, 2), RGB(0, 0, 0));
    b.FillRect(RECT{8, 8, 50, 50}, kGreen);
    EXPECT_EQ(b.Pixel(9, 9), kGreen);
    b.FillRect(RECT{20, 20, 30, 30}, kBlue);  // wholly outside: nothing

    // A 32-bit source drawn at negative and overhanging positions into a 24-bit target.
    const Bitmap q = QuadrantBitmap(6, 6, PixelFormat::pf32bit);
    Bitmap t(10, 10);
    t.Draw(q, -3, -3);  // only the yellow quadrant lands, at (0..2, 0..2)
    EXPECT_EQ(t.Pixel(0, 0), kYellow);
    EXPECT_EQ(t.Pixel(2, 2), kYellow);
    EXPECT_EQ(t.Pixel(3, 3), RGB(0, 0, 0));
    t.Draw(q, 7, 8);  // red at (7..9, 8..9), green cut off
    EXPECT_EQ(t.Pixel(7, 8), kRed);
    EXPECT_EQ(t.Pixel(9, 9), kRed);
    t.Draw(q, 20, 0);  // nowhere
    EXPECT_EQ(t.Pixel(9, 0), RGB(0, 0, 0));
    t.Draw(t, 1, 1);   // itself: nothing
    EXPECT_EQ(t.Pixel(1, 1), kYellow);
}

TEST(Bitmap, StretchDrawTakesThePixelUnderEachCentre) {
    const Bitmap q = QuadrantBitmap(2, 2);
    Bitmap up(8, 6);
    up.StretchDraw(RECT{0, 0, 8, 6}, q);
    EXPECT_EQ(up.Pixel(0, 0), kRed);
    EXPECT_EQ(up.Pixel(3, 2), kRed);
    EXPECT_EQ(up.Pixel(4, 2), kGreen);
    EXPECT_EQ(up.Pixel(3, 3), kBlue);
    EXPECT_EQ(up.Pixel(7, 5), kYellow);

    const Bitmap big = QuadrantBitmap(100, 60);
    Bitmap down(10, 6, PixelFormat::pf32bit);
    down.StretchDraw(RECT{0, 0, 10, 6}, big);
    EXPECT_EQ(down.Pixel(4, 2), kRed);
    EXPECT_EQ(down.Pixel(5, 2), kGreen);
    EXPECT_EQ(down.Pixel(4, 3), kBlue);
    EXPECT_EQ(down.Pixel(9, 5), kYellow);

    // Into a part of the target that overhangs its edge: the part outside is cut.
    Bitmap part(10, 10);
    part.StretchDraw(RECT{5, 5, 15, 15}, q);
    EXPECT_EQ(part.Pixel(4, 4), RGB(0, 0, 0));
    EXPECT_EQ(part.Pixel(5, 5), kRed);
    EXPECT_EQ(part.Pixel(9, 9), kRed);
    part.StretchDraw(RECT{0, 0, 0, 10}, q);  // empty target rectangle: nothing
    EXPECT_EQ(part.Pixel(0, 0), RGB(0, 0, 0));
    // Same size: a plain copy.
    Bitmap same(2, 2);
    same.StretchDraw(RECT{0, 0, 2, 2}, q);
    EXPECT_EQ(same.Pixel(1, 0), kGreen);
}

TEST(Bitmap, GdiDrawsOnTheCanvasAndTheRowsSeeIt) {
    Bitmap b(20, 10);
    HDC dc = b.Canvas();
    ASSERT_NE(dc, nullptr);
    HBRUSH brush = CreateSolidBrush(RGB(10, 200, 30));
    RECT top{0, 0, 20, 3};
    ::FillRect(dc, &top, brush);
    DeleteObject(brush);
    // Rows are top-down: GDI's row 0 is our row 0.
    EXPECT_EQ(b.Pixel(19, 0), RGB(10, 200, 30));
    EXPECT_EQ(b.Pixel(0, 2), RGB(10, 200, 30));
    EXPECT_EQ(b.Pixel(0, 3), RGB(0, 0, 0));
    // The canvas follows the bitmap through a resize and a format change.
    b.SetSize(30, 10);
    b.SetPixelFormat(PixelFormat::pf32bit);
    EXPECT_EQ(b.Canvas(), dc);
    EXPECT_EQ(::GetPixel(dc, 5, 1), RGB(10, 200, 30));
    ::SetPixel(dc, 25, 9, RGB(1, 2, 3));
    EXPECT_EQ(b.Pixel(25, 9), RGB(1, 2, 3));
}

TEST(Bitmap, BmpFilesRoundTripInBothFormats) {
    testing_support::ScratchFolder folder;
    for (PixelFormat format : {PixelFormat::pf24bit, PixelFormat::pf32bit}) {
        const Bitmap q = QuadrantBitmap(13, 7, format);  // an odd width needs row padding
        const std::string file = folder.Path() + "q.bmp";
        q.SaveToFile(file);
        Bitmap back;
        back.LoadFromFile(file);
        ASSERT_EQ(back.Width(), 13);
        ASSERT_EQ(back.Height(), 7);
        EXPECT_EQ(back.Format(), format);
        for (int y = 0; y < 7; ++y)
            for (int x = 0; x < 13; ++x) ASSERT_EQ(back.Pixel(x, y), q.Pixel(x, y)) << x << "," << y;
    }
    Bitmap b;
    EXPECT_THROW(b.LoadFromFile(folder.Path() + "missing.bmp"), comp::EInvalidGraphic);
    testing_support::WriteWholeFile(folder.Path() + "text.bmp", "not a bitmap at all");
    EXPECT_THROW(b.LoadFromFile(folder.Path() + "text.bmp"), comp::EInvalidGraphic);
    EXPECT_THROW(QuadrantBitmap(2, 2).SaveToFile(folder.Path() + "no\\such\\folder\\x.bmp"), comp::EOSError);
}
