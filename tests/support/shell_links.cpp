// Shortcut files through IShellLinkA and IPersistFile.
#include "shell_links.h"

#include <windows.h>
#include <objbase.h>
#include <shlobj.h>

#include <vector>

namespace testing_support {

bool MakeShortcut(const std::string& linkFile, const std::string& target, const std::string& description) {
    IShellLinkA* link = nullptr;
    if (FAILED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkA,
                                reinterpret_cast<void**>(&link))))
        return false;
    bool ok = SUCCEEDED(link->SetPath(target.c_str()));
    if (ok && !description.empty()) ok = SUCCEEDED(link->SetDescription(description.c_str()));
    IPersistFile* file = nullptr;
    if (ok) ok = SUCCEEDED(link->QueryInterface(IID_IPersistFile, reinterpret_cast<void**>(&file)));
    if (ok) {
        std::vector<wchar_t> wide(linkFile.size() + 1);
        MultiByteToWideChar(CP_ACP, 0, linkFile.c_str(), -1, wide.data(), static_cast<int>(wide.size()));
        ok = SUCCEEDED(file->Save(wide.data(), TRUE));
        file->Release();
    }
    link->Release();
    return ok;
}

}  // namespace testing_support
