// The face picture dialog, driven while it runs modally against "Opt.ini" in a scratch data folder, the
// user's picture folder redirected to a scratch folder and a stand-in for the control's window: the list
// ("(None)" first, images, order, the current picture found or added), the preview composed as the faces
// are, Apply and OK writing "Opt.ini" and posting to the control, Cancel, browsing, one dialog at a time.
#include "components/bitmap.h"
#include "components/registry.h"
#include "components/window.h"
#include "fixtures.h"
#include "shared/uMessages.h"
#include "shared/uParameters.h"
#include "shared/uPath.h"
#include "test_dialogs.h"
#include "test_pictures.h"
#include "test_windows.h"
#include "uBrowsedPath.h"
#include "uOptions.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <memory>
#include <string>
#include <vector>

using namespace testing_support::colours;

namespace {

TfrmOptions* Form() {
    return dynamic_cast<TfrmOptions*>(comp::Window::FromHandle(FindWindowA(kFaceOptionsFormClass, nullptr)));
}

void Click(HWND button) { SendMessageA(button, BM_CLICK, 0, 0); }

std::string Lower(std::string text) {
    for (char& c : text) c = static_cast<char>(tolower(static_cast<unsigned char>(c)));
    return text;
}

void Key(HWND target, WPARAM vk) {
    PostMessageA(target, WM_KEYDOWN, vk, 1);
    PostMessageA(target, WM_KEYUP, vk, 0xC0000001);
}

// The user picks a position in the drop-down list.
void ChoosePosition(TfrmOptions& f, int position) {
    f.ComboBox1.SetItemIndex(position);
    SendMessageA(f.Handle(), WM_COMMAND, MAKEWPARAM(f.ComboBox1.Id(), CBN_SELCHANGE),
                 reinterpret_cast<LPARAM>(f.ComboBox1.Handle()));
}

// The user moves the slider.
void ChooseResolution(TfrmOptions& f, int position) {
    SendMessageA(f.TrackBar1.Handle(), TBM_SETPOS, TRUE, position);
    SendMessageA(f.Handle(), WM_HSCROLL, MAKEWPARAM(TB_THUMBPOSITION, position),
                 reinterpret_cast<LPARAM>(f.TrackBar1.Handle()));
}

int EntryOf(TfrmOptions& f, const std::string& caption) {
    for (int i = 0; i < f.ListView1.Count(); ++i)
        if (f.ListView1.Caption(i) == caption) return i;
    return -1;
}

struct Opt {
    int32_t Index = 0, BKColor = 0;
    uint16_t ResW = 0, ResH = 0;
    std::string FileName;
    uint8_t bpp = 9;
};

Opt ReadOpt() {
    Opt o;
    ReadDeskParams(o.Index, o.ResW, o.ResH, o.FileName, o.BKColor, o.bpp);
    return o;
}

class FaceDialog : public testing::Test {
protected:
    void SetUp() override {
        savedData_ = AppDataPath;
        AppDataPath = data_.Path();
        // The user's picture folder is the scratch one.
        comp::RegistryKey key;
        ASSERT_TRUE(key.Open(HKEY_CURRENT_USER, "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\User Shell Folders",
                             true));
        key.WriteString("My Pictures", pictures_.Dir());
        SavePicture(pictures_.Path() + "!bang.bmp", 8, 8);
        SavePicture(pictures_.Path() + "zebra.bmp", 8, 8);
        SavePicture(pictures_.Path() + "alpha.dib", 8, 8);
        CopyFileA((testing_support::ExeFolder() + "\\picture_data\\quad.jpg").c_str(),
                  (pictures_.Path() + "photo.JPG").c_str(), FALSE);
        testing_support::WriteWholeFile(pictures_.Path() + "notes.txt", "not a picture");
        CreateDirectoryA((pictures_.Path() + "sub").c_str(), nullptr);
        SavePicture(pictures_.Path() + "sub\\deep.bmp", 8, 8);
    }
    void TearDown() override { AppDataPath = savedData_; }

