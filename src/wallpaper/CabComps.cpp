// The cabinet reader: the FDI file and memory callbacks, the answers to the library's notifications and
// the walk along a cabinet set.
#include "wallpaper/CabComps.h"

#include <shellapi.h>

#include <cstdio>
#include <cstring>
#include <memory>
#include <new>

#include "components/paths.h"
#include "wallpaper/CabConsts.h"
#include "wallpaper/CabIntf.h"
#include "wallpaper/CabWriter.h"

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
// Attributes an extracted file takes from the cabinet: read-only, hidden, system, archive.
constexpr uint16_t kKeptAttributes = 0x27;
// The threads that make and write the extracted files. Measured under Wine: in the 64-bit build two keep
// up with the decoding and a third one mostly competes with it; the 32-bit build's file calls cost more
// and three do better there.
constexpr unsigned kCabWriterThreads = sizeof(void*) == 8 ? 2 : 3;
// The library's buffer for a next cabinet's path, terminator included.
constexpr size_t kCabPathBuffer = CB_MAX_CAB_PATH;

void NoteOSError() {
    const DWORD code = GetLastError();
    if (code != 0) CabLastOSError = code;
}

void NoteOSError(DWORD code) {
    if (code != 0) CabLastOSError = code;
}

HANDLE HandleOf(INT_PTR hf) { return reinterpret_cast<HANDLE>(hf); }

// The library's file handles: a system handle (low bits 0), a cabinet read through a large buffer, or an
// extracted file that the writer makes. System handles are multiples of four; the objects are aligned.
constexpr INT_PTR kHandleTagMask = 3;
constexpr INT_PTR kInputTag = 1;
constexpr INT_PTR kOutputTag = 2;

// A cabinet opened for reading: read through a large buffer, so that the library's many small reads and
// skips cost no system call each.
struct TCabInput {
    static constexpr DWORD kBufferSize = 256u << 10;
    HANDLE file = INVALID_HANDLE_VALUE;
    std::unique_ptr<char[]> buffer;
    LONGLONG bufferStart = 0;  // file position of buffer[0]
    DWORD bufferLength = 0;
    LONGLONG position = 0;      // the library's position
    LONGLONG filePosition = 0;  // the system file pointer
};

INT_PTR TagInput(TCabInput* input) { return reinterpret_cast<INT_PTR>(input) | kInputTag; }
INT_PTR TagOutput(TCabFileWriter::TOutFile* file) { return reinterpret_cast<INT_PTR>(file) | kOutputTag; }
TCabInput* InputOf(INT_PTR hf) {
    return (hf & kHandleTagMask) == kInputTag ? reinterpret_cast<TCabInput*>(hf & ~kHandleTagMask) : nullptr;
}
TCabFileWriter::TOutFile* OutputOf(INT_PTR hf) {
    return (hf & kHandleTagMask) == kOutputTag ? reinterpret_cast<TCabFileWriter::TOutFile*>(hf & ~kHandleTagMask)
                                               : nullptr;
}

void* DIAMONDAPI CabAlloc(ULONG size) { return HeapAlloc(GetProcessHeap(), 0, size); }

void DIAMONDAPI CabFree(void* block) {
    if (block) HeapFree(GetProcessHeap(), 0, block);
}

INT_PTR DIAMONDAPI CabOpen(char* fileName, int openFlags, int) {
    const INT_PTR hf = CabFileOpen(fileName, openFlags);
    // A file opened for reading only, without creating it, is a cabinet: it is read through a buffer.
    if (hf == -1 || (openFlags & (kOpenAccessMask | kOpenCreate | kOpenTruncate | kOpenAppend)) != 0) return hf;
    TCabInput* input = new (std::nothrow) TCabInput;
    if (input) input->buffer.reset(new (std::nothrow) char[TCabInput::kBufferSize]);
    if (!input || !input->buffer) {
        delete input;
        return hf;  // read without a buffer
    }
    input->file = HandleOf(hf);
    return TagInput(input);
}

