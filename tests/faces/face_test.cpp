// Faces over real folders under Wine, with a real Direct3D device: scanning items of every kind (shortcuts
// made through the shell link object), icons and captions read back from the face texture, the layout
// file, the re-scan, the watcher thread, deleting items, sorting, new picture settings, and the faults
// of damaged input (layout values, pictures, shortcut files).
#include <windows.h>
#include <ole2.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <functional>
#include <memory>
#include <string>
#include <tuple>
#include <vector>

#include "components/bitmap.h"
#include "components/paths.h"
#include "control/uCube.h"
#include "control/uGlobal.h"
#include "control/uGranDesktop.h"
#include "control/uInit.h"
#include "control/uTexture.h"
#include "child_process.h"
#include "data_folder.h"
#include "fixtures.h"
#include "shared/uOptionsShared.h"
#include "shell_links.h"
#include "test_pictures.h"
#include "texture_lock.h"
#include "test_windows.h"

using testing_support::ColourHex;
using testing_support::ColoursNear;
using testing_support::HeldTextureLock;
using testing_support::PumpUntil;
using testing_support::ReadWholeFile;
using testing_support::WriteWholeFile;

namespace {

constexpr COLORREF kDefaultBack = RGB(0xA6, 0xCA, 0xF0);  // $F0CAA6
constexpr DWORD kGenerous = 10000;                        // only a real fault waits this long

LRESULT CALLBACK PlainWndProc(HWND h, UINT m, WPARAM w, LPARAM l) { return DefWindowProcA(h, m, w, l); }

void Touch(const std::string& path, const std::string& content = "x") { WriteWholeFile(path, content); }

// Moves a file's last-write time a day back: a change the re-scan sees, made without a notification.
void AgeFile(const std::string& path) {
    HANDLE h = CreateFileA(path.c_str(), FILE_WRITE_ATTRIBUTES, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                           OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
    ASSERT_NE(h, INVALID_HANDLE_VALUE);
    FILETIME t{};
    GetFileTime(h, nullptr, nullptr, &t);
    ULARGE_INTEGER v{{t.dwLowDateTime, t.dwHighDateTime}};
    v.QuadPart -= 864000000000ull;
    t.dwLowDateTime = v.LowPart;
    t.dwHighDateTime = v.HighPart;
    SetFileTime(h, nullptr, nullptr, &t);
    CloseHandle(h);
}

// Counts the re-arms of folder watches while it lives: this program's import of
// FindNextChangeNotification is pointed at a counter that calls the system's function.
class RearmCounter {
public:
    RearmCounter() : slot_(ImportSlot("FindNextChangeNotification")) {
        if (!slot_) return;
        real_ = reinterpret_cast<Function>(*slot_);
        Write(reinterpret_cast<ULONG_PTR>(&Counted));
    }
    ~RearmCounter() {
        if (slot_) Write(reinterpret_cast<ULONG_PTR>(real_));
    }
    RearmCounter(const RearmCounter&) = delete;
    RearmCounter& operator=(const RearmCounter&) = delete;

    bool Installed() const { return slot_ != nullptr; }
    static int Count() { return count_.load(); }

private:
    using Function = BOOL(WINAPI*)(HANDLE);
    static BOOL WINAPI Counted(HANDLE change) {
        ++count_;
        return real_(change);
    }
    // The import table entry of a kernel32 function in the running program, or nullptr.
    static ULONG_PTR* ImportSlot(const char* name) {
        auto* base = reinterpret_cast<BYTE*>(GetModuleHandleA(nullptr));
        const auto* dos = reinterpret_cast<const IMAGE_DOS_HEADER*>(base);
        const auto* nt = reinterpret_cast<const IMAGE_NT_HEADERS*>(base + dos->e_lfanew);
        const IMAGE_DATA_DIRECTORY& dir = nt->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_IMPORT];
        for (auto* d = reinterpret_cast<const IMAGE_IMPORT_DESCRIPTOR*>(base + dir.VirtualAddress); d->Name; ++d) {
            if (lstrcmpiA(reinterpret_cast<const char*>(base + d->Name), "kernel32.dll") != 0) continue;
            auto* names = reinterpret_cast<const IMAGE_THUNK_DATA*>(base + d->OriginalFirstThunk);
            auto* slots = reinterpret_cast<IMAGE_THUNK_DATA*>(base + d->FirstThunk);
            for (; names->u1.AddressOfData; ++names, ++slots) {
                if (IMAGE_SNAP_BY_ORDINAL(names->u1.Ordinal)) continue;
                const auto* byName = reinterpret_cast<const IMAGE_IMPORT_BY_NAME*>(base + names->u1.AddressOfData);
                if (lstrcmpA(reinterpret_cast<const char*>(byName->Name), name) == 0)
                    return reinterpret_cast<ULONG_PTR*>(&slots->u1.Function);
            }
        }
        return nullptr;
    }
    void Write(ULONG_PTR value) {
        DWORD old = 0;
        VirtualProtect(slot_, sizeof *slot_, PAGE_READWRITE, &old);
        InterlockedExchangePointer(reinterpret_cast<PVOID*>(slot_), reinterpret_cast<PVOID>(value));
        VirtualProtect(slot_, sizeof *slot_, old, &old);
    }

    ULONG_PTR* slot_;
    static inline Function real_ = nullptr;
    static inline std::atomic<int> count_{0};
};

class FaceTest : public ::testing::Test {
protected:
    void SetUp() override {
        OleInitialize(nullptr);
        Settings.d3d_qw = 0;
        WNDCLASSA wc{};
        wc.lpfnWndProc = PlainWndProc;
        wc.hInstance = GetModuleHandleA(nullptr);
        wc.lpszClassName = "VexlorFaceTestWindow";
        RegisterClassA(&wc);
        window_ = CreateWindowExA(0, wc.lpszClassName, "faces", WS_POPUP | WS_VISIBLE, 0, 0, 200, 150, nullptr,
                                  nullptr, wc.hInstance, nullptr);
        ASSERT_NE(window_, nullptr);
        InitGlobalVars(g_, &faces_);
        ASSERT_EQ(CreateD3DDevice(window_, g_), S_OK);
        folder_ = data_.Path() + "Desktops\\1\\";
        ini_ = data_.Path() + "Desktops\\1.ini";
        comp::ForceDirectories(folder_);
    }
    void TearDown() override {
        face_.reset();
        if (g_.D3D.Device) g_.D3D.Device->Release();
        if (g_.D3D.Direct3D) g_.D3D.Direct3D->Release();
        g_.D3D.Device = nullptr;
        g_.D3D.Direct3D = nullptr;
        GlobalVars = nullptr;
        DestroyWindow(window_);
        OleUninitialize();
    }

