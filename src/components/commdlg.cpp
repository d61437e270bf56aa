// Common dialogs: open file (with a picture preview) and colour.
#include "commdlg.h"

#include "exceptions.h"
#include "paths.h"
#include "picture.h"
#include "window.h"

#include <algorithm>
#include <cstring>
#include <vector>

namespace comp {

namespace {

// "Description|pattern|..." as the system's list of zero-terminated pairs.
std::string SystemFilter(const std::string& filter) {
    std::string out = filter;
    std::replace(out.begin(), out.end(), '|', '\0');
    out.push_back('\0');
    out.push_back('\0');
    return out;
}

}  // namespace

bool OpenDialog::Execute(HWND owner) {
    // Room for far longer paths than a file name field holds: the caller sees the whole choice.
    std::vector<char> buffer(32768, '\0');
    std::memcpy(buffer.data(), FileName.c_str(), std::min(FileName.size(), buffer.size() - 1));
    const std::string filter = SystemFilter(Filter);
    OPENFILENAMEA ofn = {};
    ofn.lStructSize = sizeof ofn;
    ofn.hwndOwner = owner;
    ofn.lpstrFilter = Filter.empty() ? nullptr : filter.c_str();
    ofn.nFilterIndex = 1;
    ofn.lpstrFile = buffer.data();
    ofn.nMaxFile = static_cast<DWORD>(buffer.size());
    ofn.lpstrDefExt = DefaultExt.empty() ? nullptr : DefaultExt.c_str();
    ofn.Flags = OFN_EXPLORER | OFN_HIDEREADONLY | OFN_ENABLESIZING;
    Prepare(ofn);
    if (!GetOpenFileNameA(&ofn)) return false;
    FileName = buffer.data();
    return true;
}

// ---- the picture preview pane

namespace {

constexpr int kStc32 = 0x045f;     // where the standard controls go
constexpr int kPreviewId = 0x5001;  // the picture
constexpr const char* kPreviewBitmap = "comp.PreviewBitmap";

// A dialog template in memory, written word by word.
class TemplateWriter {
public:
    void Word(WORD w) { words_.push_back(w); }
    void DWord(DWORD d) {
        Word(LOWORD(d));
        Word(HIWORD(d));
    }
    void Text(const wchar_t* text) {
        for (; *text; ++text) Word(static_cast<WORD>(*text));
        Word(0);
    }
    void AlignDWord() {
        if (words_.size() % 2) Word(0);
    }
    // One control: class given by its atom (0x0082 static).
    void Item(DWORD style, short x, short y, short cx, short cy, WORD id, WORD classAtom) {
        AlignDWord();
        DWord(style | WS_CHILD | WS_VISIBLE);
        DWord(0);  // extended style
        Word(static_cast<WORD>(x));
        Word(static_cast<WORD>(y));
        Word(static_cast<WORD>(cx));
        Word(static_cast<WORD>(cy));
        Word(id);
        Word(0xFFFF);
        Word(classAtom);
        Word(0);  // no text
        Word(0);  // no creation data
    }
    const std::vector<WORD>& Words() const { return words_; }

private:
    std::vector<WORD> words_;
};

HGLOBAL MakePreviewTemplate() {
    TemplateWriter t;
    t.DWord(WS_CHILD | WS_CLIPSIBLINGS | DS_3DLOOK | DS_CONTROL);
    t.DWord(0);  // extended style
    t.Word(2);   // controls
    t.Word(0);
    t.Word(0);
    t.Word(110);  // width and height in dialog units: room for the pane at the right
    t.Word(110);
    t.Word(0);  // no menu
    t.Word(0);  // the standard class
    t.Word(0);  // no title
    t.Item(0, 0, 0, 4, 4, kStc32, 0x0082);
    t.Item(SS_BITMAP | SS_CENTERIMAGE | SS_SUNKEN, 8, 14, 96, 90, kPreviewId, 0x0082);
    const size_t bytes = t.Words().size() * sizeof(WORD);
    HGLOBAL memory = GlobalAlloc(GMEM_FIXED | GMEM_ZEROINIT, bytes);
    if (!memory) throw EOutOfMemory();
    std::memcpy(reinterpret_cast<void*>(memory), t.Words().data(), bytes);
    return memory;
}

void SetPreviewBitmap(HWND pane, HBITMAP bitmap) {
    HWND picture = GetDlgItem(pane, kPreviewId);
    HBITMAP old = static_cast<HBITMAP>(GetPropA(pane, kPreviewBitmap));
    if (bitmap) SetPropA(pane, kPreviewBitmap, bitmap);
    else RemovePropA(pane, kPreviewBitmap);
    if (picture) {
        HGDIOBJ shown = reinterpret_cast<HGDIOBJ>(
            SendMessageA(picture, STM_SETIMAGE, IMAGE_BITMAP, reinterpret_cast<LPARAM>(bitmap)));
        if (shown && shown != old && shown != bitmap) DeleteObject(shown);
    }
    if (old && old != bitmap) DeleteObject(old);
}

// The picture scaled to fit a box, keeping its proportions.
HBITMAP FittedBitmap(const Bitmap& picture, int boxWidth, int boxHeight) {
    if (picture.Empty() || boxWidth <= 0 || boxHeight <= 0) return nullptr;
    int w = boxWidth, h = static_cast<int>(static_cast<long long>(picture.Height()) * boxWidth / picture.Width());
    if (h > boxHeight) {
        h = boxHeight;
        w = static_cast<int>(static_cast<long long>(picture.Width()) * boxHeight / picture.Height());
    }
    w = std::max(w, 1);
    h = std::max(h, 1);
    return StretchedScreenBitmap(picture, w, h);
}

}  // namespace

OpenPictureDialog::~OpenPictureDialog() {
    if (template_) GlobalFree(template_);
}

void OpenPictureDialog::Prepare(OPENFILENAMEA& ofn) {
    if (!template_) template_ = MakePreviewTemplate();
    ofn.Flags |= OFN_ENABLEHOOK | OFN_ENABLETEMPLATEHANDLE;
    ofn.hInstance = reinterpret_cast<HINSTANCE>(template_);
    ofn.lpfnHook = &OpenPictureDialog::Hook;
}

void OpenPictureDialog::ShowPreview(HWND pane) {
    char path[MAX_PATH * 4] = {};
    LRESULT n = SendMessageA(GetParent(pane), CDM_GETFILEPATH, sizeof path, reinterpret_cast<LPARAM>(path));
    HBITMAP fitted = nullptr;
    if (n > 0 && n < static_cast<LRESULT>(sizeof path) && IsPictureFileName(path) && FileExists(path)) {
        // A picture that cannot be read shows no preview; the dialog goes on.
        Quietly([&] {
            Picture picture;
            picture.LoadFromFile(path);
            RECT box = {};
            GetClientRect(GetDlgItem(pane, kPreviewId), &box);
            fitted = FittedBitmap(picture.GetBitmap(), box.right - 4, box.bottom - 4);
        });
    }
    SetPreviewBitmap(pane, fitted);
}

UINT_PTR CALLBACK OpenPictureDialog::Hook(HWND pane, UINT msg, WPARAM, LPARAM lParam) {
    UINT_PTR result = 0;
    Quietly([&] {
        switch (msg) {
            case WM_NOTIFY: {
                const auto* header = reinterpret_cast<const OFNOTIFYA*>(lParam);
                if (header && header->hdr.code == CDN_SELCHANGE) ShowPreview(pane);
                break;
            }
            case WM_DESTROY:
                SetPreviewBitmap(pane, nullptr);
                break;
            default:
                break;
        }
    });
    return result;
}

// ---- colour dialog

bool ColorDialog::Execute(HWND owner) {
    static COLORREF custom[16] = {0xFFFFFF, 0xFFFFFF, 0xFFFFFF, 0xFFFFFF, 0xFFFFFF, 0xFFFFFF, 0xFFFFFF, 0xFFFFFF,
                                  0xFFFFFF, 0xFFFFFF, 0xFFFFFF, 0xFFFFFF, 0xFFFFFF, 0xFFFFFF, 0xFFFFFF, 0xFFFFFF};
    CHOOSECOLORA cc = {};
    cc.lStructSize = sizeof cc;
    cc.hwndOwner = owner;
    cc.rgbResult = Color & 0xFFFFFF;
    cc.lpCustColors = custom;
    cc.Flags = CC_RGBINIT | CC_ANYCOLOR | (FullOpen ? CC_FULLOPEN : 0);
    if (!ChooseColorA(&cc)) return false;
    Color = cc.rgbResult;
    return true;
}

}  // namespace comp