// Refills the buffer of |input| from its position; false when the system fails.
bool FillInput(TCabInput& input) {
    if (input.filePosition != input.position) {
        LARGE_INTEGER to, at;
        to.QuadPart = input.position;
        if (!SetFilePointerEx(input.file, to, &at, FILE_BEGIN)) return false;
        input.filePosition = at.QuadPart;
    }
    DWORD done = 0;
    if (!ReadFile(input.file, input.buffer.get(), TCabInput::kBufferSize, &done, nullptr)) return false;
    input.bufferStart = input.filePosition;
    input.bufferLength = done;
    input.filePosition += done;
    return true;
}

UINT DIAMONDAPI CabRead(INT_PTR hf, void* buffer, UINT count) {
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
            const UINT part = available < static_cast<LONGLONG>(count - done) ? static_cast<UINT>(available) : count - done;
            std::memcpy(to + done, input->buffer.get() + offset, part);
            done += part;
            input->position += part;
        }
        return done;
    }
    if (OutputOf(hf)) {
        NoteOSError(ERROR_ACCESS_DENIED);
        return static_cast<UINT>(-1);
    }
    DWORD done = 0;
    if (!ReadFile(HandleOf(hf), buffer, count, &done, nullptr)) {
        NoteOSError();
        return static_cast<UINT>(-1);
    }
    return done;
}

UINT DIAMONDAPI CabWrite(INT_PTR hf, void* buffer, UINT count) {
    if (TCabFileWriter::TOutFile* file = OutputOf(hf)) {
        if (!TCabFileWriter::OwnerOf(file)->Write(file, buffer, count)) {
            NoteOSError(ERROR_NOT_ENOUGH_MEMORY);
            return static_cast<UINT>(-1);
        }
        return count;
    }
    if (InputOf(hf)) {
        NoteOSError(ERROR_ACCESS_DENIED);
        return static_cast<UINT>(-1);
    }
    DWORD done = 0;
    if (!WriteFile(HandleOf(hf), buffer, count, &done, nullptr)) {
        NoteOSError();
        return static_cast<UINT>(-1);
    }
    return done;
}

int DIAMONDAPI CabClose(INT_PTR hf) {
    if (TCabFileWriter::TOutFile* file = OutputOf(hf)) {
        // The library gives up a file it was writing: closed as it stands.
        return TCabFileWriter::OwnerOf(file)->CloseOnly(file) ? 0 : -1;
    }
    HANDLE handle = HandleOf(hf);
    if (TCabInput* input = InputOf(hf)) {
        handle = input->file;
        delete input;
    }
    if (!CloseHandle(handle)) {
        NoteOSError();
        return -1;
    }
    return 0;
}

__LONG32 DIAMONDAPI CabSeek(INT_PTR hf, __LONG32 distance, int seekType) {
    if (TCabInput* input = InputOf(hf)) {
        LONGLONG base;
        switch (seekType) {
            case FILE_BEGIN: base = 0; break;
            case FILE_CURRENT: base = input->position; break;
            case FILE_END: {
                LARGE_INTEGER size;
                if (!GetFileSizeEx(input->file, &size)) {
                    NoteOSError();
                    return -1;
                }
                base = size.QuadPart;
                break;
            }
            default: NoteOSError(ERROR_INVALID_PARAMETER); return -1;
        }
        const LONGLONG position = base + distance;
        if (position < 0 || position > 0x7FFFFFFF) {
            NoteOSError(ERROR_NEGATIVE_SEEK);
            return -1;
        }
        input->position = position;
        return static_cast<__LONG32>(position);
    }
    if (OutputOf(hf)) {
        NoteOSError(ERROR_INVALID_PARAMETER);
        return -1;
    }
    SetLastError(NO_ERROR);
    const DWORD position = SetFilePointer(HandleOf(hf), distance, nullptr, static_cast<DWORD>(seekType));
    if (position == INVALID_SET_FILE_POINTER && GetLastError() != NO_ERROR) {
        NoteOSError();
        return -1;
    }
    return static_cast<__LONG32>(position);
}

