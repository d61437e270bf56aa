// Composition of a face background on the face bitmap, the texel conversion and the colour
// swap. A panel without a device composes its bitmap the same way; only the upload is skipped.
#include <gtest/gtest.h>

#include "control/u3DPanel.h"
#include "control/uCube.h"
#include "control/uTexture.h"
#include "test_pictures.h"

using comp::Bitmap;
using comp::PixelFormat;
using namespace testing_support::colours;

namespace {

// A panel of face 1 without a device.
struct PanelFixture : ::testing::Test {
    PanelFixture() {
        BuildCube(quads, normals);
        panel = std::make_unique<T3DPanel>(512, 512, nullptr, normals[1], quads[1][0], quads[1][1], quads[1][2],
                                           quads[1][3]);
    }
    // A w x h picture whose four quadrants are red, green (top right), blue (bottom left), yellow.
    void LoadQuadrantPicture(int w, int h) {
        Bitmap& b = panel->FaceBitmap();
        b.SetPixelFormat(PixelFormat::pf24bit);
        b.SetSize(w, h);
        testing_support::FillQuadrants(b);
    }
    TCubeQuads quads;
    TCubeNormals normals;
    std::unique_ptr<T3DPanel> panel;
};

}  // namespace

TEST(PanelRules, PlacementOfCentredAndTiledPictures) {
    POINT p = CenteredPicturePosition(512, 512, 300, 200);
    EXPECT_EQ(p.x, 106);
    EXPECT_EQ(p.y, 156);
    p = CenteredPicturePosition(512, 512, 1000, 800);
    EXPECT_EQ(p.x, -244);
    EXPECT_EQ(p.y, -144);
    p = CenteredPicturePosition(256, 256, 3, 5);  // 128 - 1, 128 - 2
    EXPECT_EQ(p.x, 127);
    EXPECT_EQ(p.y, 126);
    SIZE n = TileCounts(512, 512, 200, 200);
    EXPECT_EQ(n.cx, 3);
    EXPECT_EQ(n.cy, 3);
    n = TileCounts(512, 256, 256, 256);
    EXPECT_EQ(n.cx, 2);
    EXPECT_EQ(n.cy, 1);
    n = TileCounts(1024, 512, 1000, 600);
    EXPECT_EQ(n.cx, 2);
    EXPECT_EQ(n.cy, 1);
    n = TileCounts(512, 512, 0, 10);
    EXPECT_EQ(n.cx, 0);
    EXPECT_EQ(n.cy, 0);
    EXPECT_TRUE(IsFaceTextureSide(256) && IsFaceTextureSide(512) && IsFaceTextureSide(1024));
    EXPECT_FALSE(IsFaceTextureSide(300) || IsFaceTextureSide(0) || IsFaceTextureSide(2048));
}

TEST(PanelRules, SwapRBAndTexels) {
    static_assert(SwapRB(0x0000FF) == 0xFF0000, "red as a colour value");
    EXPECT_EQ(SwapRB(0x0000FFu), 0xFF0000u);
    EXPECT_EQ(SwapRB(0xFF0000u), 0x0000FFu);
    EXPECT_EQ(SwapRB(0x00FF00u), 0x00FF00u);
    EXPECT_EQ(SwapRB(0xAB123456u), 0x563412u);  // the high byte never survives
    EXPECT_EQ(SwapRB(RGB(1, 0, 0)), 0x00010000u);

    const uint8_t pixels[6] = {0x10, 0x20, 0x30, 0xFF, 0x00, 0x80};
    uint32_t texels[2] = {0, 0};
    ConvertRowToTexels(pixels, texels, 2);
    EXPECT_EQ(texels[0], 0xFF302010u);
    EXPECT_EQ(texels[1], 0xFF8000FFu);

    // A longer row goes four pixels at a time with the rest one by one: every texel must match.
    uint8_t row[11 * 3];
    for (int i = 0; i < 33; ++i) row[i] = static_cast<uint8_t>(i * 7 + 1);
    uint32_t many[12];
    many[11] = 0xDEADBEEF;
    ConvertRowToTexels(row, many, 11);
    for (int c = 0; c < 11; ++c)
        EXPECT_EQ(many[c], 0xFF000000u | (uint32_t(row[3 * c + 2]) << 16) | (uint32_t(row[3 * c + 1]) << 8) | row[3 * c])
            << c;
    EXPECT_EQ(many[11], 0xDEADBEEFu);  // nothing past the row
}

