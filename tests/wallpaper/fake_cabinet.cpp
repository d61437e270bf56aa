// A stand-in "cabinet.dll" for the binding tests, built in two forms: one without FCIFlushFolder (the
// system never compresses, yet the library must have it), and one whose FDIDestroy fails.
#include <windows.h>

extern "C" {

__declspec(dllexport) void* FCICreate() { return nullptr; }
__declspec(dllexport) BOOL FCIAddFile() { return FALSE; }
__declspec(dllexport) BOOL FCIFlushCabinet() { return FALSE; }
#if !defined(FAKE_WITHOUT_FCIFLUSHFOLDER)
__declspec(dllexport) BOOL FCIFlushFolder() { return FALSE; }
#endif
__declspec(dllexport) BOOL FCIDestroy() { return FALSE; }

static int context;
__declspec(dllexport) void* FDICreate(void*, void*, void*, void*, void*, void*, void*, int, void*) { return &context; }
__declspec(dllexport) BOOL FDIIsCabinet() { return FALSE; }
__declspec(dllexport) BOOL FDICopy() { return TRUE; }
__declspec(dllexport) BOOL FDIDestroy(void*) { return FALSE; }

}  // extern "C"