std::string Text(const char* s) { return s ? std::string(s) : std::string(); }

bool SameTextByLocale(const std::string& a, const std::string& b) {
    return CompareStringA(LOCALE_USER_DEFAULT, NORM_IGNORECASE, a.c_str(), static_cast<int>(a.size()), b.c_str(),
                          static_cast<int>(b.size())) == CSTR_EQUAL;
}

// The full path of a name, or "" when it can't be made.
std::string FullPathName(const std::string& name) {
    char small[MAX_PATH];
    const DWORD first = GetFullPathNameA(name.c_str(), MAX_PATH, small, nullptr);
    if (first == 0) return {};
    if (first < MAX_PATH) return std::string(small, first);
    std::string buffer(first, '\0');
    const DWORD length = GetFullPathNameA(name.c_str(), first, &buffer[0], nullptr);
    if (length == 0 || length >= first) return {};
    buffer.resize(length);
    return buffer;
}

// Why the destination |path| of a cabinet entry can't be made inside |base| (a full path ending with "\\"):
// 0 when it lies strictly inside once made a full path, else the system's error. A device name or a ".." that the syntax
// check missed ends up elsewhere (an invalid name); a path that can't be made full, or is too long for the
// file calls, is refused with the system's reason.
DWORD EntryDestinationError(const std::string& path, const std::string& base) {
    SetLastError(NO_ERROR);
    const std::string full = FullPathName(path);
    if (full.empty()) {
        const DWORD error = GetLastError();
        return error != NO_ERROR ? error : static_cast<DWORD>(ERROR_FILENAME_EXCED_RANGE);
    }
    if (full.size() >= MAX_PATH) return ERROR_FILENAME_EXCED_RANGE;
    const bool inside = base.size() > 1 && full.size() > base.size() && full.compare(0, base.size(), base) == 0;
    return inside ? 0 : static_cast<DWORD>(ERROR_INVALID_NAME);
}

// A stored name with "/" separators turned into "\".
std::string WithBackslashes(std::string name) {
    for (char& c : name)
        if (c == '/') c = '\\';
    return name;
}

std::string Hex4(uint32_t value) {
    char buffer[16];
    std::snprintf(buffer, sizeof buffer, "%04X", static_cast<unsigned>(value));
    return buffer;
}

}  // namespace

// --- Errors ------------------------------------------------------------------------------------------------

std::string CabinetErrorMessage(int32_t errorCode, int32_t systemErrorCode, bool errorFlag) {
    if (!errorFlag) return SFDIError;
    std::string message = std::string(FDIErrorText(errorCode)) + " [0x" + Hex4(static_cast<uint32_t>(errorCode)) + "]";
    if (systemErrorCode != 0)
        message += ".\r\n" + comp::SysErrorMessage(static_cast<DWORD>(systemErrorCode)) + " [0x" +
                   Hex4(static_cast<uint32_t>(systemErrorCode)) + "].";
    return message;
}

namespace {

// The line that names the entry which stopped an extraction and says what became of it; "" for none.
std::string EntryLine(const std::string& entry, TCabEntryFailure failure) {
    if (entry.empty()) return std::string();
    return "\r\n" + std::string(failure == TCabEntryFailure::NotWritten ? SCabUnwrittenEntry : SCabRefusedEntry) +
           entry;
}

}  // namespace

ECabinet::ECabinet(const ERF& record, bool fromCompressor, const std::string& entry, TCabEntryFailure entryFailure)
    : comp::Exception(CabinetErrorMessage(record.erfOper, record.erfType, record.fError != FALSE) +
                      EntryLine(entry, entryFailure)),
      ErrorCode(record.erfOper),
      SystemErrorCode(record.erfType),
      ErrorFlag(record.fError != FALSE),
      FromCompressor(fromCompressor),
      RefusedEntry(entry) {}

// --- Paths -------------------------------------------------------------------------------------------------