TEST_F(PanelFixture, CreatedWithItsGeometryAndEmptyBitmap) {
    EXPECT_EQ(panel->TextureWidth, 512);
    EXPECT_EQ(panel->TextureHeight, 512);
    EXPECT_TRUE(d3dmath::IsIdentity(panel->World));
    EXPECT_EQ(panel->Normal.z, -1.0f);
    EXPECT_EQ(panel->Vertices[3].x, 1.0f);
    EXPECT_EQ(panel->Vertices[3].tv, 1.0f);
    EXPECT_TRUE(panel->FaceBitmap().Empty());
    EXPECT_EQ(panel->Texture, nullptr);
    EXPECT_EQ(panel->VertexBuffer, nullptr);
    EXPECT_EQ(panel->FillVertexBuffer(), E_FAIL);

    panel->SetTextureSize(512, 300);
    EXPECT_EQ(panel->TextureHeight, 512);
    panel->SetTextureSize(1024, 256);
    EXPECT_EQ(panel->TextureWidth, 1024);
    EXPECT_EQ(panel->TextureHeight, 256);
}

TEST_F(PanelFixture, StretchFillsTheFaceExactly) {
    LoadQuadrantPicture(64, 32);
    panel->BackPicPos = kPicStretch;
    panel->ComposeBackground();
    const Bitmap& face = panel->FaceBitmap();
    ASSERT_EQ(face.Width(), 512);
    ASSERT_EQ(face.Height(), 512);
    EXPECT_EQ(face.Pixel(0, 0), kRed);
    EXPECT_EQ(face.Pixel(255, 255), kRed);
    EXPECT_EQ(face.Pixel(256, 0), kGreen);
    EXPECT_EQ(face.Pixel(511, 255), kGreen);
    EXPECT_EQ(face.Pixel(0, 256), kBlue);
    EXPECT_EQ(face.Pixel(511, 511), kYellow);
}

TEST_F(PanelFixture, CentreDrawsUnscaledOnTheBackColour) {
    LoadQuadrantPicture(300, 200);
    panel->BackPicPos = kPicCenter;
    panel->BackColor = RGB(10, 20, 30);
    panel->ComposeBackground();
    const Bitmap& face = panel->FaceBitmap();
    ASSERT_EQ(face.Width(), 512);
    EXPECT_EQ(face.Format(), PixelFormat::pf32bit);
    EXPECT_EQ(face.Pixel(105, 200), RGB(10, 20, 30));
    EXPECT_EQ(face.Pixel(106, 156), kRed);  // the picture's top-left corner
    EXPECT_EQ(face.Pixel(106 + 299, 156), kGreen);
    EXPECT_EQ(face.Pixel(106 + 300, 156), RGB(10, 20, 30));
    EXPECT_EQ(face.Pixel(106, 156 + 199), kBlue);
    EXPECT_EQ(face.Pixel(106, 156 + 200), RGB(10, 20, 30));
    EXPECT_EQ(face.Pixel(0, 0), RGB(10, 20, 30));
    EXPECT_EQ(face.Pixel(511, 511), RGB(10, 20, 30));
}

TEST_F(PanelFixture, CentreCutsALargerPictureOnEverySide) {
    LoadQuadrantPicture(1000, 800);
    panel->BackPicPos = kPicCenter;
    panel->BackColor = RGB(1, 2, 3);
    panel->ComposeBackground();
    const Bitmap& face = panel->FaceBitmap();
    // Picture pixel (x, y) lands at (x - 244, y - 144): the middle shows around (500, 400).
    EXPECT_EQ(face.Pixel(0, 0), kRed);
    EXPECT_EQ(face.Pixel(255, 255), kRed);      // picture (499, 399)
    EXPECT_EQ(face.Pixel(256, 255), kGreen);    // picture (500, 399)
    EXPECT_EQ(face.Pixel(255, 256), kBlue);     // picture (499, 400)
    EXPECT_EQ(face.Pixel(511, 511), kYellow);
}

