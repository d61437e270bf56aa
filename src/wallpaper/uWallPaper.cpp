// Unpacking the wallpaper package, and the life of its plug-in inside the render loop.
#include "wallpaper/uWallPaper.h"

#include <fstream>
#include <vector>

#include "components/exceptions.h"
#include "components/folder_search.h"
#include "components/paths.h"
#include "components/seh_guard.h"
#include "shared/uPath.h"
#include "wallpaper/CabComps.h"

HMODULE WallpaperLib = nullptr;
TWallpaperEntryPoints WallpaperEntries;

const char* const kWallpaperFolder = "Temp\\";
const char* const kWallpaperInfoFile = "wallpaper.info";
const char* const kWallpaperLibrary = "wallpaper.dll";

namespace {

// The host's own reference to the device it handed to the plug-in, held until the plug-in is unloaded:
// the plug-in's Invalidate and Kill may still use the device after the scene let go of it.
IDirect3DDevice9* WallpaperDevice = nullptr;

std::string UnpackFolder() { return AppDataPath + kWallpaperFolder; }

// The device's world, view and projection transforms, put back when this goes out of scope.
class TSavedTransforms {
public:
    explicit TSavedTransforms(IDirect3DDevice9* device) : device_(device) {
        if (!device_) return;
        device_->GetTransform(D3DTS_WORLD, &world_);
        device_->GetTransform(D3DTS_VIEW, &view_);
        device_->GetTransform(D3DTS_PROJECTION, &projection_);
    }
    ~TSavedTransforms() {
        if (!device_) return;
        device_->SetTransform(D3DTS_WORLD, &world_);
        device_->SetTransform(D3DTS_VIEW, &view_);
        device_->SetTransform(D3DTS_PROJECTION, &projection_);
    }
    TSavedTransforms(const TSavedTransforms&) = delete;
    TSavedTransforms& operator=(const TSavedTransforms&) = delete;

private:
    IDirect3DDevice9* device_;
    D3DMATRIX world_{}, view_{}, projection_{};
};

// Runs |body| with the unpack folder as the process's current folder, then makes the application folder
// current again. The plug-in opens its own files by relative names.
template <typename F>
void InUnpackFolder(F&& body) {
    if (AppDataPath.empty()) return;  // no unpack folder: nothing was loaded either
    SetCurrentDirectoryA(UnpackFolder().c_str());
    body();
    SetCurrentDirectoryA(AppDirPath.c_str());
}

// One call into the plug-in; a structured exception from it is dropped. True when the call returned.
template <typename F>
bool PluginCall(F&& call) {
    return comp::Guard(call);
}

void RemoveInfoFile(const std::string& infoFile) {
    SetFileAttributesA(infoFile.c_str(), FILE_ATTRIBUTE_NORMAL);
    if (!DeleteFileA(infoFile.c_str()) && GetFileAttributesA(infoFile.c_str()) != INVALID_FILE_ATTRIBUTES)
        comp::RaiseLastOSError("DeleteFile(" + infoFile + ")");
}

void WriteInfoFile(const std::string& infoFile, const std::string& packagePath) {
    HANDLE file = CreateFileA(infoFile.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) comp::RaiseLastOSError("CreateFile(" + infoFile + ")");
    const std::string line = packagePath + "\r\n";
    DWORD written = 0;
    const BOOL ok = WriteFile(file, line.data(), static_cast<DWORD>(line.size()), &written, nullptr);
    const DWORD error = GetLastError();
    CloseHandle(file);
    if (!ok || written != line.size()) {
        DeleteFileA(infoFile.c_str());
        throw comp::EOSError("WriteFile(" + infoFile + ")", error);
    }
}

// Removes everything inside |folder| (a link to a folder is removed, never followed); raises for what
// can't be removed.
void RemoveFolderContents(const std::string& folder) {
    std::vector<std::string> files, folders;
    for (comp::FolderSearch search(folder + "*"); search.Found(); search.Next()) {
        const std::string name = search.Name();
        const bool isLink = (search.Entry().dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0;
        if (search.IsFolder() && !isLink) RemoveFolderContents(folder + name + "\\");
        (search.IsFolder() ? folders : files).push_back(folder + name);
    }
    for (const std::string& file : files) {
        SetFileAttributesA(file.c_str(), FILE_ATTRIBUTE_NORMAL);
        if (!DeleteFileA(file.c_str())) comp::RaiseLastOSError("DeleteFile(" + file + ")");
    }
    for (const std::string& sub : folders) {
        SetFileAttributesA(sub.c_str(), FILE_ATTRIBUTE_NORMAL);
        if (!RemoveDirectoryA(sub.c_str())) comp::RaiseLastOSError("RemoveDirectory(" + sub + ")");
    }
}

// Unpacks the whole package into the unpack folder, which then holds only this package's files: what the
// last unpack left goes first, and a failed unpack removes what it wrote (a refused entry fails it too).
// The info file goes first and names the package only once every file is out: an unpack that fails
// half-way is tried again at the next start. Any failure of it (the folder can't be emptied, the info
// file can't be removed or written) leaves nothing loaded.
void UnpackPackage(const std::string& packagePath) {
    const std::string folder = UnpackFolder();
    const std::string infoFile = folder + kWallpaperInfoFile;
    RemoveInfoFile(infoFile);
    RemoveFolderContents(folder);
    {
        TCabReader reader;
        reader.Extract(packagePath, folder, 0);
    }
    comp::ForceDirectories(folder);
    WriteInfoFile(infoFile, packagePath);
}

template <typename T>
T Export(const char* name) {
    return reinterpret_cast<T>(reinterpret_cast<void*>(GetProcAddress(WallpaperLib, name)));
}

// Loads the library of the unpack folder and binds its exports; false when it can't be loaded.
bool LoadPluginLibrary() {
    WallpaperLib = LoadLibraryA((UnpackFolder() + kWallpaperLibrary).c_str());
    if (!WallpaperLib) return false;
    TWallpaperEntryPoints& e = WallpaperEntries;
    e.Init = Export<TWallpaperInit>("Init");
    e.Render = Export<TWallpaperProc>("Render");
    e.Invalidate = Export<TWallpaperProc>("Invalidate");
    e.Restore = Export<TWallpaperProc>("Restore");
    e.Kill = Export<TWallpaperProc>("Kill");
    e.Version = Export<TWallpaperVersion>("Version");
    return true;
}

// Whether the plug-in reports the one interface version the host speaks, 1.0.
bool PluginVersionSupported() {
    const TWallpaperVersion version = WallpaperEntries.Version;
    if (!version) return false;
    int32_t major = -1, minor = -1;
    if (!PluginCall([&] { version(&major, &minor); })) return false;
    return major == 1 && minor == 0;
}

void LoadPlugin(const std::string& packagePath, int32_t parameter, IDirect3DDevice9* device) {
    // Without a data folder the library would be looked for by a relative name: load nothing.
    if (!device || AppDataPath.empty()) return;
    if (!comp::FileExists(packagePath)) return;

    const std::string infoFile = UnpackFolder() + kWallpaperInfoFile;
    if (WallpaperNeedsUnpacking(packagePath, infoFile)) {
        try {
            UnpackPackage(packagePath);
        } catch (...) {
            // Whatever the unpack folder still holds (a library an earlier package left there, when the folder
            // couldn't be emptied) isn't this package's: nothing is loaded.
            UnloadWallpaper();
            return;
        }
    }

    if (!LoadPluginLibrary()) {
        UnloadWallpaper();
        return;
    }
    if (!PluginVersionSupported()) {
        // Never initialised, so it gets no Kill either.
        WallpaperEntries.Kill = nullptr;
        UnloadWallpaper();
        return;
    }
    device->AddRef();
    WallpaperDevice = device;

    bool initialised = true;
    InUnpackFolder([&] {
        if (const TWallpaperInit init = WallpaperEntries.Init)
            initialised = PluginCall([&] { init(device, parameter); });
    });
    if (!initialised) UnloadWallpaper();
}

}  // namespace

bool WallpaperNeedsUnpacking(const std::string& packagePath, const std::string& infoFile) {
    std::ifstream in(infoFile, std::ios::binary);
    if (!in) return true;
    std::string line;
    if (!std::getline(in, line)) return true;
    if (!line.empty() && line.back() == '\r') line.pop_back();
    return line != packagePath;
}

void LoadWallpaper(const std::string& packagePath, int32_t parameter, IDirect3DDevice9* device) noexcept {
    try {
        TSavedTransforms transforms(device);
        UnloadWallpaper();
        try {
            LoadPlugin(packagePath, parameter, device);
        } catch (...) {
            UnloadWallpaper();
        }
    } catch (...) {
        // Nothing of the plug-in's life may stop the control's start.
    }
}

void UnloadWallpaper() noexcept {
    if (const TWallpaperProc kill = WallpaperEntries.Kill) PluginCall([&] { kill(); });
    WallpaperEntries = TWallpaperEntryPoints{};
    if (WallpaperLib) {
        FreeLibrary(WallpaperLib);
        WallpaperLib = nullptr;
    }
    if (WallpaperDevice) {
        WallpaperDevice->Release();
        WallpaperDevice = nullptr;
    }
}

void WallpaperRender(IDirect3DDevice9* device) noexcept {
    const TWallpaperProc render = WallpaperEntries.Render;
    if (!render) return;
    TSavedTransforms transforms(device);
    InUnpackFolder([&] { PluginCall([&] { render(); }); });
}

void WallpaperInvalidate() noexcept {
    if (const TWallpaperProc invalidate = WallpaperEntries.Invalidate)
        InUnpackFolder([&] { PluginCall([&] { invalidate(); }); });
}

void WallpaperRestore() noexcept {
    if (const TWallpaperProc restore = WallpaperEntries.Restore)
        InUnpackFolder([&] { PluginCall([&] { restore(); }); });
}
