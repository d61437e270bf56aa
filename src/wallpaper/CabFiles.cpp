// The cabinet library's file layer: its callbacks, the buffered cabinet input and the file opening.
#include "wallpaper/CabFiles.h"

#include <cstring>
#include <memory>
#include <new>
#include <utility>

DWORD CabLastOSError = 0;

namespace {

// C run-time open flags as the library passes them.
constexpr int kOpenAccessMask = 0x0003;
constexpr int kOpenAppend = 0x0008;
constexpr int kOpenRandom = 0x0010;
constexpr int kOpenSequential = 0x0020;
constexpr int kOpenTemporary = 0x0040;
constexpr int kOpenCreate = 0x0100;
constexpr int kOpenTruncate = 0x0200;
constexpr int kOpenExclusive = 0x0400;
constexpr int kOpenShortLived = 0x1000;

void NoteOSError() { NoteCabOSError(GetLastError()); }

HANDLE HandleOf(INT_PTR hf) { return reinterpret_cast<HANDLE>(hf); }

// The library's file handles: a system handle (low bits 0), a cabinet read through a large buffer, or an
// extracted file written elsewhere. System handles are multiples of four; the objects are aligned.
constexpr INT_PTR kHandleTagMask = 3;
constexpr INT_PTR kInputTag = 1;
constexpr INT_PTR kOutputTag = 2;

// A cabinet opened for reading: read through a large buffer, so that the library's many small reads and
// skips cost no system call each.
struct TCabInput {
    static constexpr DWORD kBufferSize = 256u << 10;
    comp::FileHandle file;
    std::unique_ptr<char[]> buffer;
    LONGLONG bufferStart = 0;  // file position of buffer[0]
    DWORD bufferLength = 0;
    LONGLONG position = 0;      // the library's position
    LONGLONG filePosition = 0;  // the system file pointer
};

INT_PTR TagInput(TCabInput* input) { return reinterpret_cast<INT_PTR>(input) | kInputTag; }
TCabInput* InputOf(INT_PTR hf) {
    return (hf & kHandleTagMask) == kInputTag ? reinterpret_cast<TCabInput*>(hf & ~kHandleTagMask) : nullptr;
}

// Refills the buffer of |input| from its position; false when the system fails.
bool FillInput(TCabInput& input) {
    if (input.filePosition != input.position) {
        LARGE_INTEGER to, at;
        to.QuadPart = input.position;
        if (!SetFilePointerEx(input.file.Get(), to, &at, FILE_BEGIN)) return false;
        input.filePosition = at.QuadPart;
    }
    DWORD done = 0;
    if (!ReadFile(input.file.Get(), input.buffer.get(), TCabInput::kBufferSize, &done, nullptr)) return false;
    input.bufferStart = input.filePosition;
    input.bufferLength = done;
    input.filePosition += done;
    return true;
}

// Runs the work of a callback, which no exception may leave: one (a failed allocation) is answered as
// the library expects a failure, |failed| with the error noted.
template <typename Result, typename Work>
Result Guarded(Result failed, Work work) noexcept {
    try {
        return work();
    } catch (...) {
        NoteCabOSError(ERROR_NOT_ENOUGH_MEMORY);
        return failed;
    }
}

}  // namespace

void NoteCabOSError(DWORD code) {
    if (code != 0) CabLastOSError = code;
}

INT_PTR CabOutFileHandle(TCabOutFile* file) { return reinterpret_cast<INT_PTR>(file) | kOutputTag; }

TCabOutFile* CabOutFileOf(INT_PTR hf) {
    return (hf & kHandleTagMask) == kOutputTag ? reinterpret_cast<TCabOutFile*>(hf & ~kHandleTagMask) : nullptr;
}

// --- Opening and finishing files ---------------------------------------------------------------------------

INT_PTR CabFileOpen(const std::string& fileName, int openFlags) {
    comp::FileHandle file = CabCreateFile(fileName, openFlags);
    if (!file) {
        NoteOSError();
        return -1;
    }
    return reinterpret_cast<INT_PTR>(file.Release());
}

