// Shell links, item icons and folder deletion.
#include "control/uShellLinkEx.h"

#include <objbase.h>
#include <shlobj.h>
#include <shellapi.h>

#include <cstring>

#include "components/comptr.h"
#include "components/exceptions.h"
#include "components/folder_search.h"
#include "components/module.h"
#include "components/paths.h"
#include "shared/uMM.h"

namespace {

constexpr DWORD kResolveFlags = 3;  // SLR_NO_UI | SLR_ANY_MATCH
constexpr int kTextBuffer = 260;
constexpr UINT kDisplayNameFlags = SHGFI_PIDL | SHGFI_DISPLAYNAME;
constexpr UINT kIconLocationFlags = SHGFI_PIDL | SHGFI_SHELLICONSIZE | SHGFI_ICONLOCATION;
constexpr UINT kIconFlags = SHGFI_PIDL | SHGFI_ICON;
constexpr int kClosedFolderIcon = 3;
constexpr int kDocumentIcon = 0;

std::wstring Wide(const std::string& text) {
    const int n = MultiByteToWideChar(CP_ACP, 0, text.c_str(), -1, nullptr, 0);
    std::wstring w(n > 0 ? static_cast<size_t>(n) : 1u, L'\0');
    if (n > 0) MultiByteToWideChar(CP_ACP, 0, text.c_str(), -1, &w[0], n);
    return w;
}

// The shell link object with |path| loaded and resolved without any user interface.
comp::ComPtr<IShellLinkA> OpenShellLink(const std::string& path) {
    comp::ComPtr<IShellLinkA> link;
    comp::CheckHResult(
        CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkA, link.ReceiveVoid()),
        "Shell link object");
    comp::ComPtr<IPersistFile> file = link.As<IPersistFile>(IID_IPersistFile);
    if (!file) throw comp::EComError("Shell link file", E_NOINTERFACE);
    comp::CheckHResult(file->Load(Wide(path).c_str(), STGM_READ), "Shell link load");
    comp::CheckHResult(link->Resolve(nullptr, kResolveFlags), "Shell link resolve");
    return link;
}

// The target's item ID list, freed with the object; empty when the link has none.
class IdList {
public:
    explicit IdList(IShellLinkA* link) {
        if (link->GetIDList(&list_) != S_OK) list_ = nullptr;
    }
    ~IdList() { CoTaskMemFree(list_); }
    IdList(const IdList&) = delete;
    IdList& operator=(const IdList&) = delete;
    LPCSTR AsPath() const { return reinterpret_cast<LPCSTR>(list_); }
    bool Empty() const { return list_ == nullptr; }

private:
    LPITEMIDLIST list_ = nullptr;
};

// Text from a platform buffer of kTextBuffer characters, up to its zero, cut to the record's length.
std::string Text(const char* buffer) { return CutText(std::string(buffer, strnlen(buffer, kTextBuffer))); }

std::string LowerCase(std::string s) {
    for (char& c : s)
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    return s;
}

HICON ShellIcon(int index) { return ExtractIconA(comp::ModuleInstance(), "Shell32.dll", static_cast<UINT>(index)); }

