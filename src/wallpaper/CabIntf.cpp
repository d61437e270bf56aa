// Binding the cabinet library at run time.
#include "wallpaper/CabIntf.h"

#include "components/exceptions.h"

namespace CabIntf {

HMODULE CabLibHandle = nullptr;
TCabinetEntryPoints CabEntryPoints;

namespace {

using TFDICreate = HFDI(DIAMONDAPI*)(PFNALLOC, PFNFREE, PFNOPEN, PFNREAD, PFNWRITE, PFNCLOSE, PFNSEEK, int, PERF);
using TFDICopy = BOOL(DIAMONDAPI*)(HFDI, char*, char*, int, PFNFDINOTIFY, PFNFDIDECRYPT, void*);
using TFDIDestroy = BOOL(DIAMONDAPI*)(HFDI);

FARPROC Lookup(const char* name) {
    FARPROC entry = GetProcAddress(CabLibHandle, name);
    if (!entry) comp::RaiseLastOSError(std::string("GetProcAddress(cabinet.dll, ") + name + ")");
    return entry;
}

// The library stays bound until the control library unloads.
struct CabIntfUnit {
    ~CabIntfUnit() {
        if (CabLibHandle) FreeLibrary(CabLibHandle);
        CabLibHandle = nullptr;
    }
} cabIntfUnit;

}  // namespace

void BindCabinetLibrary() {
    CabLibHandle = LoadLibraryA("cabinet.dll");
    if (!CabLibHandle) comp::RaiseLastOSError("LoadLibrary(cabinet.dll)");
    try {
        TCabinetEntryPoints entries;
        entries.FCICreate = Lookup("FCICreate");
        entries.FCIAddFile = Lookup("FCIAddFile");
        entries.FCIFlushCabinet = Lookup("FCIFlushCabinet");
        entries.FCIFlushFolder = Lookup("FCIFlushFolder");
        entries.FCIDestroy = Lookup("FCIDestroy");
        entries.FDICreate = Lookup("FDICreate");
        entries.FDIIsCabinet = Lookup("FDIIsCabinet");
        entries.FDICopy = Lookup("FDICopy");
        entries.FDIDestroy = Lookup("FDIDestroy");
        CabEntryPoints = entries;
    } catch (...) {
        FreeLibrary(CabLibHandle);
        CabLibHandle = nullptr;
        CabEntryPoints = TCabinetEntryPoints{};
        throw;
    }
}

HFDI FDICreate(PFNALLOC pfnalloc, PFNFREE pfnfree, PFNOPEN pfnopen, PFNREAD pfnread, PFNWRITE pfnwrite,
               PFNCLOSE pfnclose, PFNSEEK pfnseek, int cpuType, PERF perf) {
    if (!CabLibHandle) BindCabinetLibrary();
    return reinterpret_cast<TFDICreate>(CabEntryPoints.FDICreate)(pfnalloc, pfnfree, pfnopen, pfnread, pfnwrite,
                                                                  pfnclose, pfnseek, cpuType, perf);
}

BOOL FDICopy(HFDI hfdi, char* pszCabinet, char* pszCabPath, int flags, PFNFDINOTIFY pfnfdin, PFNFDIDECRYPT pfnfdid,
             void* pvUser) {
    return reinterpret_cast<TFDICopy>(CabEntryPoints.FDICopy)(hfdi, pszCabinet, pszCabPath, flags, pfnfdin, pfnfdid,
                                                              pvUser);
}

BOOL FDIDestroy(HFDI hfdi) { return reinterpret_cast<TFDIDestroy>(CabEntryPoints.FDIDestroy)(hfdi); }

}  // namespace CabIntf
