// The cabinet library "cabinet.dll", bound by name the first time a decompression context is made. Its
// nine compression and decompression entry points must all be there; the system calls the three FDI ones
// that the cabinet reader uses, which this unit forwards.
#pragma once

#include <windows.h>
#include <fdi.h>

namespace CabIntf {

// The library's entry points, filled in this order when it is bound.
struct TCabinetEntryPoints {
    FARPROC FCICreate = nullptr;
    FARPROC FCIAddFile = nullptr;
    FARPROC FCIFlushCabinet = nullptr;
    FARPROC FCIFlushFolder = nullptr;
    FARPROC FCIDestroy = nullptr;
    FARPROC FDICreate = nullptr;
    FARPROC FDIIsCabinet = nullptr;
    FARPROC FDICopy = nullptr;
    FARPROC FDIDestroy = nullptr;
};

// The library's module handle; 0 while it isn't bound.
extern HMODULE CabLibHandle;
extern TCabinetEntryPoints CabEntryPoints;

// Loads the library and looks up its nine entry points; raises comp::EOSError for the failed call and
// leaves nothing bound.
void BindCabinetLibrary();

// The library's FDICreate, binding the library first when it isn't bound (which may raise EOSError).
HFDI FDICreate(PFNALLOC pfnalloc, PFNFREE pfnfree, PFNOPEN pfnopen, PFNREAD pfnread, PFNWRITE pfnwrite,
               PFNCLOSE pfnclose, PFNSEEK pfnseek, int cpuType, PERF perf);
// Forwarded to the library: only with a context that FDICreate made.
BOOL FDICopy(HFDI hfdi, char* pszCabinet, char* pszCabPath, int flags, PFNFDINOTIFY pfnfdin,
             PFNFDIDECRYPT pfnfdid, void* pvUser);
BOOL FDIDestroy(HFDI hfdi);

}  // namespace CabIntf