void ReadLinkData(const std::string& path, const TDirEntry& entry, TLinkRecord& record) {
    MMBuffer buffer(kTextBuffer);
    char* text = buffer.Data();
    const auto clear = [text] { text[0] = '\0'; };
    record.Path = CutText(path);
    comp::ComPtr<IShellLinkA> link = OpenShellLink(path);
    record.Kind = lkShortcut;
    WIN32_FIND_DATAA found{};
    clear();
    comp::CheckHResult(link->GetPath(text, kTextBuffer, &found, SLGP_UNCPRIORITY), "Shell link path");
    record.Target = Text(text);
    clear();
    comp::CheckHResult(link->GetArguments(text, kTextBuffer), "Shell link arguments");
    record.Arguments = Text(text);
    clear();
    comp::CheckHResult(link->GetDescription(text, kTextBuffer), "Shell link description");
    record.Description = Text(text);
    clear();
    comp::CheckHResult(link->GetWorkingDirectory(text, kTextBuffer), "Shell link folder");
    record.WorkDir = Text(text);
    clear();
    int iconIndex = 0;
    comp::CheckHResult(link->GetIconLocation(text, kTextBuffer, &iconIndex), "Shell link icon");
    record.IconLocation = Text(text);
    record.IconIndex = iconIndex;
    int showCmd = 0;
    comp::CheckHResult(link->GetShowCmd(&showCmd), "Shell link show command");
    record.ShowCmd = showCmd;
    WORD hotKey = 0;
    comp::CheckHResult(link->GetHotkey(&hotKey), "Shell link hot key");
    record.HotKey = hotKey;
    const std::string name = comp::ExtractFileName(path);
    record.Caption = CutText(NameWithoutExtension(name));
    record.FileName = CutText(name);
    record.Size = entry.Size;
    record.Time = entry.Time;

    // What the shell says of the target; where it says nothing, the values above stay.
    const IdList target(link.Get());
    if (target.Empty()) return;
    SHFILEINFOA info{};
    if (SHGetFileInfoA(target.AsPath(), 0, &info, sizeof info, kDisplayNameFlags) && info.szDisplayName[0])
        record.Caption = Text(info.szDisplayName);
    info = SHFILEINFOA{};
    if (SHGetFileInfoA(target.AsPath(), 0, &info, sizeof info, kIconLocationFlags) && info.szDisplayName[0]) {
        record.IconLocation = Text(info.szDisplayName);
        record.IconIndex = info.iIcon;
    }
}

}  // namespace

void ReadShellLink(const std::string& path, const TDirEntry& entry, TLinkRecord& record) {
    try {
        ReadLinkData(path, entry, record);
    } catch (const std::exception&) {
        // An unreadable shortcut keeps what was read before the failure.
    }
}

void GetLinkIcon(const TLinkRecord& record, comp::Icon& icon) {
    icon.Reset();
    if (record.Kind == lkFolder) {
        icon.Reset(ShellIcon(kClosedFolderIcon));
        return;
    }
    if (LowerCase(comp::ExtractFileExt(record.Path)) != ".lnk") {
        const std::string file = record.IconLocation.empty() ? record.Target : record.IconLocation;
        char path[MAX_PATH] = {};
        const DWORD n = GetShortPathNameA(file.c_str(), path, MAX_PATH);
        if (n > 0 && n < MAX_PATH && comp::FileExists(path)) {
            // The call rewrites the path and the index it is given.
            WORD index = static_cast<WORD>(record.IconIndex & 0xFFFF);
            icon.Reset(ExtractAssociatedIconA(comp::ModuleInstance(), path, &index));
        }
        // No icon of its own (a missing file, or a document the shell finds no icon for): the
        // default document icon.
        if (icon.Empty()) icon.Reset(ShellIcon(kDocumentIcon));
        return;
    }
    try {
        comp::ComPtr<IShellLinkA> link = OpenShellLink(record.Path);
        const IdList target(link.Get());
        if (target.Empty()) return;
        SHFILEINFOA info{};
        if (SHGetFileInfoA(target.AsPath(), 0, &info, sizeof info, kIconFlags)) icon.Reset(info.hIcon);
    } catch (const std::exception&) {
        // The cell shows its background only.
    }
}

bool IsFolderToEnter(DWORD attributes) {
    return (attributes & FILE_ATTRIBUTE_DIRECTORY) && !(attributes & FILE_ATTRIBUTE_REPARSE_POINT);
}

void DeleteDirTree(const std::string& folder) {
    const DWORD own = GetFileAttributesA(folder.c_str());
    if (own != INVALID_FILE_ATTRIBUTES && (own & FILE_ATTRIBUTE_DIRECTORY) && !IsFolderToEnter(own)) {
        // A link to a folder elsewhere: only the link goes.
        RemoveDirectoryA(folder.c_str());
        return;
    }
    for (comp::FolderSearch listing(comp::JoinPath(folder, "*.*")); listing.Found(); listing.Next()) {
        const std::string full = comp::JoinPath(folder, listing.Name());
        if (!listing.IsFolder()) DeleteFileA(full.c_str());
        else if (IsFolderToEnter(listing.Entry().dwFileAttributes)) DeleteDirTree(full);
        else RemoveDirectoryA(full.c_str());
    }
    RemoveDirectoryA(folder.c_str());
}