    TGranDesktop& MakeFace(const TFaceProgress& progress = nullptr) {
        face_.reset();
        face_ = NewFace(progress);
        return *face_;
    }
    std::unique_ptr<TGranDesktop> NewFace(const TFaceProgress& progress = nullptr) {
        TCubeQuads quads;
        TCubeNormals normals;
        BuildCube(quads, normals);
        return std::make_unique<TGranDesktop>(folder_, ini_, g_.D3D.Device, normals[1], quads[1][0], quads[1][1],
                                              quads[1][2], quads[1][3], progress, 1);
    }
    TLinkRecord* Item(const std::string& name) {
        for (const auto& r : face_->Links)
            if (r->FileName == name) return r.get();
        return nullptr;
    }
    std::vector<std::string> Names() const {
        std::vector<std::string> names;
        for (const auto& r : face_->Links) names.push_back(r->FileName);
        return names;
    }
    COLORREF Texel(int x, int y) {
        D3DLOCKED_RECT locked{};
        const RECT r{x, y, x + 1, y + 1};
        if (FAILED(face_->Texture->LockRect(0, &locked, &r, D3DLOCK_READONLY))) return 0xFFFFFFFF;
        const uint32_t t = *static_cast<uint32_t*>(locked.pBits);
        face_->Texture->UnlockRect(0);
        return RGB((t >> 16) & 0xFF, (t >> 8) & 0xFF, t & 0xFF);
    }
    // Texels of the rectangle that are not |colour|.
    int Differing(int left, int top, int width, int height, COLORREF colour, int tolerance = 2) {
        int n = 0;
        for (int y = top; y < top + height; ++y)
            for (int x = left; x < left + width; ++x)
                if (!ColoursNear(Texel(x, y), colour, tolerance)) ++n;
        return n;
    }
    int IconInk(const TLinkRecord& r, COLORREF back = kDefaultBack) {
        return Differing(r.Column * 70 + 19, r.Row * 70 + 9, 32, 32, back);
    }
    int CaptionInk(const TLinkRecord& r, COLORREF back = kDefaultBack) {
        return Differing(r.Column * 70 + 1, r.Row * 70 + 43, 68, 27, back);
    }
    int Highlight(const TLinkRecord& r) {
        int n = 0;
        for (int y = r.Row * 70 + 43; y < r.Row * 70 + 70; ++y)
            for (int x = r.Column * 70 + 1; x < r.Column * 70 + 69; ++x)
                if (ColoursNear(Texel(x, y), GetSysColor(COLOR_HIGHLIGHT), 8)) ++n;
        return n;
    }

    testing_support::ScratchDataFolder data_;
    HWND window_ = nullptr;
    TFaceArray faces_{};
    gTGlobalVars g_{};
    std::string folder_, ini_;
    std::unique_ptr<TGranDesktop> face_;
};

}  // namespace

TEST_F(FaceTest, ScansItemsOfEveryKindAndDrawsTheirIconsAndCaptions) {
    Touch(folder_ + "notes.txt", "some words");
    CreateDirectoryA((folder_ + "Folder a.b").c_str(), nullptr);
    Touch(folder_ + "desktop.ini");
    SetFileAttributesA((folder_ + "desktop.ini").c_str(), FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM);
    Touch(folder_ + ".profile");
    ASSERT_TRUE(testing_support::MakeShortcut(folder_ + "Editor.lnk", "C:\\windows\\notepad.exe", "an editor"));
    ASSERT_TRUE(testing_support::MakeShortcut(folder_ + "UPPER.LNK", "C:\\windows\\notepad.exe"));
    Touch(folder_ + "broken.lnk", "");  // a shortcut file that can't be read

    TGranDesktop& face = MakeFace();
    EXPECT_EQ(face.Folder, folder_);
    EXPECT_EQ(face.Columns, 7);
    EXPECT_EQ(face.Rows, 7);
    ASSERT_EQ(face.Links.size(), 7u);

    const TLinkRecord* notes = Item("notes.txt");
    ASSERT_NE(notes, nullptr);
    EXPECT_EQ(notes->Kind, lkFile);
    EXPECT_EQ(notes->Caption, "notes");
    EXPECT_EQ(notes->Path, folder_ + "notes.txt");
    EXPECT_EQ(notes->Target, notes->Path);
    EXPECT_EQ(notes->Size, 10);
    EXPECT_NE(notes->Time, 0u);
    const TLinkRecord* folder = Item("Folder a.b");
    ASSERT_NE(folder, nullptr);
    EXPECT_EQ(folder->Kind, lkFolder);
    EXPECT_EQ(folder->Caption, "Folder a.b");
    ASSERT_NE(Item("desktop.ini"), nullptr);  // hidden and system files are items too
    EXPECT_EQ(Item(".profile")->Caption, "");
    const TLinkRecord* editor = Item("Editor.lnk");
    ASSERT_NE(editor, nullptr);
    EXPECT_EQ(editor->Kind, lkShortcut);
    EXPECT_EQ(comp::ExtractFileName(editor->Target), "notepad.exe");
    EXPECT_EQ(editor->Description, "an editor");
    EXPECT_EQ(editor->Caption.rfind("notepad", 0), 0u) << editor->Caption;  // the target's display name
    const TLinkRecord* upper = Item("UPPER.LNK");
    ASSERT_NE(upper, nullptr);
    EXPECT_EQ(upper->Kind, lkFile);  // the extension is compared as it is written
    EXPECT_EQ(upper->Caption, "UPPER");
    // The unreadable shortcut keeps its name, caption, size and time from the listing.
    const TLinkRecord* broken = Item("broken.lnk");
    ASSERT_NE(broken, nullptr);
    EXPECT_EQ(broken->Kind, lkShortcut);
    EXPECT_EQ(broken->Caption, "broken");
    EXPECT_EQ(broken->Target, "");
    EXPECT_NE(broken->Time, 0u);

    // Every item has a cell of its own in the grid, and each is drawn: an icon (a document without an
    // icon of its own shows the default one) and a caption of black text on white.
    std::vector<std::pair<int, int>> cells;
    for (const auto& r : face.Links) {
        SCOPED_TRACE(r->FileName);
        ASSERT_TRUE(InGrid(TCell{r->Column, r->Row}, 7, 7));
        cells.emplace_back(r->Column, r->Row);
        if (r.get() != broken) {
            EXPECT_GT(IconInk(*r), 100);
        }
        if (!r->Caption.empty()) {
            EXPECT_GT(CaptionInk(*r), 40);
        }
    }
    std::sort(cells.begin(), cells.end());
    EXPECT_EQ(std::unique(cells.begin(), cells.end()), cells.end());
    EXPECT_EQ(IconInk(*broken), 0);  // no icon for a shortcut that can't be read
    bool black = false, white = false;
    for (int y = notes->Row * 70 + 43; y < notes->Row * 70 + 56; ++y)
        for (int x = notes->Column * 70 + 1; x < notes->Column * 70 + 69; ++x) {
            black |= ColoursNear(Texel(x, y), RGB(0, 0, 0), 40);
            white |= Texel(x, y) == RGB(255, 255, 255);
        }
    EXPECT_TRUE(black && white);
    // Below the grid the picture shows.
    EXPECT_EQ(Differing(0, 490, 512, 22, kDefaultBack), 0);
}