    static void SavePicture(const std::string& file, int w, int h) {
        testing_support::QuadrantBitmap(w, h).SaveToFile(file);
    }
    // Runs the dialog for "Opt.ini" as given; each step runs once while it is open.
    void Run(int32_t index, uint16_t res, const std::string& file, int32_t colour, uint8_t bpp,
             const std::vector<std::function<void()>>& steps) {
        WriteDeskParams(index, res, res, file, colour, bpp);
        const size_t ran = testing_support::RunWithSteps(ShowFaceOptions, steps, 40, [] { return Form() != nullptr; });
        EXPECT_EQ(steps.size(), ran) << "the dialog closed before every step ran";
        EXPECT_EQ(nullptr, FindWindowA(kFaceOptionsFormClass, nullptr));
    }

    testing_support::RegistrySandbox sandbox_;
    testing_support::ScratchFolder data_, pictures_, elsewhere_;
    std::string savedData_;
};

}  // namespace

TEST(FaceOptionsRules, ResolutionsImagesAndPictureNames) {
    EXPECT_EQ(256, ResolutionOfPosition(0));
    EXPECT_EQ(512, ResolutionOfPosition(1));
    EXPECT_EQ(1024, ResolutionOfPosition(2));
    EXPECT_EQ(2, PositionOfResolution(1024));
    EXPECT_EQ(-1, PositionOfResolution(300));
    EXPECT_EQ(1, PictureImageIndex("C:\\a\\b.DIB"));
    EXPECT_EQ(1, PictureImageIndex("b.bmp"));
    EXPECT_EQ(2, PictureImageIndex("photo.JPG"));
    EXPECT_EQ(2, PictureImageIndex("x.jpeg"));
    EXPECT_TRUE(IsListedPicture("A.JPEG") && IsListedPicture("a.Dib"));
    EXPECT_FALSE(IsListedPicture("a.png") || IsListedPicture("bmp") || IsListedPicture("a.bmp.txt"));
}

TEST_F(FaceDialog, TheListKeepsNoneFirstAndSelectsItForNoPicture) {
    testing_support::FakePeer control(kActiveXWndClass);
    for (int opening = 0; opening < 2; ++opening) {
        Run(2, 512, "", 0x00FF00, 0, {
            [&] {
                TfrmOptions& f = *Form();
                EXPECT_EQ("Options", f.Text());
                RECT r;
                GetClientRect(f.Handle(), &r);
                EXPECT_EQ(411, r.right);
                EXPECT_EQ(454, r.bottom);
                // "(None)" stays first although "!bang" sorts before it, and it is the one selected.
                ASSERT_GT(f.ListView1.Count(), 4);
                EXPECT_EQ("(None)", f.ListView1.Caption(0));
                EXPECT_EQ("", f.EntryPath(0));
                EXPECT_EQ(0, f.ListView1.ImageIndex(0));
                EXPECT_EQ(0, f.ListView1.Selected());
                const int bang = EntryOf(f, "!bang"), alpha = EntryOf(f, "alpha"), photo = EntryOf(f, "photo"),
                          zebra = EntryOf(f, "zebra");
                ASSERT_TRUE(bang > 0 && alpha > 0 && photo > 0 && zebra > 0);
                EXPECT_TRUE(bang < alpha && alpha < photo && photo < zebra);
                EXPECT_EQ(1, f.ListView1.ImageIndex(bang));
                EXPECT_EQ(1, f.ListView1.ImageIndex(alpha));
                EXPECT_EQ(2, f.ListView1.ImageIndex(photo));
                EXPECT_EQ(pictures_.Path() + "photo.JPG", f.EntryPath(photo));
                EXPECT_EQ(-1, EntryOf(f, "notes"));
                EXPECT_EQ(-1, EntryOf(f, "deep"));
                for (int i = 2; i < f.ListView1.Count(); ++i)
                    EXPECT_LE(lstrcmpiA(f.ListView1.Caption(i - 1).c_str(), f.ListView1.Caption(i).c_str()), 0) << i;
                // The filling changed neither the preview nor Apply.
                EXPECT_TRUE(f.ImagePreview.Picture().Empty());
                EXPECT_FALSE(f.btnApply.Enabled());
                EXPECT_EQ(f.ListView1.Handle(), GetFocus());
                EXPECT_EQ(1, f.TrackBar1.Position());
                EXPECT_EQ(0x00FF00u, f.ColorSelector1.Color());
                EXPECT_EQ(83, f.ColorSelector1.ClientWidth());
                // Enter from the list goes to the default button Ok.
                Key(f.ListView1.Handle(), VK_RETURN);
            },
        });
        // OK right after opening writes what was opened and posts once.
        Opt o = ReadOpt();
        EXPECT_EQ(2, o.Index);
        EXPECT_EQ(512, o.ResW);
        EXPECT_EQ(512, o.ResH);
        EXPECT_EQ("", o.FileName);
        EXPECT_EQ(0x00FF00, o.BKColor);
        EXPECT_EQ(0, o.bpp);
        testing_support::Pump(30);
        EXPECT_EQ(opening + 1, control.Count(_3D_Gran_Opt));
        EXPECT_EQ(1u, control.Messages().back().wParam);
    }
}