std::string JoinPathParts(std::initializer_list<std::string> parts) {
    std::string result;
    for (const std::string& part : parts) {
        if (part.empty()) continue;
        if (result.empty()) {
            result = part;
        } else if (result.back() == '\\' && part.front() == '\\') {
            result += part.substr(1);
        } else if (result.back() == '\\' || part.front() == '\\') {
            result += part;
        } else {
            result += '\\' + part;
        }
    }
    return result;
}

bool IsSafeCabinetEntryName(const std::string& name) {
    if (name.empty() || name.find(':') != std::string::npos) return false;
    size_t start = 0;
    while (start <= name.size()) {
        const size_t end = name.find_first_of("\\/", start);
        const std::string part = name.substr(start, end == std::string::npos ? std::string::npos : end - start);
        // Windows drops trailing dots and blanks: "..", ". ." and "..." all climb or vanish.
        if (part.find_first_not_of(". ") == std::string::npos) return false;
        if (end == std::string::npos) break;
        start = end + 1;
    }
    return true;
}

// --- File callbacks ----------------------------------------------------------------------------------------

INT_PTR CabFileOpen(const std::string& fileName, int openFlags) {
    HANDLE file = CabCreateFile(fileName, openFlags);
    if (file == INVALID_HANDLE_VALUE) {
        NoteOSError();
        return -1;
    }
    return reinterpret_cast<INT_PTR>(file);
}

HANDLE CabCreateFile(const std::string& fileName, int openFlags) {
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

    HANDLE file = CreateFileA(fileName.c_str(), access, FILE_SHARE_READ, nullptr, disposition, flags, nullptr);
    if (file == INVALID_HANDLE_VALUE) return file;
    const DWORD opened = GetLastError();  // ERROR_ALREADY_EXISTS tells an opened file from a made one
    if (openFlags & kOpenAppend) {
        SetLastError(NO_ERROR);
        if (SetFilePointer(file, 0, nullptr, FILE_END) == INVALID_SET_FILE_POINTER && GetLastError() != NO_ERROR) {
            const DWORD error = GetLastError();
            CloseHandle(file);
            SetLastError(error);
            return INVALID_HANDLE_VALUE;
        }
    }
    SetLastError(opened);
    return file;
}

void CabSetFileTimeAttrs(HANDLE file, const std::string& fileName, uint16_t date, uint16_t time,
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
    if ((timed || attributed) && SetFileInformationByHandle(file, FileBasicInfo, &info, sizeof info)) {
        CloseHandle(file);
        return;
    }
    if (timed) SetFileTime(file, &utc, nullptr, &utc);
    CloseHandle(file);
    if (GetFileAttributesA(fileName.c_str()) != wanted) SetFileAttributesA(fileName.c_str(), attributes);
}

// --- The reader --------------------------------------------------------------------------------------------

TCabReader::~TCabReader() {
    try {
        DestroyContext();
    } catch (...) {
        // A destructor can't report it; the context is forgotten all the same.
    }
}

HFDI TCabReader::GetContext() {
    if (!context_) CreateContext();
    return context_;
}

void TCabReader::CreateContext() {
    errors_ = ERF{};
    context_ = CabIntf::FDICreate(CabAlloc, CabFree, CabOpen, CabRead, CabWrite, CabClose, CabSeek, cpuUNKNOWN,
                                  &errors_);
    Check(context_ != nullptr);
}

void TCabReader::DestroyContext() {
    if (!context_) return;
    HFDI context = context_;
    context_ = nullptr;
    Check(CabIntf::FDIDestroy(context) != FALSE);
}

void TCabReader::Check(bool result) {
    if (result) return;
    errors_.erfType = static_cast<int>(CabLastOSError);
    throw ECabinet(errors_, false);
}

int TCabReader::OpenFileIndex(const std::string& source) const {
    for (size_t i = 0; i < sourceNames_.size(); ++i)
        if (sourceNames_[i] == source) return static_cast<int>(i);
    return -1;
}

