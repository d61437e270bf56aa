// Picture files through the picture layer: JPEG (colour, greyscale, CMYK, progressive) and
// bitmap files chosen by extension, and JPEG errors that come back as exceptions.
#include <gtest/gtest.h>

#include <new>

#include "components/jpeg.h"
#include "components/picture.h"
#include "failing_new.h"
#include "fixtures.h"
#include "test_pictures.h"

using comp::Bitmap;
using testing_support::ColoursNear;
using namespace testing_support::colours;

namespace {

std::string DataFile(const std::string& name) { return testing_support::ExeFolder() + "\\picture_data\\" + name; }

// The quadrant pictures are 64 x 48: red, green (top right), blue (bottom left), yellow.
void ExpectQuadrants(const Bitmap& b, int tolerance) {
    ASSERT_EQ(b.Width(), 64);
    ASSERT_EQ(b.Height(), 48);
    EXPECT_TRUE(ColoursNear(b.Pixel(8, 8), kRed, tolerance)) << std::hex << b.Pixel(8, 8);
    EXPECT_TRUE(ColoursNear(b.Pixel(56, 8), kGreen, tolerance)) << std::hex << b.Pixel(56, 8);
    EXPECT_TRUE(ColoursNear(b.Pixel(8, 40), kBlue, tolerance)) << std::hex << b.Pixel(8, 40);
    EXPECT_TRUE(ColoursNear(b.Pixel(56, 40), kYellow, tolerance)) << std::hex << b.Pixel(56, 40);
}

std::string Slurp(const std::string& file) { return testing_support::ReadWholeFile(file); }

// |bytes| with |size| bytes of the little-endian |value| put at |at|.
std::string Patched(std::string bytes, size_t at, uint32_t value, size_t size = 4) {
    const char little[4] = {static_cast<char>(value), static_cast<char>(value >> 8), static_cast<char>(value >> 16),
                            static_cast<char>(value >> 24)};
    bytes.replace(at, size, little, size);
    return bytes;
}

}  // namespace

TEST(Picture, LoadsJpegAndBitmapFilesByExtension) {
    comp::Picture p;
    p.LoadFromFile(DataFile("quad.jpg"));
    EXPECT_EQ(p.GetBitmap().Format(), comp::PixelFormat::pf24bit);
    ExpectQuadrants(p.GetBitmap(), 12);

    p.LoadFromFile(DataFile("progressive.jpg"));
    ExpectQuadrants(p.GetBitmap(), 12);

    p.LoadFromFile(DataFile("quad.bmp"));
    ExpectQuadrants(p.GetBitmap(), 0);

    p.LoadFromFile(DataFile("palette.bmp"));  // 8 bits per pixel with a colour table
    ExpectQuadrants(p.GetBitmap(), 0);

    // Extensions in any letter case; ".jpeg" too.
    testing_support::ScratchFolder folder;
    const std::string jpeg = Slurp(DataFile("quad.jpg"));
    testing_support::WriteWholeFile(folder.Path() + "UPPER.JPEG", jpeg);
    testing_support::WriteWholeFile(folder.Path() + "mixed.JpG", jpeg);
    p.LoadFromFile(folder.Path() + "UPPER.JPEG");
    ExpectQuadrants(p.GetBitmap(), 12);
    p.LoadFromFile(folder.Path() + "mixed.JpG");
    ExpectQuadrants(p.GetBitmap(), 12);
    EXPECT_TRUE(comp::IsPictureFileName("a.BMP"));
    EXPECT_TRUE(comp::IsPictureFileName("C:\\x.y\\a.jpeg"));
    EXPECT_FALSE(comp::IsPictureFileName("a.png"));
    EXPECT_FALSE(comp::IsPictureFileName("jpg"));
}

TEST(Picture, GreyscaleAndCmykJpegsComeOutAsColourBitmaps) {
    comp::Picture p;
    p.LoadFromFile(DataFile("grey.jpg"));  // left half black, right half white, 32 x 16
    const Bitmap& b = p.GetBitmap();
    ASSERT_EQ(b.Width(), 32);
    ASSERT_EQ(b.Height(), 16);
    EXPECT_TRUE(ColoursNear(b.Pixel(4, 8), RGB(0, 0, 0), 6));
    EXPECT_TRUE(ColoursNear(b.Pixel(28, 8), RGB(255, 255, 255), 6));

    p.LoadFromFile(DataFile("cmyk.jpg"));
    ExpectQuadrants(p.GetBitmap(), 24);
}