TEST_F(FaceTest, LayoutRoundTripsEvenForANameThatBeginsWithABlank) {
    for (const char* name : {"alpha.txt", " spaced.txt", "omega.txt"}) Touch(folder_ + name);
    TGranDesktop& face = MakeFace();
    ASSERT_EQ(face.Links.size(), 3u);
    Item(" spaced.txt")->Column = 4;
    Item(" spaced.txt")->Row = 2;
    Item("alpha.txt")->Column = 6;
    Item("alpha.txt")->Row = 6;
    Item("omega.txt")->Column = 0;
    Item("omega.txt")->Row = 5;
    face_.reset();

    const comp::IniFile ini(ini_);
    EXPECT_EQ(ini.ReadInteger("data", "count", -1), 3);
    EXPECT_EQ(ini.ReadInteger("Settings", "ResW", 0), 512);
    EXPECT_EQ(ini.ReadInteger("Settings", "ResH", 0), 512);
    EXPECT_EQ(ini.ReadInteger("Settings", "BackColor", 0), 15780518);
    EXPECT_EQ(ini.ReadInteger("Settings", "BackPicPos", -1), 0);

    MakeFace();
    EXPECT_EQ((TCell{Item(" spaced.txt")->Column, Item(" spaced.txt")->Row}), (TCell{4, 2}));
    EXPECT_EQ((TCell{Item("alpha.txt")->Column, Item("alpha.txt")->Row}), (TCell{6, 6}));
    EXPECT_EQ((TCell{Item("omega.txt")->Column, Item("omega.txt")->Row}), (TCell{0, 5}));
}

TEST_F(FaceTest, ReScanDropsReplacesAndAddsItemsAndDrawsOnlyWhatChanged) {
    for (const char* name : {"a.txt", "b.txt", "c.txt"}) Touch(folder_ + name);
    TGranDesktop& face = MakeFace();
    TLinkRecord* a = Item("a.txt");
    TLinkRecord* b = Item("b.txt");
    TLinkRecord* c = Item("c.txt");
    ASSERT_TRUE(a && b && c);
    const TCell aCell{a->Column, a->Row}, bCell{b->Column, b->Row};
    const uint32_t aTime = a->Time;
    face.SelectLink(b);
    g_.CurrentFace = 1;
    g_.DraggedLink = a;
    g_.DragSourceFace = 1;
    // A mark in c's icon: an item drawn again would lose it.
    comp::Bitmap mark(2, 2);
    mark.Fill(RGB(255, 0, 255));
    CopyBitmapToTexture(face.Texture, mark, static_cast<uint16_t>(c->Column * 70 + 20), static_cast<uint16_t>(c->Row * 70 + 10));

    ASSERT_TRUE(DeleteFileA((folder_ + "b.txt").c_str()));
    AgeFile(folder_ + "a.txt");
    Touch(folder_ + "d.txt");
    face.Refresh();

    EXPECT_EQ(face.Selected, nullptr);
    EXPECT_EQ(g_.CurrentFace, -1);
    // The changed item is a new record at the end of the list, in its old cell; the drag armed on it
    // ends. The new item follows it, in the first free cell: the one the deleted item left.
    EXPECT_EQ(Names(), (std::vector<std::string>{"c.txt", "a.txt", "d.txt"}));
    EXPECT_NE(Item("a.txt")->Time, aTime);
    EXPECT_EQ((TCell{Item("a.txt")->Column, Item("a.txt")->Row}), aCell);
    EXPECT_EQ(g_.DraggedLink, nullptr);
    EXPECT_EQ(g_.DragSourceFace, -1);
    TLinkRecord* d = Item("d.txt");
    EXPECT_EQ((TCell{d->Column, d->Row}), bCell);
    EXPECT_GT(IconInk(*d), 100);
    EXPECT_EQ(Highlight(*d), 0);
    EXPECT_EQ(Texel(c->Column * 70 + 20, c->Row * 70 + 10), RGB(255, 0, 255));
    EXPECT_EQ(comp::IniFile(ini_).ReadInteger("data", "count", -1), 3);

    // An item whose file went shows the picture again.
    ASSERT_TRUE(DeleteFileA((folder_ + "d.txt").c_str()));
    face.Refresh();
    TLinkRecord gone;
    gone.Column = bCell.Column;
    gone.Row = bCell.Row;
    EXPECT_EQ(IconInk(gone), 0);
    EXPECT_EQ(CaptionInk(gone), 0);

    // After a rename that changes only letter case (the platform here can't make one: the record is
    // made to hold the old name) one item is left, under the entry's real name.
    Touch(folder_ + "Mixed.txt");
    face.Refresh();
    Item("Mixed.txt")->FileName = "mixed.txt";
    face.Refresh();
    EXPECT_EQ(Names(), (std::vector<std::string>{"c.txt", "a.txt", "Mixed.txt"}));
}