INT_PTR DIAMONDAPI TCabReader::NotifyCallback(FDINOTIFICATIONTYPE type, PFDINOTIFICATION notification) {
    auto* reader = static_cast<TCabReader*>(notification->pv);
    try {
        // After a failure, stop at the next chance; a file the library opened is still closed.
        if (reader->pending_ && type != fdintCLOSE_FILE_INFO) return -1;
        return reader->Notify(type, *notification);
    } catch (...) {
        if (!reader->pending_) reader->pending_ = std::current_exception();
        return -1;
    }
}

INT_PTR TCabReader::Notify(TFDINOTIFICATIONTYPE type, TFDINOTIFICATION& notification) {
    CabLastOSError = 0;
    // A file the writer failed to make or write stops the extraction at the next file.
    if (writer_ && writer_->Failed() && type != fdintCLOSE_FILE_INFO) return -1;
    switch (type) {
        case fdintCABINET_INFO: return DoCabinetInfo(notification);
        case fdintPARTIAL_FILE: return DoPartialFile(notification);
        case fdintCOPY_FILE: return DoCopyFile(notification);
        case fdintCLOSE_FILE_INFO: return DoCloseFileInfo(notification);
        case fdintNEXT_CABINET: return DoNextCabinet(notification);
        default: {
            int32_t result = 0;
            if (OnUnrecognizedNotify) OnUnrecognizedNotify(*this, type, notification, result);
            return result;
        }
    }
}

INT_PTR TCabReader::DoCabinetInfo(TFDINOTIFICATION& n) {
    if (nextCabinetPathGiven_) cabinetPath_ = nextCabinetPath_;
    nextCabinetName_ = Text(n.psz1);
    if (!nextCabinetName_.empty()) nextCabinetName_ = JoinPathParts({Text(n.psz3), Text(n.psz1)});
    nextDiskName_ = Text(n.psz2);
    bool abort = false;
    if (OnCabinetInfo) OnCabinetInfo(*this, Text(n.psz1), Text(n.psz2), Text(n.psz3), n.setID, n.iCabinet, abort);
    return abort ? -1 : 0;
}

INT_PTR TCabReader::DoPartialFile(TFDINOTIFICATION& n) {
    const int i = OpenFileIndex(Text(n.psz1));
    const std::string destination = i >= 0 ? destinationNames_[static_cast<size_t>(i)] : std::string();
    bool abort = false;
    if (OnCopyPartialFile) OnCopyPartialFile(*this, Text(n.psz1), Text(n.psz2), Text(n.psz3), destination, abort);
    return abort ? -1 : 0;
}

bool TCabReader::MakeFolders(const std::string& folder) {
    if (folder.empty() || comp::DirectoryExists(folder)) return true;
    const size_t cut = folder.find_last_of('\\');
    if (cut != std::string::npos && cut > 0 && folder[cut - 1] != ':' && folder[cut - 1] != '\\' &&
        !MakeFolders(folder.substr(0, cut)))
        return false;
    if (CreateDirectoryA(folder.c_str(), nullptr)) {
        madeFolders_.push_back(folder);
        return true;
    }
    NoteOSError();
    return comp::DirectoryExists(folder);
}

