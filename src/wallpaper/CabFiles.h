// The cabinet library's file layer: the memory and file callbacks of its FDI interface, cabinets read
// through a large buffer, and files opened the way the library asks (its C run-time open flags mapped to
// CreateFileA). A file the library extracts may be written by something other than the system (the
// cabinet reader's file writer): the library's writes to it and its closing of it go to a TCabOutFile.
// Used by the cabinet reader and its file writer; it knows neither.
#pragma once

#include <windows.h>
#include <fdi.h>

#include <cstddef>
#include <cstdint>
#include <string>

#include "components/handles.h"

// The last non-zero operating-system error that a file callback of the cabinet library met.
extern DWORD CabLastOSError;
// Keeps |code| in CabLastOSError, unless it is 0.
void NoteCabOSError(DWORD code);

// How the reader opens a file it extracts: write-only, create, sequential, untranslated.
constexpr int kCabExtractOpenFlags = 0x8121;

// Opens a file for the cabinet library: its C run-time open flags mapped to CreateFileA. The handle, or
// -1 with the error in CabLastOSError.
INT_PTR CabFileOpen(const std::string& fileName, int openFlags);
// CabFileOpen without CabLastOSError: the file, or none with the error left to GetLastError (which is
// ERROR_ALREADY_EXISTS after opening a file that was there). Safe on any thread.
comp::FileHandle CabCreateFile(const std::string& fileName, int openFlags);

// Finishes an extracted file that is still open for writing: sets its creation and last-write times from
// a DOS date and time (local time) and gives it its attributes, and closes it. |madeNew|: the file was
// made by this opening, so it reads back as archive already.
void CabSetFileTimeAttrs(comp::FileHandle file, const std::string& fileName, uint16_t date, uint16_t time,
                         uint16_t attributes, bool madeNew = false);

// An extracted file whose data the library hands over through its handle, to be made and written
// elsewhere.
class TCabOutFile {
public:
    // Takes |count| bytes of the file's data; false when they can't be kept.
    virtual bool Write(const void* data, size_t count) = 0;
    // The library gives the file up: it is closed as it stands. False when that can't be done.
    virtual bool Abandon() = 0;

protected:
    ~TCabOutFile() = default;
};

// The library's handle for an output file, and the output file of a handle (nullptr for any other).
INT_PTR CabOutFileHandle(TCabOutFile* file);
TCabOutFile* CabOutFileOf(INT_PTR hf);

// The FDI callbacks. A failure is answered the library's way, with the operating-system error in
// CabLastOSError; no exception leaves them (a failed allocation is a failure with
// ERROR_NOT_ENOUGH_MEMORY).
void* DIAMONDAPI CabAlloc(ULONG size);
void DIAMONDAPI CabFree(void* block);
// A file opened for reading only, without creating it, is a cabinet: it is read through a buffer. The
// permission mode is ignored.
INT_PTR DIAMONDAPI CabOpen(char* fileName, int openFlags, int permissionMode);
UINT DIAMONDAPI CabRead(INT_PTR hf, void* buffer, UINT count);
UINT DIAMONDAPI CabWrite(INT_PTR hf, void* buffer, UINT count);
int DIAMONDAPI CabClose(INT_PTR hf);
__LONG32 DIAMONDAPI CabSeek(INT_PTR hf, __LONG32 distance, int seekType);