TEST_F(FaceTest, TheSelectionStaysHighlightedThroughARedraw) {
    Touch(folder_ + "chosen file.txt");
    TGranDesktop& face = MakeFace();
    TLinkRecord* chosen = Item("chosen file.txt");
    ASSERT_NE(chosen, nullptr);
    EXPECT_EQ(Highlight(*chosen), 0);
    face.SelectLink(chosen);
    const int selected = Highlight(*chosen);
    EXPECT_GT(selected, 20);
    face.DrawAllLinks();
    EXPECT_EQ(Highlight(*chosen), selected);
    face.SelectLink(nullptr);
    face.DrawAllLinks();
    EXPECT_EQ(Highlight(*chosen), 0);
}

TEST_F(FaceTest, TheWatcherFlagsChangesAndStopsWithItsFace) {
    RearmCounter rearms;
    ASSERT_TRUE(rearms.Installed());
    Touch(folder_ + "start.txt");
    TGranDesktop& face = MakeFace();
    ASSERT_NE(face.Monitor, nullptr);
    const auto flagged = [&face] { return face.NeedsRefresh.load(); };
    Touch(folder_ + "new.txt");
    EXPECT_TRUE(PumpUntil(flagged, kGenerous)) << "create";
    face.NeedsRefresh = false;
    ASSERT_TRUE(MoveFileA((folder_ + "new.txt").c_str(), (folder_ + "renamed.txt").c_str()));
    EXPECT_TRUE(PumpUntil(flagged, kGenerous)) << "rename";
    face.NeedsRefresh = false;
    SetFileAttributesA((folder_ + "renamed.txt").c_str(), FILE_ATTRIBUTE_READONLY);
    EXPECT_TRUE(PumpUntil(flagged, kGenerous)) << "attributes";
    face.NeedsRefresh = false;
    SetFileAttributesA((folder_ + "renamed.txt").c_str(), FILE_ATTRIBUTE_NORMAL);
    PumpUntil(flagged, kGenerous);
    face.NeedsRefresh = false;
    ASSERT_TRUE(DeleteFileA((folder_ + "renamed.txt").c_str()));
    EXPECT_TRUE(PumpUntil(flagged, kGenerous)) << "delete";
    EXPECT_FALSE(face.Monitor->Finished());

    // Re-armed after each notification, never while idle (the platform would queue a request per pass).
    testing_support::Pump(300);
    const int rearmed = RearmCounter::Count();
    EXPECT_GT(rearmed, 0);
    testing_support::Pump(1000);
    EXPECT_EQ(RearmCounter::Count(), rearmed);

    // The folder goes (the platform here goes on watching it): freeing the face still ends the watch.
    testing_support::RemoveTree(folder_);
    const int threads = testing_support::ProcessThreadCount();
    face_.reset();
    EXPECT_EQ(testing_support::ProcessThreadCount(), threads - 1);

    // A folder that can't be watched ends the watch at once.
    TMonitorGranThread lost(data_.Path() + "no such folder\\", nullptr);
    EXPECT_TRUE(PumpUntil([&lost] { return lost.Finished(); }, kGenerous));
}

TEST_F(FaceTest, AFaceMadeHalfWayStopsItsWatcherAndLeavesItsLayoutFileAlone) {
    Touch(folder_ + "kept.txt");
    const std::string layout = "[Settings]\r\nResW=256\r\nResH=256\r\n[data]\r\ncount=1\r\nlink0=kept.txt\r\nx0=2\r\ny0=2\r\n";
    WriteWholeFile(ini_, layout);
    const int threads = testing_support::ProcessThreadCount();
    std::vector<std::string> steps;
    const TFaceProgress failing = [&steps](const std::string& text) {
        steps.push_back(text);
        if (text == "Loading links") throw comp::Exception("no links today");
    };
    EXPECT_THROW(NewFace(failing), comp::Exception);
    EXPECT_EQ(steps, (std::vector<std::string>{"Create desktop", "Loadind texture", "Loading links"}));
    EXPECT_EQ(testing_support::ProcessThreadCount(), threads);
    EXPECT_EQ(ReadWholeFile(ini_), layout);

    // Whole, the same face takes the stored layout.
    TGranDesktop& face = MakeFace();
    EXPECT_EQ(face.TextureWidth, 256);
    EXPECT_EQ((TCell{Item("kept.txt")->Column, Item("kept.txt")->Row}), (TCell{2, 2}));
}

TEST_F(FaceTest, DamagedPictureSettingsAndPicturesGiveAPlainFaceAndKeepTheStoredPath) {
    const std::string picture = data_.Path() + "damaged.jpg";
    WriteWholeFile(picture, "\xFF\xD8\xFF\xE0 this is no picture");
    WriteWholeFile(ini_, "[Settings]\r\nResW=0\r\nResH=70000\r\nBackPicPos=5\r\nBackColor=255\r\nWallPaper=" +
                             picture + "\r\n");
    TGranDesktop* face = nullptr;
    ASSERT_NO_THROW(face = &MakeFace());
    EXPECT_EQ(face->TextureWidth, 512);
    EXPECT_EQ(face->TextureHeight, 512);
    D3DSURFACE_DESC desc{};
    face->Texture->GetLevelDesc(0, &desc);
    EXPECT_EQ(desc.Width, 512u);
    EXPECT_EQ(desc.Height, 512u);
    EXPECT_EQ(face->BackPicPos, kPicStretch);
    EXPECT_EQ(face->WallPaper, picture);
    EXPECT_EQ(Texel(256, 256), RGB(255, 0, 0));
    EXPECT_EQ(Texel(3, 500), RGB(255, 0, 0));
    face_.reset();
    EXPECT_EQ(comp::IniFile(ini_).ReadString("Settings", "WallPaper", ""), picture);

    // A picture that can be read is composed as its position says.
    const std::string good = testing_support::ExeFolder() + "\\scene_data\\quad_256x128.jpg";
    ASSERT_TRUE(comp::FileExists(good));
    WriteWholeFile(ini_, "[Settings]\r\nWallPaper=" + good + "\r\n");
    MakeFace();
    EXPECT_TRUE(ColoursNear(Texel(128, 128), testing_support::kRed, 24)) << ColourHex(Texel(128, 128));
    EXPECT_TRUE(ColoursNear(Texel(384, 384), testing_support::kYellow, 24)) << ColourHex(Texel(384, 384));
}