INT_PTR TCabReader::DoCopyFile(TFDINOTIFICATION& n) {
    const std::string source = Text(n.psz1);
    // A name that can't be made inside the destination folder gets no destination: unless a handler
    // gives it one, the extraction fails naming it.
    std::string destination;
    const std::string joined = JoinPathParts({destinationFolder_, WithBackslashes(source)});
    const DWORD refusal =
        IsSafeCabinetEntryName(source) ? EntryDestinationError(joined, fullDestinationFolder_) : ERROR_INVALID_NAME;
    if (refusal == 0) destination = joined;
    bool abort = false;
    if (OnCopyFile)
        OnCopyFile(*this, source, static_cast<int32_t>(n.cb), n.date, n.time, n.attribs, n.iFolder, destination, abort);
    if (abort) return -1;
    if (destination.empty()) {
        if (refusal == 0) return 0;  // skipped by the handler
        refusedEntry_ = source;
        refusedError_ = refusal;
        return -1;
    }
    destination = WithBackslashes(destination);

    const std::string folder = comp::ExtractFileDir(destination);
    if (folder != madeFolder_) {
        const size_t made = madeFolders_.size();
        if (!MakeFolders(folder)) return -1;
        madeFolder_ = folder;
        madeFolderFresh_ = madeFolders_.size() > made;
    }
    // A read-only file that is to be kept is looked for here (a costly lookup of a name that usually isn't
    // there); in a folder this extraction has just made, only a file it wrote itself can be there.
    if ((Options & croDontOverwriteReadOnlyFiles) && !madeFolderFresh_) {
        const DWORD attributes = GetFileAttributesA(destination.c_str());
        if (attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY) &&
            (attributes & FILE_ATTRIBUTE_READONLY))
            return 0;
    }
    // The writer makes the file (overwriting a read-only one, cutting an older one) while the library
    // goes on decoding; a failure of it stops the extraction naming the entry.
    TCabFileWriter::TOutFile* file = writer_->Open(destination, source, n.cb);
    sourceNames_.push_back(source);
    destinationNames_.push_back(destination);
    return TagOutput(file);
}

INT_PTR TCabReader::DoCloseFileInfo(TFDINOTIFICATION& n) {
    const std::string source = Text(n.psz1);
    std::string destination;
    const int i = OpenFileIndex(source);
    TCabFileWriter::TOutFile* file = OutputOf(n.hf);
    if (i >= 0) {
        destination = destinationNames_[static_cast<size_t>(i)];
        sourceNames_.erase(sourceNames_.begin() + i);
        destinationNames_.erase(destinationNames_.begin() + i);
    }
    if (file) {
        if (i >= 0) TCabFileWriter::OwnerOf(file)->Finish(file, n.date, n.time, n.attribs & kKeptAttributes);
        else TCabFileWriter::OwnerOf(file)->CloseOnly(file);
    } else if (i >= 0) {
        CabSetFileTimeAttrs(HandleOf(n.hf), destination, n.date, n.time, n.attribs & kKeptAttributes);
    } else {
        CloseHandle(HandleOf(n.hf));
    }
    if (pending_) return -1;
    // A handler, and a file to be run, see the file finished.
    if (OnCloseFile || (Options & croExecuteOnExtract)) WaitForWriter();
    bool run = (n.cb & 1) != 0;
    bool abort = false;
    if (OnCloseFile) OnCloseFile(*this, source, n.date, n.time, n.attribs, n.iFolder, run, destination, abort);
    if (abort) return -1;
    if (run && (Options & croExecuteOnExtract) && !destination.empty())
        ShellExecuteA(nullptr, "open", destination.c_str(), nullptr, nullptr, SW_SHOWNORMAL);
    return 1;
}

INT_PTR TCabReader::DoNextCabinet(TFDINOTIFICATION& n) {
    INT_PTR result;
    if (OnNextCabinet) {
        std::string path = Text(n.psz3);
        bool abort = false;
        OnNextCabinet(*this, Text(n.psz1), Text(n.psz2), path, n.fdie, abort);
        if (abort) {
            result = -1;
        } else {
            path = comp::IncludeTrailingBackslash(path);
            if (path.size() >= kCabPathBuffer) {
                // Cut, it would name another folder: refuse it.
                CabLastOSError = ERROR_FILENAME_EXCED_RANGE;
                result = -1;
            } else {
                memcpy(n.psz3, path.c_str(), path.size() + 1);
                result = 0;
            }
        }
    } else {
        result = n.fdie == FDIERROR_NONE ? 0 : -1;
    }
    nextCabinetPath_ = JoinPathParts({Text(n.psz3), Text(n.psz1)});
    nextCabinetPathGiven_ = true;
    return result;
}