TEST_F(FaceDialog, TheCurrentPictureIsFoundIgnoringCaseOrAdded) {
    // In a listed folder, named in other letter case: found, not added twice; the preview shows it unchanged.
    Run(1, 256, pictures_.Path() + "PHOTO.jpg", 0xFFFFFF, 0, {
        [&] {
            TfrmOptions& f = *Form();
            const int photo = EntryOf(f, "photo");
            EXPECT_EQ(photo, f.ListView1.Selected());
            int count = 0;
            for (int i = 0; i < f.ListView1.Count(); ++i) count += Lower(f.ListView1.Caption(i)) == "photo";
            EXPECT_EQ(1, count);
            EXPECT_EQ(64, f.ImagePreview.Picture().Width());
            EXPECT_EQ(48, f.ImagePreview.Picture().Height());
            Click(f.btnCancel.Handle());
        },
    });
    // Elsewhere: added to the list and selected.
    const std::string outside = elsewhere_.Path() + "outside.bmp";
    SavePicture(outside, 8, 8);
    Run(1, 256, outside, 0xFFFFFF, 0, {
        [&] {
            TfrmOptions& f = *Form();
            const int entry = EntryOf(f, "outside");
            EXPECT_GT(entry, 0);
            EXPECT_EQ(entry, f.ListView1.Selected());
            EXPECT_EQ(outside, f.EntryPath(entry));
            Click(f.btnCancel.Handle());
        },
    });
    // Missing: "(None)" is selected.
    Run(1, 256, elsewhere_.Path() + "gone.bmp", 0xFFFFFF, 0, {
        [&] {
            EXPECT_EQ(0, Form()->ListView1.Selected());
            EXPECT_EQ(-1, EntryOf(*Form(), "gone"));
            Click(Form()->btnCancel.Handle());
        },
    });
}