TEST_F(FaceTest, DeletingItemsRemovesFilesShortcutsAndTreesButNeverTheFaceFolder) {
    Touch(folder_ + "file.txt");
    ASSERT_TRUE(testing_support::MakeShortcut(folder_ + "to file.lnk", folder_ + "file.txt"));
    comp::ForceDirectories(folder_ + "tree\\sub\\deeper");
    Touch(folder_ + "tree\\top.txt");
    Touch(folder_ + "tree\\sub\\deeper\\bottom.txt");
    TGranDesktop& face = MakeFace();
    ASSERT_EQ(face.Links.size(), 3u);

    face.DeleteLinkFile(Item("to file.lnk"));
    EXPECT_FALSE(comp::FileExists(folder_ + "to file.lnk"));
    EXPECT_TRUE(comp::FileExists(folder_ + "file.txt"));  // not the shortcut's target
    face.DeleteLinkFile(Item("tree"));
    EXPECT_FALSE(comp::DirectoryExists(folder_ + "tree"));
    face.DeleteLinkFile(nullptr);
    EXPECT_EQ(face.Links.size(), 3u);  // records stay until the re-scan

    // Names that would reach the face folder itself or above are refused.
    for (const char* name : {"", ".", ".."}) {
        TLinkRecord odd;
        odd.FileName = name;
        odd.Kind = lkFolder;
        face.DeleteLinkFile(&odd);
        EXPECT_TRUE(comp::FileExists(folder_ + "file.txt")) << "name [" << name << "]";
    }
    face.Refresh();
    EXPECT_EQ(Names(), (std::vector<std::string>{"file.txt"}));
}

namespace {

// The host system's name of a path, through the platform's own conversion; "" when there is none.
std::string HostPath(const std::string& path) {
    using UnixName = char*(CDECL*)(LPCWSTR);
    const auto unixName =
        reinterpret_cast<UnixName>(GetProcAddress(GetModuleHandleA("kernel32.dll"), "wine_get_unix_file_name"));
    if (!unixName) return "";
    const std::wstring wide(path.begin(), path.end());
    char* name = unixName(wide.c_str());
    const std::string result = name ? name : "";
    HeapFree(GetProcessHeap(), 0, name);
    return result;
}

// Runs a host program (the platform's handle of one does not wait for its end: |done| tells).
void RunHost(const std::string& command, const std::function<bool()>& done) {
    testing_support::RunProgram(command, 10000);
    PumpUntil(done, kGenerous);
}

// Folder links made the way the platform here can: symbolic links of the host system, which it shows
// as folders with the reparse-point attribute (and cannot remove itself). Removed again at the end.
class FolderLinks {
public:
    ~FolderLinks() {
        for (const std::string& link : links_)
            RunHost("/bin/rm -f \"" + HostPath(link) + "\"",
                    [&link] { return GetFileAttributesA(link.c_str()) == INVALID_FILE_ATTRIBUTES; });
    }
    // False when the link could not be made.
    bool Make(const std::string& link, const std::string& target) {
        const std::string hostLink = HostPath(link), hostTarget = HostPath(target);
        if (hostLink.empty() || hostTarget.empty()) return false;
        links_.push_back(link);
        RunHost("/bin/ln -s \"" + hostTarget + "\" \"" + hostLink + "\"",
                [&link] { return GetFileAttributesA(link.c_str()) != INVALID_FILE_ATTRIBUTES; });
        const DWORD attributes = GetFileAttributesA(link.c_str());
        return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_REPARSE_POINT);
    }

private:
    std::vector<std::string> links_;
};

}  // namespace

TEST_F(FaceTest, DeletingAFolderItemNeverFollowsALinkOutOfTheFace) {
    const std::string outside = data_.Path() + "outside";
    comp::ForceDirectories(outside);
    Touch(outside + "\\precious.txt");
    comp::ForceDirectories(folder_ + "tree");
    Touch(folder_ + "tree\\own.txt");
    FolderLinks links;
    if (!links.Make(folder_ + "linked", outside) || !links.Make(folder_ + "tree\\escape", outside))
        GTEST_SKIP() << "no folder links on this platform";
    TGranDesktop& face = MakeFace();
    ASSERT_NE(Item("linked"), nullptr);
    EXPECT_EQ(Item("linked")->Kind, lkFolder);
    face.DeleteLinkFile(Item("linked"));
    face.DeleteLinkFile(Item("tree"));
    EXPECT_TRUE(comp::FileExists(outside + "\\precious.txt"));
    EXPECT_FALSE(comp::FileExists(folder_ + "tree\\own.txt"));
    // (The platform here removes no host link, so the links themselves stay.)
}

TEST_F(FaceTest, AnOverfullFaceNeitherDrawsNorFindsItsOverflowItems) {
    for (int i = 0; i < 50; ++i) Touch(folder_ + "item" + std::string(i < 10 ? "0" : "") + std::to_string(i) + ".txt");
    TGranDesktop& face = MakeFace();
    ASSERT_EQ(face.Links.size(), 50u);
    TLinkRecord* last = Item("item49.txt");
    ASSERT_NE(last, nullptr);
    EXPECT_EQ((TCell{last->Column, last->Row}), (TCell{7, 0}));
    EXPECT_EQ(face.LinkAtCell(TCell{7, 0}), nullptr);
    EXPECT_EQ(face.IconCellAt(POINT{7 * 70 + 30, 20}), kNoCell);
    EXPECT_EQ(face.LinkAtCell(TCell{6, 6}), Item("item48.txt"));
    // Nothing of it reaches the strip right of the grid.
    EXPECT_EQ(Differing(490, 0, 22, 70, kDefaultBack), 0);
    // A new file in a full face is not shown.
    Touch(folder_ + "late.txt");
    face.Refresh();
    EXPECT_EQ(Item("late.txt"), nullptr);
    EXPECT_EQ(face.Links.size(), 50u);
}