TEST(Picture, BadFilesRaiseAndKeepThePicture) {
    testing_support::ScratchFolder folder;
    comp::Picture p;
    p.LoadFromFile(DataFile("quad.bmp"));

    EXPECT_THROW(p.LoadFromFile(DataFile("quad.png")), comp::EInvalidGraphic);
    testing_support::WriteWholeFile(folder.Path() + "text.jpg", "This is not a JPEG file.");
    EXPECT_THROW(p.LoadFromFile(folder.Path() + "text.jpg"), comp::EInvalidGraphic);
    testing_support::WriteWholeFile(folder.Path() + "empty.jpg", "");
    EXPECT_THROW(p.LoadFromFile(folder.Path() + "empty.jpg"), comp::EInvalidGraphic);
    // A start-of-image marker followed by garbage: libjpeg's error comes back as an exception
    // and the process goes on.
    testing_support::WriteWholeFile(folder.Path() + "garbage.jpg", std::string("\xFF\xD8\xFF\x01garbage", 11));
    try {
        p.LoadFromFile(folder.Path() + "garbage.jpg");
        ADD_FAILURE() << "no exception";
    } catch (const comp::EInvalidGraphic& e) {
        EXPECT_NE(std::string(e.what()).find("JPEG"), std::string::npos) << e.what();
    }
    EXPECT_THROW(p.LoadFromFile(folder.Path() + "missing.jpg"), comp::EOSError);
    ExpectQuadrants(p.GetBitmap(), 0);  // still the bitmap loaded first

    // A JPEG cut in the middle of its data: the library warns and fills the rest; the picture
    // keeps the full size and its first rows.
    const std::string whole = Slurp(DataFile("quad.jpg"));
    const size_t scan = whole.find("\xFF\xDA");  // start of scan: the compressed data follow
    ASSERT_NE(scan, std::string::npos);
    testing_support::WriteWholeFile(folder.Path() + "cut.jpg", whole.substr(0, scan + (whole.size() - scan) / 2));
    p.LoadFromFile(folder.Path() + "cut.jpg");
    ASSERT_EQ(p.Width(), 64);
    EXPECT_TRUE(ColoursNear(p.GetBitmap().Pixel(8, 8), kRed, 12));

    // A cut inside the header is an error.
    testing_support::WriteWholeFile(folder.Path() + "header.jpg", whole.substr(0, 20));
    EXPECT_THROW(p.LoadFromFile(folder.Path() + "header.jpg"), comp::EInvalidGraphic);
}

TEST(Picture, DamagedBitmapFilesAreRefusedBeforeTheyAreRead) {
    testing_support::ScratchFolder folder;
    comp::Picture p;
    p.LoadFromFile(DataFile("quad.bmp"));
    // 64 x 48 at 24 bits: file header, 40-byte info header, pixels from byte 54.
    const std::string whole = Slurp(DataFile("quad.bmp"));
    ASSERT_EQ(whole.size(), 54u + 48 * 64 * 3);
    const std::string eightBit = Patched(Patched(whole, 28, 8, 2), 46, 256);  // 8 bits, 256 colours
    const struct {
        const char* what;
        std::string bytes;
    } damaged[] = {
        {"cut after the headers", whole.substr(0, 54)},
        {"cut in the last row", whole.substr(0, whole.size() - 1)},
        {"cut inside the info header", whole.substr(0, 30)},
        {"pixel offset past the end", Patched(whole, 10, 0x7FFFFFF0)},
        {"pixel offset inside the headers", Patched(whole, 10, 20)},
        {"width and height beyond the pixels", Patched(Patched(whole, 18, 4000), 22, 3000)},
        {"info header larger than any", Patched(whole, 14, 0x10000)},
        {"colour table cut short", eightBit.substr(0, 54 + 100)},
        {"run-length data past the end", Patched(Patched(eightBit, 30, BI_RLE8), 34, 0x100000)},
    };
    for (const auto& d : damaged) {
        const std::string file = folder.Path() + "damaged.bmp";
        testing_support::WriteWholeFile(file, d.bytes);
        EXPECT_THROW(p.LoadFromFile(file), comp::EInvalidGraphic) << d.what;
    }
    ExpectQuadrants(p.GetBitmap(), 0);  // still the picture loaded first

    // A whole file with the small (12-byte) header still reads: 2 x 2, rows bottom-up, padded to 8 bytes.
    std::string core = Patched(Patched(std::string(14 + 12, '\0'), 10, 26), 14, 12);
    core[0] = 'B';
    core[1] = 'M';
    core = Patched(Patched(Patched(Patched(core, 18, 2, 2), 20, 2, 2), 22, 1, 2), 24, 24, 2);
    core += std::string("\xFF\x00\x00\x00\xFF\xFF\0\0", 8);  // blue, yellow
    core += std::string("\x00\x00\xFF\x00\xFF\x00\0\0", 8);  // red, green
    testing_support::WriteWholeFile(folder.Path() + "core.bmp", core);
    p.LoadFromFile(folder.Path() + "core.bmp");
    ASSERT_EQ(p.Width(), 2);
    ASSERT_EQ(p.Height(), 2);
    EXPECT_EQ(p.GetBitmap().Pixel(0, 0), kRed);
    EXPECT_EQ(p.GetBitmap().Pixel(1, 1), kYellow);
    testing_support::WriteWholeFile(folder.Path() + "core.bmp", core.substr(0, core.size() - 3));
    EXPECT_THROW(p.LoadFromFile(folder.Path() + "core.bmp"), comp::EInvalidGraphic);
}

