// The control window: found by class, hidden, refuses WM_CLOSE; WM_COPYDATA reaches the properties call
// with exactly cbData bytes; __3D_Popup is handed to the control's window; unknown messages go to the
// default procedure; the new-shortcut wizard's parameters.
#include "data_folder.h"
#include "shared/uMessages.h"
#include "shared/uPath.h"
#include "test_windows.h"
#include "uMessagesExe.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

struct PropertiesCall {
    DWORD type;
    std::wstring object;
};
std::vector<PropertiesCall> propertiesCalls;

BOOL WINAPI RecordProperties(HWND, DWORD type, LPCWSTR object, LPCWSTR) {
    propertiesCalls.push_back({type, object ? object : L""});
    return TRUE;
}

LRESULT SendCopyData(ULONG_PTR kind, const void* bytes, DWORD size) {
    COPYDATASTRUCT data = {kind, size, const_cast<void*>(bytes)};
    return SendMessageA(ControlWndHandle, WM_COPYDATA, 0, reinterpret_cast<LPARAM>(&data));
}

class ControlWindow : public testing::Test {
protected:
    void SetUp() override {
        saved_ = SHObjectPropertiesCall;
        SHObjectPropertiesCall = &RecordProperties;
        propertiesCalls.clear();
        CreateControlWnd();
    }
    void TearDown() override {
        DestroyControlWnd();
        SHObjectPropertiesCall = saved_;
    }
    FilePropertiesCall saved_ = nullptr;
};

}  // namespace

TEST_F(ControlWindow, HiddenFoundByClassAndRefusesClosing) {
    ASSERT_NE(nullptr, ControlWndHandle);
    EXPECT_EQ(ControlWndHandle, FindControlWnd());
    EXPECT_FALSE(IsWindowVisible(ControlWndHandle));
    EXPECT_EQ(1, SendMessageA(ControlWndHandle, WM_CLOSE, 0, 0));
    EXPECT_TRUE(IsWindow(ControlWndHandle));
    // Made again: the earlier one is destroyed first.
    HWND first = ControlWndHandle;
    CreateControlWnd();
    EXPECT_FALSE(IsWindow(first));
    EXPECT_EQ(ControlWndHandle, FindControlWnd());
    DestroyControlWnd();
    EXPECT_EQ(nullptr, ControlWndHandle);
    EXPECT_EQ(nullptr, FindControlWnd());
}

TEST_F(ControlWindow, CopyDataTakesExactlyCbDataBytes) {
    const char path[] = "C:\\Faces\\report.txtTRAILING";
    EXPECT_EQ(1, SendCopyData(2, path, 19));
    ASSERT_EQ(1u, propertiesCalls.size());
    EXPECT_EQ(2u, propertiesCalls[0].type);  // SHOP_FILEPATH
    EXPECT_EQ(L"C:\\Faces\\report.txt", propertiesCalls[0].object);

    // Other kinds, no bytes, a size without data or no record at all: nothing, and still answered 1.
    EXPECT_EQ(1, SendCopyData(1, path, 19));
    EXPECT_EQ(1, SendCopyData(3, path, 19));
    EXPECT_EQ(1, SendCopyData(2, path, 0));
    EXPECT_EQ(1, SendCopyData(2, nullptr, 19));
    EXPECT_EQ(1, SendMessageA(ControlWndHandle, WM_COPYDATA, 0, 0));
    EXPECT_EQ(1u, propertiesCalls.size());

    // A path of non-ASCII single-byte text is widened with the system code page.
    const char accented[] = "C:\\caf\xe9.txt";
    EXPECT_EQ(1, SendCopyData(2, accented, 10));
    ASSERT_EQ(2u, propertiesCalls.size());
    wchar_t expected[32] = {};
    MultiByteToWideChar(CP_ACP, 0, accented, 10, expected, 32);
    EXPECT_EQ(std::wstring(expected), propertiesCalls[1].object);
}

TEST_F(ControlWindow, PopupRequestGoesToTheControlWindow) {
    // No control window: nothing happens, the request is still answered.
    EXPECT_EQ(1, SendMessageA(ControlWndHandle, __3D_Popup, 0, 0));

    testing_support::FakePeer activeX(kActiveXWndClass);
    ASSERT_NE(nullptr, activeX.Handle());
    EXPECT_EQ(1, SendMessageA(ControlWndHandle, __3D_Popup, 0, 0));
    testing_support::Pump(50);
    ASSERT_EQ(1u, activeX.Messages().size());
    EXPECT_EQ(_3D_Popup, activeX.Messages()[0].msg);

    // A registered message that is not a request goes to the default procedure.
    EXPECT_EQ(0, SendMessageA(ControlWndHandle, _3D_Popup, 0, 0));
    EXPECT_EQ(0, SendMessageA(ControlWndHandle, _3D_Gran_Opt, 1, 0));
}

TEST(NewShortcutWizard, ParametersNameTheFaceFolder) {
    testing_support::ScratchDataFolder scratch;
    const std::string data = scratch.Path();
    EXPECT_EQ(data + "Desktops\\3\\", FaceFolder(3));
    EXPECT_EQ("appwiz.cpl,NewLinkHere " + data + "Desktops\\3\\", NewLinkParameters(3));
    EXPECT_EQ("appwiz.cpl,NewLinkHere " + data + "Desktops\\0\\", NewLinkParameters(0));
    EXPECT_EQ("appwiz.cpl,NewLinkHere " + data + "Desktops\\7\\", NewLinkParameters(7));
    EXPECT_EQ("appwiz.cpl,NewLinkHere " + data + "Desktops\\-1\\", NewLinkParameters(-1));
}