TEST_F(FaceTest, SortingArrangesRedrawsAndClearsTheSelection) {
    for (const char* name : {"b.txt", "Zeta.txt", "a.doc"}) Touch(folder_ + name);
    TGranDesktop& face = MakeFace();
    face.SelectLink(Item("b.txt"));
    face.SortLinks(kSortName);
    EXPECT_EQ(Names(), (std::vector<std::string>{"Zeta.txt", "a.doc", "b.txt"}));
    for (int i = 0; i < 3; ++i) {
        EXPECT_EQ((TCell{face.Links[i]->Column, face.Links[i]->Row}), (TCell{0, i}));
        EXPECT_GT(IconInk(*face.Links[i]), 100);
        EXPECT_EQ(Highlight(*face.Links[i]), 0);
    }
    EXPECT_EQ(face.Selected, nullptr);
    face.SortLinks(kSortType);
    EXPECT_EQ(Names(), (std::vector<std::string>{"a.doc", "Zeta.txt", "b.txt"}));
    face.Links[0]->Column = 5;
    face.SortLinks(4);  // no such key: the order stays, the cells are arranged again
    EXPECT_EQ(Names(), (std::vector<std::string>{"a.doc", "Zeta.txt", "b.txt"}));
    EXPECT_EQ(face.Links[0]->Column, 0);
}

TEST_F(FaceTest, NewParametersReArrangeOnlyWhenTheTextureSizeChanges) {
    for (int i = 0; i < 12; ++i) Touch(folder_ + "f" + std::string(i < 10 ? "0" : "") + std::to_string(i) + ".txt");
    TGranDesktop& face = MakeFace();
    face.SavePositions();
    const std::string saved = ReadWholeFile(ini_);
    TLinkRecord* first = Item("f00.txt");
    first->Column = 6;
    first->Row = 6;
    face.SetParams(512, 512, kPicCenter, RGB(0, 0, 255), "");
    EXPECT_EQ((TCell{first->Column, first->Row}), (TCell{6, 6}));
    EXPECT_EQ(ReadWholeFile(ini_), saved);  // the layout file is not written: f00 is still saved at (0, 0)
    EXPECT_EQ(face.BackPicPos, kPicCenter);
    EXPECT_EQ(Texel(300, 500), RGB(0, 0, 255));
    EXPECT_GT(IconInk(*first, RGB(0, 0, 255)), 100);

    face.SetParams(256, 256, 9, RGB(0, 255, 0), "");
    EXPECT_EQ(face.TextureWidth, 256);
    EXPECT_EQ(face.Columns, 3);
    EXPECT_EQ(face.BackPicPos, kPicCenter);  // an unknown position leaves it
    EXPECT_EQ(Texel(250, 250), RGB(0, 255, 0));
    // The saved 7 x 7 layout does not fit: everything is arranged anew, nine items drawn.
    EXPECT_EQ((TCell{face.Links[0]->Column, face.Links[0]->Row}), (TCell{0, 0}));
    EXPECT_EQ((TCell{face.Links[9]->Column, face.Links[9]->Row}), (TCell{3, 0}));
    EXPECT_EQ(face.LinkAtCell(TCell{3, 0}), nullptr);
}

TEST_F(FaceTest, AShortcutMovedInFromAnotherFaceShowsItsIconAtOnce) {
    const std::string otherFolder = data_.Path() + "Desktops\\2\\";
    comp::ForceDirectories(otherFolder);
    ASSERT_TRUE(testing_support::MakeShortcut(otherFolder + "Editor.lnk", "C:\\windows\\notepad.exe"));
    TCubeQuads quads;
    TCubeNormals normals;
    BuildCube(quads, normals);
    auto other = std::make_unique<TGranDesktop>(otherFolder, data_.Path() + "Desktops\\2.ini", g_.D3D.Device,
                                                normals[2], quads[2][0], quads[2][1], quads[2][2], quads[2][3],
                                                nullptr, 2);
    ASSERT_EQ(other->Links.size(), 1u);
    TGranDesktop& face = MakeFace();

    // As a drop between faces does it: the file first, then the record, its cell, the selection.
    ASSERT_TRUE(MoveFileExA((otherFolder + "Editor.lnk").c_str(), (folder_ + "Editor.lnk").c_str(), 0));
    TLinkRecord* moved = other->Links[0].get();
    face.AdoptLink(std::move(other->Links[0]));
    other->Links.clear();
    moved->Column = 3;
    moved->Row = 2;
    face.SelectLink(moved);
    EXPECT_EQ(moved->Path, folder_ + "Editor.lnk");
    EXPECT_GT(IconInk(*moved), 100);
}