TEST(Picture, AJpegThatPromisesMoreRowsThanItHoldsIsReadWithinItsData) {
    testing_support::ScratchFolder folder;
    std::string jpeg = Slurp(DataFile("quad.jpg"));
    const size_t frame = jpeg.find("\xFF\xC0");  // frame header: marker, length, precision, height, width
    ASSERT_NE(frame, std::string::npos);
    jpeg[frame + 5] = static_cast<char>(4800 >> 8);
    jpeg[frame + 6] = static_cast<char>(4800 & 0xFF);
    testing_support::WriteWholeFile(folder.Path() + "tall.jpg", jpeg);
    comp::Picture p;
    p.LoadFromFile(folder.Path() + "tall.jpg");
    // The library warns of the missing data and fills the rows it lacks; nothing is read past the file.
    ASSERT_EQ(p.Width(), 64);
    ASSERT_EQ(p.Height(), 4800);
    EXPECT_TRUE(ColoursNear(p.GetBitmap().Pixel(8, 8), kRed, 12));
}

TEST(JpegImage, ReadsTheSizeFirstAndDecodesOnAssign) {
    comp::JpegImage jpeg;
    EXPECT_TRUE(jpeg.Empty());
    Bitmap b;
    EXPECT_THROW(jpeg.AssignTo(b), comp::EInvalidGraphic);
    EXPECT_THROW(jpeg.LoadFromMemory({}), comp::EInvalidGraphic);
    jpeg.LoadFromFile(DataFile("quad.jpg"));
    EXPECT_EQ(jpeg.Width(), 64);
    EXPECT_EQ(jpeg.Height(), 48);
    b = Bitmap(3, 3, comp::PixelFormat::pf32bit);
    jpeg.AssignTo(b);
    EXPECT_EQ(b.Format(), comp::PixelFormat::pf24bit);
    ExpectQuadrants(b, 12);
    const std::string bytes = Slurp(DataFile("progressive.jpg"));
    jpeg.LoadFromMemory(std::vector<uint8_t>(bytes.begin(), bytes.end()));
    jpeg.AssignTo(b);
    ExpectQuadrants(b, 12);
}

TEST(JpegImage, AFileWhoseBytesCanNotBeHeldIsLeftFree) {
    // A sparse file just inside the size the reader takes: the 32-bit build has no room for its bytes,
    // and here the allocation is refused. Right after the failed load the file can be renamed and deleted.
    testing_support::ScratchFolder folder;
    const std::string big = folder.Path() + "big.jpg", moved = folder.Path() + "moved.jpg";
    HANDLE h = CreateFileA(big.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr);
    ASSERT_NE(INVALID_HANDLE_VALUE, h);
    LARGE_INTEGER end;
    end.QuadPart = 0x7FFFFFFF;
    const bool sized = SetFilePointerEx(h, end, nullptr, FILE_BEGIN) && SetEndOfFile(h);
    CloseHandle(h);
    ASSERT_TRUE(sized);

    comp::JpegImage jpeg;
    bool outOfMemory = false;
    {
        testing_support::FailingAllocations refuse;
        try {
            jpeg.LoadFromFile(big);
        } catch (const std::bad_alloc&) {
            outOfMemory = true;
        }
    }
    EXPECT_TRUE(outOfMemory);
    EXPECT_TRUE(MoveFileA(big.c_str(), moved.c_str())) << GetLastError();
    EXPECT_TRUE(DeleteFileA(moved.c_str())) << GetLastError();
}
