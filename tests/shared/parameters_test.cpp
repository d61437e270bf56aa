// The face parameter exchange file "Opt.ini".
#include "components/inifile.h"
#include "fixtures.h"
#include "shared/uParameters.h"
#include "shared/uPath.h"

#include <gtest/gtest.h>

namespace {

class ParametersTest : public testing::Test {
protected:
    void SetUp() override {
        saved_ = AppDataPath;
        AppDataPath = scratch_.Path();
    }
    void TearDown() override { AppDataPath = saved_; }

    void WriteRaw(const char* key, const char* value) {
        WritePrivateProfileStringA("DESK", key, value, (scratch_.Path() + "Opt.ini").c_str());
    }

    testing_support::ScratchFolder scratch_;
    std::string saved_;
    int32_t index = -1, color = -1;
    uint16_t w = 0, h = 0;
    std::string file = "x";
    uint8_t bpp = 9;
};

TEST_F(ParametersTest, MissingFileReadsDefaults) {
    EXPECT_EQ(DeskParamsFileName(), scratch_.Path() + "Opt.ini");
    ReadDeskParams(index, w, h, file, color, bpp);
    EXPECT_EQ(index, 1);
    EXPECT_EQ(w, 512);
    EXPECT_EQ(h, 512);
    EXPECT_EQ(file, "");
    EXPECT_EQ(color, 16777215);
    EXPECT_EQ(bpp, 0);
}

TEST_F(ParametersTest, RoundTripAndForeignSectionsSurvive) {
    WritePrivateProfileStringA("Other", "Keep", "me", (scratch_.Path() + "Opt.ini").c_str());
    WriteRaw("Extra", "1");
    WriteDeskParams(4, 1024, 256, "C:\\Pictures\\sea.jpg", 0x0000FF, 2);
    ReadDeskParams(index, w, h, file, color, bpp);
    EXPECT_EQ(index, 4);
    EXPECT_EQ(w, 1024);
    EXPECT_EQ(h, 256);
    EXPECT_EQ(file, "C:\\Pictures\\sea.jpg");
    EXPECT_EQ(color, 255);
    EXPECT_EQ(bpp, 2);

    comp::IniFile ini(scratch_.Path() + "Opt.ini");
    EXPECT_EQ(ini.ReadString("Other", "Keep", ""), "me");
    EXPECT_EQ(ini.ReadString("DESK", "Extra", ""), "1");
    EXPECT_EQ(ini.ReadString("DESK", "BKColor", ""), "255");
    EXPECT_EQ(ini.ReadString("DESK", "ResW", ""), "1024");
}

TEST_F(ParametersTest, PositionRules) {
    WriteDeskParams(1, 512, 512, "", 0, 7);
    EXPECT_EQ(comp::IniFile(scratch_.Path() + "Opt.ini").ReadString("DESK", "bpp", ""), "0");

    WriteRaw("bpp", "5");
    bpp = 1;
    ReadDeskParams(index, w, h, file, color, bpp);
    EXPECT_EQ(bpp, 1) << "an unknown position leaves the caller's value";
    WriteRaw("bpp", "2");
    ReadDeskParams(index, w, h, file, color, bpp);
    EXPECT_EQ(bpp, 2);
}

TEST_F(ParametersTest, NumbersInHexAndSizesInSixteenBits) {
    WriteRaw("ResW", "70000");
    WriteRaw("ResH", "$100");
    WriteRaw("BKColor", "0xFF");
    WriteRaw("Index", "$3");
    ReadDeskParams(index, w, h, file, color, bpp);
    EXPECT_EQ(w, 4464);
    EXPECT_EQ(h, 256);
    EXPECT_EQ(color, 255);
    EXPECT_EQ(index, 3);

    WriteRaw("BKColor", "$FF");
    ReadDeskParams(index, w, h, file, color, bpp);
    EXPECT_EQ(color, 255);
    WriteRaw("BKColor", "red");
    WriteRaw("Index", "");
    ReadDeskParams(index, w, h, file, color, bpp);
    EXPECT_EQ(color, 16777215);
    EXPECT_EQ(index, 1);
}

}  // namespace