TEST_F(FaceDialog, ThePreviewIsTheFaceAsTheCubeComposesIt) {
    SavePicture(pictures_.Path() + "centre.bmp", 100, 60);
    SavePicture(pictures_.Path() + "tiles.bmp", 300, 200);
    testing_support::WriteWholeFile(pictures_.Path() + "broken.jpg", std::string(600, 'x'));
    const COLORREF back = RGB(10, 20, 30);
    Run(1, 256, pictures_.Path() + "centre.bmp", static_cast<int32_t>(back), 1, {
        [&] {
            TfrmOptions& f = *Form();
            ChooseResolution(f, 1);
            EXPECT_TRUE(f.btnApply.Enabled());
            // Centre at 512: the 100 x 60 picture at (206, 226) on the colour.
            const comp::Bitmap& p = f.ImagePreview.Picture();
            ASSERT_EQ(512, p.Width());
            ASSERT_EQ(512, p.Height());
            EXPECT_EQ(kRed, p.Pixel(206, 226));
            EXPECT_EQ(kYellow, p.Pixel(305, 285));
            EXPECT_EQ(back, p.Pixel(205, 226));
            EXPECT_EQ(back, p.Pixel(306, 285));
            EXPECT_EQ(back, p.Pixel(0, 0));

            // Tile at 512 with a 300 x 200 picture: 2 columns and 3 rows, cut at the edge.
            ChoosePosition(f, 2);
            f.ListView1.Select(EntryOf(f, "tiles"));
            const comp::Bitmap& t = f.ImagePreview.Picture();
            ASSERT_EQ(512, t.Width());
            for (int c = 0; c < 2; ++c)
                for (int r = 0; r < 3; ++r) EXPECT_EQ(kRed, t.Pixel(c * 300, r * 200)) << c << "," << r;
            EXPECT_EQ(kGreen, t.Pixel(511, 0));
            EXPECT_EQ(kBlue, t.Pixel(0, 511));

            // Stretch at 1024 fills the face.
            ChoosePosition(f, 0);
            ChooseResolution(f, 2);
            const comp::Bitmap& s = f.ImagePreview.Picture();
            ASSERT_EQ(1024, s.Width());
            EXPECT_EQ(kRed, s.Pixel(0, 0));
            EXPECT_EQ(kYellow, s.Pixel(1023, 1023));

            // A picture that cannot be decoded is reported; the preview keeps what it showed.
            std::vector<std::string> errors;
            comp::SetExceptionHandler([&](const std::exception& e) { errors.push_back(e.what()); });
            f.ListView1.Select(EntryOf(f, "broken"));
            comp::SetExceptionHandler(nullptr);
            EXPECT_EQ(1u, errors.size());
            EXPECT_EQ(1024, f.ImagePreview.Picture().Width());
            EXPECT_EQ(kYellow, f.ImagePreview.Picture().Pixel(1023, 1023));

            // "(None)" shows the colour in every position.
            f.ListView1.Select(0);
            for (int position = 0; position < 3; ++position) {
                ChoosePosition(f, position);
                const comp::Bitmap& n = f.ImagePreview.Picture();
                ASSERT_EQ(1024, n.Width());
                EXPECT_EQ(back, n.Pixel(0, 0)) << position;
                EXPECT_EQ(back, n.Pixel(700, 300)) << position;
            }
            Click(f.btnCancel.Handle());
        },
    });
}

