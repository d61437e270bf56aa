// Help: the topic addresses, and the HTML Help control opening and closing the help windows.
#include "fixtures.h"
#include "test_windows.h"
#include "uHelp.h"

#include <gtest/gtest.h>

namespace {

HWND HelpWindow() { return FindWindowA("HH Parent", nullptr); }

bool WaitFor(bool present, DWORD ms) {
    return testing_support::PumpUntil([present] { return (HelpWindow() != nullptr) == present; }, ms);
}

}  // namespace

TEST(Help, TopicAddresses) {
    EXPECT_EQ("C:\\P\\_3DVexlorHelp.chm::/Source\\hlp\\index.html>MainWnd",
              HelpTopicUrl("C:\\P\\_3DVexlorHelp.chm", kHelpIndexTopic, kHelpIndexWindow));
    EXPECT_EQ("C:\\P\\_3DVexlorHelp.chm::/Source\\Lic\\eula.html>LicenseWnd",
              HelpTopicUrl("C:\\P\\_3DVexlorHelp.chm", kLicenseTopic, kLicenseWindow));
    // The help file lies beside the program.
    std::string file = testing_support::ExeFolder() + "\\_3DVexlorHelp.chm";
    EXPECT_EQ(file, HelpFilePath());
    EXPECT_EQ(file + "::/Source\\hlp\\index.html>MainWnd", GetHelpTopicUrl(kHelpIndexTopic, kHelpIndexWindow));
}

TEST(Help, ShowAndCloseAllHelpWindows) {
    ASSERT_NE(INVALID_FILE_ATTRIBUTES, GetFileAttributesA(HelpFilePath().c_str())) << HelpFilePath();
    ASSERT_EQ(nullptr, HelpWindow());
    ShowHelpIndex();
    ASSERT_TRUE(WaitFor(true, 5000));
    char title[256] = {};
    GetWindowTextA(HelpWindow(), title, sizeof title);
    EXPECT_STREQ("3D Vexlor Help", title);
    ShowLicenseAgreement();
    WaitFor(true, 1000);
    CloseAllHelp();
    EXPECT_TRUE(WaitFor(false, 5000));
    EXPECT_EQ(nullptr, HelpWindow());
}