namespace {

// A file whose name ends with a dot, made past the platform's name rules: the listing shows it, but no
// look-up by that name finds it (the dot is dropped from every path that is looked up), as for an entry
// that vanished right after the listing. Removed again at the end.
class UnfindableFile {
public:
    explicit UnfindableFile(const std::string& folder, const std::string& name)
        : path_(L"\\\\?\\" + std::wstring(folder.begin(), folder.end()) + std::wstring(name.begin(), name.end())) {
        const HANDLE h = CreateFileW(path_.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
        if (h != INVALID_HANDLE_VALUE) CloseHandle(h);
    }
    ~UnfindableFile() { DeleteFileW(path_.c_str()); }

private:
    std::wstring path_;
};

// Every GDI object the process may still make, taken until freed: drawing into a bitmap fails meanwhile.
class GdiExhaustion {
public:
    GdiExhaustion() {
        while (objects_.size() < 1000000) {
            const HBITMAP b = CreateBitmap(1, 1, 1, 1, nullptr);
            if (!b) break;
            objects_.push_back(b);
        }
    }
    ~GdiExhaustion() { Free(); }
    void Free() {
        for (HGDIOBJ o : objects_) DeleteObject(o);
        objects_.clear();
    }

private:
    std::vector<HGDIOBJ> objects_;
};

}  // namespace

TEST_F(FaceTest, AChangedEntryThatVanishedAfterTheListingLeavesNoGhost) {
    TGranDesktop& face = MakeFace();
    const UnfindableFile ghost(folder_, "ghost.");
    // The item as an earlier scan saw the entry: drawn on its cell, with another time.
    auto record = std::make_unique<TLinkRecord>();
    record->FileName = "ghost.";
    record->Kind = lkFile;
    record->Caption = "ghost";
    record->Path = folder_ + "ghost.";
    record->Target = record->Path;
    record->Column = 2;
    record->Row = 3;
    record->Time = 1;
    const TLinkRecord cell = *record;
    face.DrawLink(record.get(), dmNormal);
    face.Links.push_back(std::move(record));
    ASSERT_GT(CaptionInk(cell), 10);

    face.Refresh();
    EXPECT_TRUE(face.Links.empty());
    EXPECT_EQ(IconInk(cell), 0);
    EXPECT_EQ(CaptionInk(cell), 0);
}

TEST_F(FaceTest, ADrawingFailureDuringAReScanLeavesTheItemsToTheNextTick) {
    Touch(folder_ + "changed.txt");
    TGranDesktop& face = MakeFace();
    const TLinkRecord before = *Item("changed.txt");
    AgeFile(folder_ + "changed.txt");
    Touch(folder_ + "new.txt");

    GdiExhaustion exhaustion;
    EXPECT_NO_THROW(face.Refresh());
    exhaustion.Free();
    // Nothing could be drawn: the changed item keeps its record and cell, and the next tick re-scans.
    ASSERT_NE(Item("changed.txt"), nullptr);
    EXPECT_EQ(Item("changed.txt")->Time, before.Time);
    EXPECT_TRUE(face.NeedsRefresh.load());

    face.Refresh();
    EXPECT_FALSE(face.NeedsRefresh.load());
    ASSERT_EQ(Names(), (std::vector<std::string>{"changed.txt", "new.txt"}));
    const TLinkRecord* changed = Item("changed.txt");
    EXPECT_NE(changed->Time, before.Time);
    EXPECT_EQ((TCell{changed->Column, changed->Row}), (TCell{before.Column, before.Row}));
    EXPECT_GT(IconInk(*changed), 100);
    EXPECT_GT(IconInk(*Item("new.txt")), 100);
}

TEST_F(FaceTest, AFolderOutOfReachShowsNoItemsAndItsItemsTakeTheirSavedCellsWhenItIsBack) {
    for (const char* name : {"a.txt", "b.txt"}) Touch(folder_ + name);
    TGranDesktop& face = MakeFace();
    faces_[1] = &face;
    Item("a.txt")->Column = 4;
    Item("a.txt")->Row = 2;
    Item("b.txt")->Column = 6;
    Item("b.txt")->Row = 6;
    face.DrawAllLinks();
    face.Refresh();  // saves the cells
    const std::string layout = ReadWholeFile(ini_);
    const TLinkRecord b = *Item("b.txt");
    const uint32_t aTime = Item("a.txt")->Time;

    // Moved away, as a delete to the Recycle Bin does (the watcher goes on watching it under its new name
    // and tells of no change): the face shows none of its items, lists again at every tick, and writes
    // none of them into the layout file, also when it is freed.
    const std::string folder = comp::ExcludeTrailingBackslash(folder_);
    const std::string away = data_.Path() + "Desktops\\away";
    ASSERT_TRUE(MoveFileA(folder.c_str(), away.c_str()));
    face.Refresh();
    EXPECT_TRUE(face.Links.empty());
    EXPECT_EQ(IconInk(b), 0);
    EXPECT_EQ(CaptionInk(b), 0);
    EXPECT_TRUE(face.NeedsRefresh.load());
    face.SavePositions();  // as freeing the face does
    EXPECT_EQ(ReadWholeFile(ini_), layout);

    // Back, with a change made meanwhile: the monitor tick lists it again without a notification, and
    // every item takes its saved cell.
    AgeFile(away + "\\a.txt");
    ASSERT_TRUE(MoveFileA(away.c_str(), folder.c_str()));
    RefreshChangedFaces(g_);
    faces_[1] = nullptr;
    EXPECT_FALSE(face.NeedsRefresh.load());
    ASSERT_EQ(face.Links.size(), 2u);
    EXPECT_NE(Item("a.txt")->Time, aTime);
    EXPECT_EQ((TCell{Item("a.txt")->Column, Item("a.txt")->Row}), (TCell{4, 2}));
    EXPECT_EQ((TCell{Item("b.txt")->Column, Item("b.txt")->Row}), (TCell{6, 6}));
    EXPECT_GT(IconInk(*Item("b.txt")), 100);
}

TEST_F(FaceTest, AFaceMadeWhileItsFolderIsOutOfReachTakesItsSavedCellsOnceTheFolderIsBack) {
    Touch(folder_ + "kept.txt");
    WriteWholeFile(ini_, "[data]\r\ncount=1\r\nlink0=kept.txt\r\nx0=3\r\ny0=4\r\n");
    const std::string folder = comp::ExcludeTrailingBackslash(folder_);
    const std::string away = data_.Path() + "Desktops\\away";
    ASSERT_TRUE(MoveFileA(folder.c_str(), away.c_str()));
    Touch(folder);  // a file in its place: the face can't make the folder either
    const auto savedCell = [this] {
        const comp::IniFile ini(ini_);
        return std::make_tuple(ini.ReadInteger("data", "count", -1), ini.ReadString("data", "link0", ""),
                               ini.ReadInteger("data", "x0", -1), ini.ReadInteger("data", "y0", -1));
    };

    // Given a new texture size and freed without ever seeing its folder, the face leaves the saved cells
    // alone.
    MakeFace();
    EXPECT_TRUE(face_->Links.empty());
    EXPECT_TRUE(face_->NeedsRefresh.load());
    face_->SetParams(1024, 1024, kPicStretch, RGB(0, 255, 0), "");
    EXPECT_EQ(savedCell(), std::make_tuple(1, std::string("kept.txt"), 3, 4));
    face_.reset();
    EXPECT_EQ(savedCell(), std::make_tuple(1, std::string("kept.txt"), 3, 4));

    TGranDesktop& face = MakeFace();
    face.Refresh();
    EXPECT_TRUE(face.Links.empty());
    EXPECT_TRUE(face.NeedsRefresh.load());
    ASSERT_TRUE(DeleteFileA(folder.c_str()));
    ASSERT_TRUE(MoveFileA(away.c_str(), folder.c_str()));
    face.Refresh();
    EXPECT_FALSE(face.NeedsRefresh.load());
    ASSERT_NE(Item("kept.txt"), nullptr);
    EXPECT_EQ((TCell{Item("kept.txt")->Column, Item("kept.txt")->Row}), (TCell{3, 4}));
    EXPECT_GT(IconInk(*Item("kept.txt")), 100);
    EXPECT_EQ(savedCell(), std::make_tuple(1, std::string("kept.txt"), 3, 4));
}

TEST_F(FaceTest, CaptionsShowTheLettersOfTheSystemCodePage) {
    const std::string name = "R\xE9sum\xE9 caf\xE9";  // in the system's code page
    Touch(folder_ + name + ".txt");
    MakeFace();
    const TLinkRecord* item = Item(name + ".txt");
    ASSERT_NE(item, nullptr);

    // The same caption drawn from its Unicode letters, "Tahoma" at 8 points, black on white over the
    // face's colour, in the caption's 68 x 26 area.
    wchar_t wide[64] = {};
    const int length = MultiByteToWideChar(CP_ACP, 0, name.c_str(), -1, wide, 64) - 1;
    comp::Bitmap expected(68, 26);
    expected.Fill(kDefaultBack);
    HDC screen = GetDC(nullptr);
    LOGFONTW lf{};
    lf.lfHeight = -MulDiv(8, GetDeviceCaps(screen, LOGPIXELSY), 72);
    ReleaseDC(nullptr, screen);
    lf.lfWeight = FW_NORMAL;
    lf.lfCharSet = DEFAULT_CHARSET;
    lstrcpyW(lf.lfFaceName, L"Tahoma");
    const HFONT font = CreateFontIndirectW(&lf);
    HDC dc = expected.Canvas();
    const HGDIOBJ old = SelectObject(dc, font);
    SetTextColor(dc, RGB(0, 0, 0));
    SetBkColor(dc, RGB(255, 255, 255));
    SetBkMode(dc, OPAQUE);
    RECT area{0, 0, 68, 26};
    DrawTextExW(dc, wide, length, &area, DT_CENTER | DT_WORDBREAK | DT_END_ELLIPSIS | DT_WORD_ELLIPSIS, nullptr);
    SelectObject(dc, old);
    DeleteObject(font);

    int differing = 0, ink = 0;
    for (int y = 0; y < 26; ++y)
        for (int x = 0; x < 68; ++x) {
            const COLORREF texel = Texel(item->Column * 70 + 1 + x, item->Row * 70 + 43 + y);
            if (!ColoursNear(texel, expected.Pixel(x, y), 2)) ++differing;
            if (!ColoursNear(texel, kDefaultBack, 2)) ++ink;
        }
    EXPECT_GT(ink, 40);
    EXPECT_EQ(differing, 0);
}

// ---- The face's grid and its texture

TEST_F(FaceTest, ASmallerTextureTakesTheGridAlongThoughThePictureCannotBeMade) {
    for (int i = 0; i < 12; ++i) Touch(folder_ + "f" + std::string(i < 10 ? "0" : "") + std::to_string(i) + ".txt");
    TGranDesktop& face = MakeFace();
    // No bitmap can be made: the picture fails after the texture has taken its new size.
    GdiExhaustion exhaustion;
    EXPECT_ANY_THROW(face.SetParams(256, 256, kPicStretch, RGB(0, 255, 0), ""));
    exhaustion.Free();
    ASSERT_NE(face.Texture, nullptr);
    ASSERT_EQ(face.TextureWidth, 256);
    EXPECT_EQ(face.Columns, 3);
    EXPECT_EQ(face.Rows, 3);
    // The items stand on the new grid: every cell drawn lies inside the new texture.
    EXPECT_NO_THROW(face.DrawAllLinks());
}

namespace {
// One re-scan while the face's texture can't be written: it must not raise.
void RefreshWithTextureHeld(TGranDesktop& face) {
    const HeldTextureLock held(face.Texture);
    ASSERT_TRUE(held.Held());
    EXPECT_NO_THROW(face.Refresh());
}
}  // namespace

TEST_F(FaceTest, CellsThatCannotReachTheTextureLeaveTheirItemsToTheNextReScan) {
    Touch(folder_ + "changed.txt");
    Touch(folder_ + "gone.txt");
    TGranDesktop& face = MakeFace();
    const TLinkRecord changed = *Item("changed.txt");
    const TLinkRecord gone = *Item("gone.txt");
    AgeFile(folder_ + "changed.txt");
    ASSERT_TRUE(DeleteFileA((folder_ + "gone.txt").c_str()));

    RefreshWithTextureHeld(face);
    // The deleted item's icon could not be erased: its item stays with it. The changed item could not
    // be drawn anew: its old record stays. The next tick tries again.
    ASSERT_NE(Item("gone.txt"), nullptr);
    EXPECT_GT(IconInk(gone), 100);
    ASSERT_NE(Item("changed.txt"), nullptr);
    EXPECT_EQ(Item("changed.txt")->Time, changed.Time);
    EXPECT_TRUE(face.NeedsRefresh.load());

    face.Refresh();
    EXPECT_EQ(Item("gone.txt"), nullptr);
    EXPECT_EQ(IconInk(gone), 0);
    ASSERT_NE(Item("changed.txt"), nullptr);
    EXPECT_NE(Item("changed.txt")->Time, changed.Time);
}

TEST_F(FaceTest, CellsThatCannotReachTheTextureWhileTheFolderGoesAndComesBackAreLeftToTheNextTick) {
    Touch(folder_ + "kept.txt");
    TGranDesktop& face = MakeFace();
    const TLinkRecord kept = *Item("kept.txt");
    const std::string folder = comp::ExcludeTrailingBackslash(folder_);
    const std::string away = data_.Path() + "Desktops\\away";

    // Gone, its cell can't be erased: the item stays with it until the next tick clears it.
    ASSERT_TRUE(MoveFileA(folder.c_str(), away.c_str()));
    RefreshWithTextureHeld(face);
    ASSERT_NE(Item("kept.txt"), nullptr);
    EXPECT_GT(IconInk(kept), 100);
    face.Refresh();
    EXPECT_TRUE(face.Links.empty());
    EXPECT_EQ(IconInk(kept), 0);

    // Back, its cell can't be drawn: the item is back on its cell and the next tick draws it.
    ASSERT_TRUE(MoveFileA(away.c_str(), folder.c_str()));
    RefreshWithTextureHeld(face);
    ASSERT_NE(Item("kept.txt"), nullptr);
    EXPECT_EQ(IconInk(kept), 0);
    EXPECT_TRUE(face.NeedsRefresh.load());
    face.Refresh();
    EXPECT_FALSE(face.NeedsRefresh.load());
    ASSERT_NE(Item("kept.txt"), nullptr);
    EXPECT_EQ((TCell{Item("kept.txt")->Column, Item("kept.txt")->Row}), (TCell{kept.Column, kept.Row}));
    EXPECT_GT(IconInk(kept), 100);
}
