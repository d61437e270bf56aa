// The stand-in desktop's reading of a wallpaper page: which names are pages and which control class a
// page's <object> names.
#include "desktop_page.h"

#include <gtest/gtest.h>

#include <string>

namespace {
const CLSID kControl = {0xFFCD032E, 0x8038, 0x425F, {0xA4, 0xB3, 0xC0, 0xAC, 0xAF, 0x67, 0xE3, 0x3D}};
}

TEST(DesktopPage, HtmlNames) {
    EXPECT_TRUE(IsHtmlFile("C:\\windows\\Web\\Wallpaper\\3DVexlor.html"));
    EXPECT_TRUE(IsHtmlFile("C:\\A.HTM"));
    EXPECT_FALSE(IsHtmlFile("C:\\windows\\mine.bmp"));
    EXPECT_FALSE(IsHtmlFile(""));
    EXPECT_FALSE(IsHtmlFile("html"));
}

TEST(DesktopPage, ObjectClassIds) {
    CLSID clsid = {};
    EXPECT_TRUE(FindObjectClassId(
        "<html><body><OBJECT id=\"x\" CLASSID=\"clsid:FFCD032E-8038-425F-A4B3-C0ACAF67E33D\" width=100%></OBJECT>",
        clsid));
    EXPECT_TRUE(IsEqualCLSID(kControl, clsid));
    clsid = CLSID();
    EXPECT_TRUE(FindObjectClassId("<object classid='clsid:{ffcd032e-8038-425f-a4b3-c0acaf67e33d}'>", clsid));
    EXPECT_TRUE(IsEqualCLSID(kControl, clsid));
    clsid = CLSID();
    // The first object without a class is passed over.
    EXPECT_TRUE(FindObjectClassId("<object data=\"a.swf\"></object><object classid=clsid:FFCD032E-8038-425F-"
                                  "A4B3-C0ACAF67E33D>",
                                  clsid));
    EXPECT_TRUE(IsEqualCLSID(kControl, clsid));

    EXPECT_FALSE(FindObjectClassId("<html><body>no object</body></html>", clsid));
    EXPECT_FALSE(FindObjectClassId("<object classid=\"clsid:not-a-guid\">", clsid));
    EXPECT_FALSE(FindObjectClassId("<object classid=\"clsid:FFCD032E-8038", clsid));
    EXPECT_FALSE(FindObjectClassId("<img classid=\"clsid:FFCD032E-8038-425F-A4B3-C0ACAF67E33D\">", clsid));
}
