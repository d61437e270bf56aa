// The cabinet reader: the answers to the library's notifications and the walk along a cabinet set.
#include "wallpaper/CabComps.h"

#include <shellapi.h>

#include <cstdio>
#include <cstring>
#include <utility>

#include "components/paths.h"
#include "wallpaper/CabConsts.h"
#include "wallpaper/CabFiles.h"
#include "wallpaper/CabIntf.h"
#include "wallpaper/CabNames.h"
#include "wallpaper/CabWriter.h"

namespace {

// Attributes an extracted file takes from the cabinet: read-only, hidden, system, archive.
constexpr uint16_t kKeptAttributes = 0x27;
// The threads that make and write the extracted files. Measured under Wine: in the 64-bit build two keep
// up with the decoding and a third one mostly competes with it; the 32-bit build's file calls cost more
// and three do better there.
constexpr unsigned kCabWriterThreads = sizeof(void*) == 8 ? 2 : 3;
// The library's buffer for a next cabinet's path, terminator included.
constexpr size_t kCabPathBuffer = CB_MAX_CAB_PATH;

std::string Text(const char* s) { return s ? std::string(s) : std::string(); }

bool SameTextByLocale(const std::string& a, const std::string& b) {
    return CompareStringA(LOCALE_USER_DEFAULT, NORM_IGNORECASE, a.c_str(), static_cast<int>(a.size()), b.c_str(),
                          static_cast<int>(b.size())) == CSTR_EQUAL;
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
    NoteCabOSError(GetLastError());
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
    // there). In a folder this extraction has just made only a file it wrote itself can be there, read-only
    // only when it gave one that attribute; the writer gives it when it finishes the file, so the lookup
    // waits for the writer then.
    if ((Options & croDontOverwriteReadOnlyFiles) && (!madeFolderFresh_ || wroteReadOnly_)) {
        if (wroteReadOnly_) WaitForWriter();
        const DWORD attributes = GetFileAttributesA(destination.c_str());
        if (attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY) &&
            (attributes & FILE_ATTRIBUTE_READONLY))
            return 0;
    }
    // The writer makes the file (overwriting a read-only one, cutting an older one) while the library
    // goes on decoding; a failure of it stops the extraction naming the entry.
    TCabOutFile* file = writer_->Open(destination, source, n.cb);
    sourceNames_.push_back(source);
    destinationNames_.push_back(destination);
    return CabOutFileHandle(file);
}

INT_PTR TCabReader::DoCloseFileInfo(TFDINOTIFICATION& n) {
    const std::string source = Text(n.psz1);
    std::string destination;
    const int i = OpenFileIndex(source);
    TCabOutFile* file = CabOutFileOf(n.hf);
    if (i >= 0) {
        destination = destinationNames_[static_cast<size_t>(i)];
        sourceNames_.erase(sourceNames_.begin() + i);
        destinationNames_.erase(destinationNames_.begin() + i);
    }
    comp::FileHandle handle(file ? INVALID_HANDLE_VALUE : reinterpret_cast<HANDLE>(n.hf));
    if (i >= 0 && (n.attribs & FILE_ATTRIBUTE_READONLY)) wroteReadOnly_ = true;
    if (file && i >= 0) writer_->Finish(file, n.date, n.time, n.attribs & kKeptAttributes);
    else if (file) file->Abandon();
    else if (i >= 0) CabSetFileTimeAttrs(std::move(handle), destination, n.date, n.time, n.attribs & kKeptAttributes);
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
    wroteReadOnly_ = false;
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
