// The modal form and the standard controls: results of buttons, Enter and Escape, the owner disabled
// while the form runs, check box and memo contents.
#include "components/dialog.h"
#include "failing_new.h"
#include "test_windows.h"

#include <gtest/gtest.h>

#include <functional>
#include <new>
#include <vector>

namespace {

// Runs |dialog| modally; each step runs on a timer tick while it is open.
int RunModal(comp::Dialog& dialog, const std::vector<std::function<void()>>& steps) {
    int result = 0;
    testing_support::RunWithSteps([&] { result = dialog.ShowModal(); }, steps, 30);
    return result;
}

void Key(HWND target, WPARAM vk) {
    PostMessageA(target, WM_KEYDOWN, vk, 1);
    PostMessageA(target, WM_KEYUP, vk, 0xC0000001);
}

int ChildCount(HWND parent) {
    int count = 0;
    for (HWND child = GetWindow(parent, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) ++count;
    return count;
}

comp::DialogParams Params() {
    comp::DialogParams p;
    p.className = "TTestDialog";
    p.caption = "Test";
    p.clientWidth = 300;
    p.clientHeight = 120;
    return p;
}

}  // namespace

TEST(Dialog, ButtonsEnterEscapeAndTheOwner) {
    HWND owner = CreateWindowExA(0, "STATIC", "owner", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr, nullptr, nullptr);
    ASSERT_NE(nullptr, owner);
    comp::Dialog dialog(Params(), owner);
    auto& ok = dialog.AddButton("OK", 10, 80, 75, 25, true);
    ok.Result = comp::mrOk;
    auto& cancel = dialog.AddButton("Cancel", 90, 80, 75, 25, false, true);
    auto& box = dialog.AddCheckBox("Tick", 10, 10, 100, 17);
    int clicks = 0, boxClicks = 0, closes = 0;
    ok.OnClick = [&](comp::Button&) { ++clicks; };
    box.OnClick = [&](comp::CheckBox&) { ++boxClicks; };
    dialog.OnClose = [&](comp::Dialog&) { ++closes; };

    // Client size and centring.
    RECT r;
    GetClientRect(dialog.Handle(), &r);
    EXPECT_EQ(300, r.right);
    EXPECT_EQ(120, r.bottom);

    bool ownerDisabled = false;
    int result = RunModal(dialog, {
        [&] {
            ownerDisabled = !IsWindowEnabled(owner);
            SendMessageA(box.Handle(), BM_CLICK, 0, 0);
        },
        [&] {
            // Enter with the default button disabled does nothing.
            ok.SetEnabled(false);
            SetFocus(box.Handle());
            Key(box.Handle(), VK_RETURN);
        },
        [&] {
            ok.SetEnabled(true);
            SetFocus(box.Handle());
            Key(box.Handle(), VK_RETURN);
        },
    });
    EXPECT_TRUE(ownerDisabled);
    EXPECT_TRUE(IsWindowEnabled(owner));
    EXPECT_EQ(comp::mrOk, result);
    EXPECT_EQ(1, clicks);
    EXPECT_EQ(1, boxClicks);
    EXPECT_TRUE(box.Checked());
    EXPECT_EQ(1, closes);
    EXPECT_FALSE(IsWindowVisible(dialog.Handle()));

    // Escape clicks the cancel button; a second run starts afresh.
    int cancels = 0;
    cancel.OnClick = [&](comp::Button&) { ++cancels; };
    result = RunModal(dialog, {[&] { Key(box.Handle(), VK_ESCAPE); }});
    EXPECT_EQ(comp::mrCancel, result);
    EXPECT_EQ(1, cancels);

    // The close box closes with Cancel.
    result = RunModal(dialog, {[&] { PostMessageA(dialog.Handle(), WM_CLOSE, 0, 0); }});
    EXPECT_EQ(comp::mrCancel, result);
    EXPECT_TRUE(IsWindow(dialog.Handle()));
    DestroyWindow(owner);
}

TEST(Dialog, MemoLinesAndSetChecked) {
    comp::Dialog dialog(Params());
    auto& memo = dialog.AddMemo(10, 10, 200, 60, true, false);
    memo.SetLines({"first", "", "third"});
    EXPECT_EQ("first\r\n\r\nthird", memo.Text());
    EXPECT_EQ((std::vector<std::string>{"first", "", "third"}), memo.Lines());
    memo.Clear();
    EXPECT_TRUE(memo.Lines().empty());
    EXPECT_EQ((std::vector<std::string>{"a", "b", "c", ""}), comp::SplitLines("a\nb\rc\r\n"));

    auto& box = dialog.AddCheckBox("Tick", 10, 80, 100, 17);
    int clicks = 0;
    box.OnClick = [&](comp::CheckBox&) { ++clicks; };
    box.SetChecked(true);
    EXPECT_TRUE(box.Checked());
    box.SetChecked(false);
    EXPECT_FALSE(box.Checked());
    EXPECT_EQ(0, clicks);  // setting the tick raises no event
    EXPECT_EQ(&box, comp::Control::FromHandle(box.Handle()));
}

TEST(Dialog, AControlTheFormCanNotTakeGoesAgain) {
    comp::Dialog dialog(Params());
    const std::vector<std::function<void()>> adds = {
        [&] { dialog.AddButton("Button", 10, 10, 75, 25); },
        [&] { dialog.AddCheckBox("Box", 10, 40, 100, 17); },
        [&] { dialog.AddLabel("Label", 10, 60, 100, 17); },
        [&] { dialog.AddImage(120, 10, 32, 32); },
        [&] { dialog.AddMemo(120, 50, 100, 40, true, true); },
    };
    // Each allocation of each helper fails once in turn: a helper that fails leaves no control behind.
    for (size_t i = 0; i < adds.size(); ++i) {
        for (int skip = 0;; ++skip) {
            const int before = ChildCount(dialog.Handle());
            bool failed = false;
            {
                testing_support::FailingAllocations refuse(skip, 1);
                try {
                    adds[i]();
                } catch (const std::bad_alloc&) {
                    failed = true;
                }
            }
            if (!failed) break;
            EXPECT_EQ(before, ChildCount(dialog.Handle())) << "helper " << i << ", allocation " << skip;
        }
    }
    EXPECT_EQ(static_cast<int>(adds.size()), ChildCount(dialog.Handle()));
}