TEST_F(FaceDialog, ApplyWritesAndPostsCancelKeepsWhatWasApplied) {
    testing_support::FakePeer control(kActiveXWndClass);
    const std::string photo = pictures_.Path() + "photo.JPG";
    Run(3, 256, photo, 0xFFFFFF, 2, {
        [&] {
            TfrmOptions& f = *Form();
            // Only the colour changes, through the palette.
            HWND sel = f.ColorSelector1.Handle();
            SendMessageA(sel, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(5, 5));
            SendMessageA(sel, WM_LBUTTONUP, 0, MAKELPARAM(5, 5));
            ASSERT_NE(nullptr, f.ColorSelector1.Palette());
            SendMessageA(f.ColorSelector1.Palette()->Handle(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(30, 66));
            EXPECT_EQ(0x800000u, f.ColorSelector1.Color());  // navy
            EXPECT_TRUE(f.btnApply.Enabled());
            EXPECT_EQ(0, control.Count(_3D_Gran_Opt));
            Click(f.btnApply.Handle());
            EXPECT_FALSE(f.btnApply.Enabled());
        },
        [&] {
            Opt o = ReadOpt();
            EXPECT_EQ(3, o.Index);
            EXPECT_EQ(0x800000, o.BKColor);
            EXPECT_EQ(2, o.bpp);
            EXPECT_EQ(256, o.ResW);
            EXPECT_EQ(256, o.ResH);
            EXPECT_EQ(photo, o.FileName);
            EXPECT_EQ(1, control.Count(_3D_Gran_Opt));
            // The composed preview followed the Apply.
            EXPECT_EQ(256, Form()->ImagePreview.Picture().Width());
            ChoosePosition(*Form(), 0);
            Click(Form()->btnCancel.Handle());
        },
    });
    Opt o = ReadOpt();
    EXPECT_EQ(0x800000, o.BKColor);
    EXPECT_EQ(2, o.bpp);
    testing_support::Pump(30);
    EXPECT_EQ(1, control.Count(_3D_Gran_Opt));
}

TEST_F(FaceDialog, OkClosesAfterApplyingEvenWhenThePreviewFails) {
    testing_support::FakePeer control(kActiveXWndClass);
    const std::string broken = pictures_.Path() + "broken.jpg";
    testing_support::WriteWholeFile(broken, std::string(600, 'x'));
    std::vector<std::string> errors;
    comp::SetExceptionHandler([&](const std::exception& e) { errors.push_back(e.what()); });
    Run(2, 512, broken, 0, 1, {
        [&] {
            TfrmOptions& f = *Form();
            Click(f.btnOk.Handle());
            EXPECT_EQ(comp::mrOk, f.ModalResultValue());
            if (f.ModalResultValue() == comp::mrNone) f.Close();  // a form left open would hold the test
        },
    });
    comp::SetExceptionHandler(nullptr);
    EXPECT_EQ(1u, errors.size());
    testing_support::Pump(30);
    EXPECT_EQ(1, control.Count(_3D_Gran_Opt));
}

TEST_F(FaceDialog, OneDialogAtATimeAndApplyWithoutAControl) {
    bool nestedReturned = false;
    Run(6, 1024, "", 0, 1, {
        [&] {
            HWND open = Form()->Handle();
            ShowFaceOptions();
            nestedReturned = true;
            EXPECT_EQ(open, FindWindowA(kFaceOptionsFormClass, nullptr));
            ChooseResolution(*Form(), 0);
            Click(Form()->btnOk.Handle());  // no control window: "Opt.ini" is written all the same
        },
    });
    EXPECT_TRUE(nestedReturned);
    Opt o = ReadOpt();
    EXPECT_EQ(6, o.Index);
    EXPECT_EQ(256, o.ResW);
    EXPECT_EQ(1, o.bpp);
}

TEST_F(FaceDialog, BrowseAddsThePictureAndRefusesPathsTooLongToStore) {
    const std::string browsed = elsewhere_.Path() + "browsed.bmp";
    SavePicture(browsed, 8, 8);
    const std::string longName = testing_support::DeepFileName(elsewhere_.Dir(), 256, ".bmp");
    ASSERT_EQ(256u, longName.size());
    SavePicture(longName, 8, 8);
    ASSERT_TRUE(GetFileAttributesA(longName.c_str()) != INVALID_FILE_ATTRIBUTES);

    std::string refusal;
    Run(1, 512, "", 0xFFFFFF, 0, {
        [&] { Click(Form()->Button1.Handle()); },  // the picture dialog runs inside this click
        [&] {
            HWND open = testing_support::FindThreadDialog();
            ASSERT_NE(nullptr, open);
            // The preview pane sits beside the standard controls.
            HWND pane = FindWindowExA(open, nullptr, "#32770", nullptr);
            EXPECT_NE(nullptr, pane);
            EXPECT_NE(nullptr, pane ? GetDlgItem(pane, 0x5001) : nullptr);
            ASSERT_TRUE(testing_support::ConfirmOpenDialog(browsed));
        },
        [&] {
            TfrmOptions& f = *Form();
            const int entry = EntryOf(f, "browsed");
            EXPECT_GT(entry, 0);
            EXPECT_EQ(entry, f.ListView1.Selected());
            EXPECT_TRUE(f.btnApply.Enabled());
            EXPECT_EQ(512, f.ImagePreview.Picture().Width());
            Click(f.Button1.Handle());
        },
        [&] { ASSERT_TRUE(testing_support::ConfirmOpenDialog(longName)); },
        [&] {
            // Refused with a message, not cut to the path of another file.
            ASSERT_TRUE(testing_support::AnswerMessageBox("3D Vexlor", refusal));
        },
        [&] {
            TfrmOptions& f = *Form();
            for (int i = 0; i < f.ListView1.Count(); ++i) EXPECT_NE(longName, f.EntryPath(i));
            EXPECT_EQ(EntryOf(f, "browsed"), f.ListView1.Selected());
            Click(f.btnOk.Handle());
        },
    });
    EXPECT_EQ(0u, refusal.find(kPathTooLongText));
    EXPECT_NE(std::string::npos, refusal.find(longName));
    EXPECT_EQ(browsed, ReadOpt().FileName);
}