comp::FileHandle CabCreateFile(const std::string& fileName, int openFlags) {
    DWORD access;
    switch (openFlags & kOpenAccessMask) {
        case 0: access = GENERIC_READ; break;
        case 1: access = GENERIC_WRITE; break;
        default: access = GENERIC_READ | GENERIC_WRITE; break;
    }
    const bool create = (openFlags & kOpenCreate) != 0;
    DWORD disposition;
    if ((openFlags & kOpenExclusive) && create) disposition = CREATE_NEW;
    else if (openFlags & kOpenTruncate) disposition = create ? CREATE_ALWAYS : TRUNCATE_EXISTING;
    else disposition = create ? OPEN_ALWAYS : OPEN_EXISTING;
    DWORD flags = ((openFlags & kOpenShortLived) && create) ? FILE_ATTRIBUTE_TEMPORARY : FILE_ATTRIBUTE_NORMAL;
    if (openFlags & kOpenRandom) flags |= FILE_FLAG_RANDOM_ACCESS;
    if (openFlags & kOpenSequential) flags |= FILE_FLAG_SEQUENTIAL_SCAN;
    if ((openFlags & kOpenTemporary) && create) flags |= FILE_FLAG_DELETE_ON_CLOSE;

    comp::FileHandle file(
        CreateFileA(fileName.c_str(), access, FILE_SHARE_READ, nullptr, disposition, flags, nullptr));
    if (!file) return file;
    const DWORD opened = GetLastError();  // ERROR_ALREADY_EXISTS tells an opened file from a made one
    if (openFlags & kOpenAppend) {
        SetLastError(NO_ERROR);
        if (SetFilePointer(file.Get(), 0, nullptr, FILE_END) == INVALID_SET_FILE_POINTER &&
            GetLastError() != NO_ERROR) {
            const DWORD error = GetLastError();
            file.Reset();
            SetLastError(error);
            return file;
        }
    }
    SetLastError(opened);
    return file;
}

void CabSetFileTimeAttrs(comp::FileHandle file, const std::string& fileName, uint16_t date, uint16_t time,
                         uint16_t attributes, bool madeNew) {
    FILETIME local{}, utc{};
    const bool timed = DosDateTimeToFileTime(date, time, &local) && LocalFileTimeToFileTime(&local, &utc);
    // A file without attributes reads back as "normal"; a file just made reads back as archive, so the
    // usual archive attribute needs no setting.
    const DWORD wanted = attributes ? attributes : FILE_ATTRIBUTE_NORMAL;
    const bool attributed = !(madeNew && wanted == FILE_ATTRIBUTE_ARCHIVE);
    // Times and attributes in one call on the open file.
    FILE_BASIC_INFO info{};
    if (timed) {
        info.CreationTime.LowPart = utc.dwLowDateTime;
        info.CreationTime.HighPart = static_cast<LONG>(utc.dwHighDateTime);
        info.LastWriteTime = info.CreationTime;
    }
    info.FileAttributes = attributed ? wanted : 0;
    if ((timed || attributed) && SetFileInformationByHandle(file.Get(), FileBasicInfo, &info, sizeof info)) return;
    if (timed) SetFileTime(file.Get(), &utc, nullptr, &utc);
    file.Reset();
    if (GetFileAttributesA(fileName.c_str()) != wanted) SetFileAttributesA(fileName.c_str(), attributes);
}

// --- The callbacks -----------------------------------------------------------------------------------------

void* DIAMONDAPI CabAlloc(ULONG size) { return HeapAlloc(GetProcessHeap(), 0, size); }

void DIAMONDAPI CabFree(void* block) {
    if (block) HeapFree(GetProcessHeap(), 0, block);
}

INT_PTR DIAMONDAPI CabOpen(char* fileName, int openFlags, int) {
    return Guarded<INT_PTR>(-1, [&]() -> INT_PTR {
        const INT_PTR hf = CabFileOpen(fileName, openFlags);
        if (hf == -1 || (openFlags & (kOpenAccessMask | kOpenCreate | kOpenTruncate | kOpenAppend)) != 0) return hf;
        TCabInput* input = new (std::nothrow) TCabInput;
        if (input) input->buffer.reset(new (std::nothrow) char[TCabInput::kBufferSize]);
        if (!input || !input->buffer) {
            delete input;
            return hf;  // read without a buffer
        }
        input->file.Reset(HandleOf(hf));
        return TagInput(input);
    });
}