TEST_F(PanelFixture, APictureOfTheFacesSizeComesOutUnchangedInEveryPosition) {
    for (uint8_t pos : {kPicStretch, kPicCenter, kPicTile}) {
        SCOPED_TRACE(static_cast<int>(pos));
        LoadQuadrantPicture(512, 512);
        panel->FaceBitmap().SetPixel(3, 5, RGB(1, 2, 3));
        panel->BackPicPos = pos;
        panel->BackColor = RGB(9, 9, 9);
        panel->ComposeBackground();
        const Bitmap& face = panel->FaceBitmap();
        ASSERT_EQ(face.Width(), 512);
        EXPECT_EQ(face.Format(), pos == kPicCenter ? PixelFormat::pf32bit : PixelFormat::pf24bit);
        EXPECT_EQ(face.Pixel(3, 5), RGB(1, 2, 3));
        EXPECT_EQ(face.Pixel(255, 255), kRed);
        EXPECT_EQ(face.Pixel(256, 255), kGreen);
        EXPECT_EQ(face.Pixel(255, 256), kBlue);
        EXPECT_EQ(face.Pixel(511, 511), kYellow);
    }
}

TEST_F(PanelFixture, TileRepeatsThePictureAndCutsTheLastColumnAndRow) {
    LoadQuadrantPicture(200, 200);
    panel->BackPicPos = kPicTile;
    panel->ComposeBackground();
    const Bitmap& face = panel->FaceBitmap();
    for (int c = 0; c < 3; ++c)
        for (int r = 0; r < 3; ++r) {
            SCOPED_TRACE(testing::Message() << c << "," << r);
            EXPECT_EQ(face.Pixel(c * 200, r * 200), kRed);
            if (c * 200 + 150 < 512) {
                EXPECT_EQ(face.Pixel(c * 200 + 150, r * 200 + 10), kGreen);
            }
            if (r * 200 + 150 < 512) {
                EXPECT_EQ(face.Pixel(c * 200 + 10, r * 200 + 150), kBlue);
            }
        }
    // The third column and row begin at 400 and stop at the face's edge, 112 pixels into the picture.
    EXPECT_EQ(face.Pixel(450, 450), kRed);
    EXPECT_EQ(face.Pixel(511, 511), kYellow);
    EXPECT_EQ(face.Pixel(511, 450), kGreen);
    EXPECT_EQ(face.Pixel(399, 399), kYellow);
}

TEST_F(PanelFixture, PlainColourInEveryPositionAndOtherPositionsChangeNothing) {
    for (uint8_t pos : {kPicStretch, kPicCenter, kPicTile}) {
        SCOPED_TRACE(static_cast<int>(pos));
        panel->FaceBitmap().SetPixelFormat(PixelFormat::pf24bit);
        panel->FaceBitmap().SetSize(512, 512);
        panel->BackColor = RGB(0, 128, 255);
        panel->FillColor(panel->BackColor);
        panel->BackPicPos = pos;
        panel->ComposeBackground();
        const Bitmap& face = panel->FaceBitmap();
        for (int y = 0; y < 512; y += 73)
            for (int x = 0; x < 512; x += 61) ASSERT_EQ(face.Pixel(x, y), RGB(0, 128, 255));
    }
    LoadQuadrantPicture(40, 30);
    panel->BackPicPos = 3;
    panel->ComposeBackground();
    EXPECT_EQ(panel->FaceBitmap().Width(), 40);
    EXPECT_EQ(panel->FaceBitmap().Height(), 30);

    // An empty picture (one that could not be had) shows the face colour in every position, not black.
    for (uint8_t pos : {kPicStretch, kPicCenter, kPicTile}) {
        SCOPED_TRACE(static_cast<int>(pos));
        panel->FaceBitmap().SetSize(0, 0);
        panel->BackPicPos = pos;
        panel->BackColor = kBlue;
        panel->ComposeBackground();
        ASSERT_EQ(panel->FaceBitmap().Width(), 512);
        ASSERT_EQ(panel->FaceBitmap().Height(), 512);
        EXPECT_EQ(panel->FaceBitmap().Pixel(100, 100), kBlue);
        EXPECT_EQ(panel->FaceBitmap().Pixel(511, 511), kBlue);
    }
}