void TCabReader::RemoveWhatWasWritten() {
    // The library has closed every file by now (at its close-file notice or with the close callback), and
    // the writer has finished them.
    std::vector<std::string> written = writer_ ? writer_->WrittenFiles() : std::vector<std::string>();
    for (auto file = written.rbegin(); file != written.rend(); ++file) {
        SetFileAttributesA(file->c_str(), FILE_ATTRIBUTE_NORMAL);
        DeleteFileA(file->c_str());
    }
    for (auto folder = madeFolders_.rbegin(); folder != madeFolders_.rend(); ++folder)
        RemoveDirectoryA(folder->c_str());
    madeFolders_.clear();
}

void TCabReader::WaitForWriter() {
    std::string entry;
    DWORD error = 0;
    if (!writer_ || writer_->Wait(entry, error)) return;
    ERF record{};
    record.erfOper = FDIERROR_TARGET_FILE;
    record.erfType = static_cast<int>(error);
    record.fError = TRUE;
    errors_ = record;
    throw ECabinet(record, false, entry, TCabEntryFailure::NotWritten);
}

void TCabReader::Extract(const std::string& cabinetFile, const std::string& destinationFolder, uint8_t flags) {
    cabinetFile_ = FullPathName(cabinetFile);
    if (cabinetFile_.empty()) cabinetFile_ = cabinetFile;
    destinationFolder_ = comp::IncludeTrailingBackslash(destinationFolder);
    fullDestinationFolder_ = comp::IncludeTrailingBackslash(FullPathName(destinationFolder_));
    sourceNames_.clear();
    destinationNames_.clear();
    madeFolder_.clear();
    madeFolderFresh_ = false;
    madeFolders_.clear();
    refusedEntry_.clear();
    refusedError_ = 0;
    pending_ = nullptr;
    // The files are made and written on worker threads while the library decodes; the writer is ended
    // (its workers waited for) before Extract returns, whichever way.
    TCabFileWriter writer(kCabWriterThreads);
    writer_ = &writer;
    try {
        ExtractSet(flags);
        // The workers end as soon as their last file is finished.
        writer.EndWorkers();
        WaitForWriter();
    } catch (...) {
        std::string entry;
        DWORD error = 0;
        writer.Wait(entry, error);
        RemoveWhatWasWritten();
        writer_ = nullptr;
        throw;
    }
    writer_ = nullptr;
    madeFolders_.clear();
}

void TCabReader::ExtractSet(uint8_t flags) {
    // Every cabinet read so far: a set whose cabinets name each other in a ring is read once around.
    std::vector<std::string> visited;
    std::string current = cabinetFile_;
    while (!current.empty()) {
        nextCabinetName_.clear();
        nextDiskName_.clear();
        nextCabinetPath_.clear();
        cabinetPath_ = current;
        nextCabinetPathGiven_ = false;
        visited.push_back(FullPathName(current));

        std::string name = comp::ExtractFileName(current);
        std::string folder = comp::ExtractFilePath(current);
        // An error of an earlier extraction must not explain a failure of this one.
        CabLastOSError = 0;
        const BOOL copied =
            CabIntf::FDICopy(GetContext(), &name[0], &folder[0], 0, NotifyCallback, nullptr, this);
        if (pending_) {
            std::exception_ptr raised = pending_;
            pending_ = nullptr;
            std::rethrow_exception(raised);
        }
        if (!copied && writer_->Failed()) WaitForWriter();
        if (!copied && !refusedEntry_.empty()) {
            errors_.erfType = static_cast<int>(refusedError_);
            throw ECabinet(errors_, false, refusedEntry_);
        }
        Check(copied != FALSE);

        if (nextCabinetPathGiven_) current = nextCabinetPath_;
        else if (!SameTextByLocale(nextCabinetName_, current)) current = nextCabinetName_;
        else current.clear();

        if (flags & cefOnlyThisCabinet) current.clear();
        else if (!current.empty() && !comp::FileExists(current)) current.clear();
        if (!current.empty()) {
            const std::string full = FullPathName(current);
            for (const std::string& seen : visited)
                if (SameTextByLocale(seen, full)) current.clear();
        }
    }
}