UINT DIAMONDAPI CabRead(INT_PTR hf, void* buffer, UINT count) {
    return Guarded<UINT>(static_cast<UINT>(-1), [&]() -> UINT {
        if (TCabInput* input = InputOf(hf)) {
            char* to = static_cast<char*>(buffer);
            UINT done = 0;
            while (done < count) {
                const LONGLONG offset = input->position - input->bufferStart;
                if (offset < 0 || offset >= input->bufferLength) {
                    if (!FillInput(*input)) {
                        NoteOSError();
                        return static_cast<UINT>(-1);
                    }
                    if (input->bufferLength == 0) break;  // the end of the file
                    continue;
                }
                const LONGLONG available = input->bufferLength - offset;
                const UINT part =
                    available < static_cast<LONGLONG>(count - done) ? static_cast<UINT>(available) : count - done;
                std::memcpy(to + done, input->buffer.get() + offset, part);
                done += part;
                input->position += part;
            }
            return done;
        }
        if (CabOutFileOf(hf)) {
            NoteCabOSError(ERROR_ACCESS_DENIED);
            return static_cast<UINT>(-1);
        }
        DWORD done = 0;
        if (!ReadFile(HandleOf(hf), buffer, count, &done, nullptr)) {
            NoteOSError();
            return static_cast<UINT>(-1);
        }
        return done;
    });
}

UINT DIAMONDAPI CabWrite(INT_PTR hf, void* buffer, UINT count) {
    return Guarded<UINT>(static_cast<UINT>(-1), [&]() -> UINT {
        if (TCabOutFile* file = CabOutFileOf(hf)) {
            if (!file->Write(buffer, count)) {
                NoteCabOSError(ERROR_NOT_ENOUGH_MEMORY);
                return static_cast<UINT>(-1);
            }
            return count;
        }
        if (InputOf(hf)) {
            NoteCabOSError(ERROR_ACCESS_DENIED);
            return static_cast<UINT>(-1);
        }
        DWORD done = 0;
        if (!WriteFile(HandleOf(hf), buffer, count, &done, nullptr)) {
            NoteOSError();
            return static_cast<UINT>(-1);
        }
        return done;
    });
}

int DIAMONDAPI CabClose(INT_PTR hf) {
    return Guarded<int>(-1, [&]() -> int {
        // The library gives up a file it was writing: closed as it stands.
        if (TCabOutFile* file = CabOutFileOf(hf)) return file->Abandon() ? 0 : -1;
        HANDLE handle = HandleOf(hf);
        if (TCabInput* input = InputOf(hf)) {
            handle = input->file.Release();
            delete input;
        }
        if (!CloseHandle(handle)) {
            NoteOSError();
            return -1;
        }
        return 0;
    });
}

__LONG32 DIAMONDAPI CabSeek(INT_PTR hf, __LONG32 distance, int seekType) {
    return Guarded<__LONG32>(-1, [&]() -> __LONG32 {
        if (TCabInput* input = InputOf(hf)) {
            LONGLONG base;
            switch (seekType) {
                case FILE_BEGIN: base = 0; break;
                case FILE_CURRENT: base = input->position; break;
                case FILE_END: {
                    LARGE_INTEGER size;
                    if (!GetFileSizeEx(input->file.Get(), &size)) {
                        NoteOSError();
                        return -1;
                    }
                    base = size.QuadPart;
                    break;
                }
                default: NoteCabOSError(ERROR_INVALID_PARAMETER); return -1;
            }
            const LONGLONG position = base + distance;
            if (position < 0 || position > 0x7FFFFFFF) {
                NoteCabOSError(ERROR_NEGATIVE_SEEK);
                return -1;
            }
            input->position = position;
            return static_cast<__LONG32>(position);
        }
        if (CabOutFileOf(hf)) {
            NoteCabOSError(ERROR_INVALID_PARAMETER);
            return -1;
        }
        SetLastError(NO_ERROR);
        const DWORD position = SetFilePointer(HandleOf(hf), distance, nullptr, static_cast<DWORD>(seekType));
        if (position == INVALID_SET_FILE_POINTER && GetLastError() != NO_ERROR) {
            NoteOSError();
            return -1;
        }
        return static_cast<__LONG32>(position);
    });
}
