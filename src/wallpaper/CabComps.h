// TCabReader: extracts every file of a cabinet file, and of the continuation cabinets that follow it, into
// a destination folder with the folder structure the cabinet stores, through the cabinet library's FDI
// interface. Optional events report each step and may change or skip what is written. A failure of the
// library is raised as ECabinet. The files are made and written by a TCabFileWriter on worker threads
// while the library decodes; the library and every event stay on the caller's thread.
#pragma once

#include <windows.h>
#include <fdi.h>

#include <cstdint>
#include <exception>
#include <functional>
#include <initializer_list>
#include <string>
#include <vector>

#include "components/exceptions.h"
#include "wallpaper/CabFiles.h"  // CabLastOSError, which a failure of the library reports

class TCabFileWriter;

using TFDIERROR = FDIERROR;
using TFDINOTIFICATIONTYPE = FDINOTIFICATIONTYPE;
using TFDINOTIFICATION = FDINOTIFICATION;

// What an entry of the cabinet that stopped an extraction came to.
enum class TCabEntryFailure {
    Refused,     // the reader refused it: its name can't be made inside the destination folder
    NotWritten,  // its file could not be made or written
};

// A failure of the cabinet library: the message and the library's error record. When an entry of the
// cabinet stopped it, the message ends with what became of the entry and its name.
class ECabinet : public comp::Exception {
public:
    ECabinet(const ERF& record, bool fromCompressor, const std::string& entry = std::string(),
             TCabEntryFailure entryFailure = TCabEntryFailure::Refused);

    int32_t ErrorCode;        // the library's error code
    int32_t SystemErrorCode;  // the operating-system error behind it, or 0
    bool ErrorFlag;           // the library reported an error
    bool FromCompressor;      // always false: the system only decompresses
    // The name, as the cabinet stores it, of the entry that stopped it (refused, or its file not written),
    // or "".
    std::string RefusedEntry;
};

// ECabinet's message for an error record: the text for the code and the code in hexadecimal, and the
// system's text for the operating-system error when there is one.
std::string CabinetErrorMessage(int32_t errorCode, int32_t systemErrorCode, bool errorFlag);

// Joins path parts with exactly one "\" between them; empty parts are skipped.
std::string JoinPathParts(std::initializer_list<std::string> parts);

// The reader's options, a set of TCabReaderOption bits.
enum TCabReaderOption : unsigned {
    croExecuteOnExtract = 1u << 0,            // open a file the cabinet marks to be run, once extracted
    croDontOverwriteReadOnlyFiles = 1u << 1,  // skip a file whose destination exists and is read-only
};
using TCabReaderOptions = unsigned;

// Extract's flags: stop after the given cabinet even when it names a next one.
constexpr uint8_t cefOnlyThisCabinet = 1u << 0;

class TCabReader;

using TCabReaderCabinetInfoEvent =
    std::function<void(TCabReader& Sender, const std::string& aNextCabName, const std::string& aNextDiskName,
                       const std::string& aCabPath, uint16_t aSetID, uint16_t aCabNo, bool& anAbort)>;
using TCabReaderCopyFileEvent =
    std::function<void(TCabReader& Sender, const std::string& aSrcFileName, int32_t anUncompressedSize,
                       uint16_t aDate, uint16_t aTime, uint16_t anAttrs, uint16_t aFolderNo,
                       std::string& aDstFullFileName, bool& anAbort)>;
using TCabReaderCopyPartialFileEvent =
    std::function<void(TCabReader& Sender, const std::string& aSrcFileName, const std::string& aStartCabName,
                       const std::string& aStartDiskName, const std::string& aDstFullFileName, bool& anAbort)>;
using TCabReaderCloseFileEvent =
    std::function<void(TCabReader& Sender, const std::string& aSrcFileName, uint16_t aDate, uint16_t aTime,
                       uint16_t anAttrs, uint16_t aFolderNo, bool& anExec, const std::string& aDstFullFileName,
                       bool& anAbort)>;
using TCabReaderNextCabinetEvent =
    std::function<void(TCabReader& Sender, const std::string& aCabName, const std::string& aDiskName,
                       std::string& aCabPath, TFDIERROR anError, bool& anAbort)>;
using TCabReaderUnrecognizedNotifyEvent = std::function<void(
    TCabReader& Sender, TFDINOTIFICATIONTYPE aNotifyType, TFDINOTIFICATION& aNotify, int32_t& aResult)>;

class TCabReader {
public:
    TCabReader() = default;
    // Destroys the FDI context; a failure to do so is dropped.
    ~TCabReader();
    TCabReader(const TCabReader&) = delete;
    TCabReader& operator=(const TCabReader&) = delete;

    // Extracts every file of |cabinetFile| (a relative name is taken from the current folder) and of the
    // cabinets that follow it into |destinationFolder|. Raises ECabinet when the library fails or an
    // entry's name can't be made inside the folder (one that climbs out, or one too long), and passes on
    // an exception that an event raised. On failure every file and folder this extraction made is
    // removed again.
    void Extract(const std::string& cabinetFile, const std::string& destinationFolder, uint8_t flags = 0);

    // The FDI context, made at the first call.
    HFDI GetContext();
    // Destroys the FDI context (raising ECabinet when the library fails); it is forgotten either way.
    void DestroyContext();
    // Raises ECabinet made from the error record when |result| is false.
    void Check(bool result);

    // Answers one notification of the library during Extract; the result goes back to the library.
    INT_PTR Notify(TFDINOTIFICATIONTYPE type, TFDINOTIFICATION& notification);

    TCabReaderOptions Options = 0;
    TCabReaderCabinetInfoEvent OnCabinetInfo;
    TCabReaderCopyFileEvent OnCopyFile;
    TCabReaderCopyPartialFileEvent OnCopyPartialFile;
    TCabReaderCloseFileEvent OnCloseFile;
    TCabReaderNextCabinetEvent OnNextCabinet;
    TCabReaderUnrecognizedNotifyEvent OnUnrecognizedNotify;

private:
    // The library's notification callback: hands the notification to the reader it names; an exception is
    // kept for Extract and the library is told to stop.
    static INT_PTR DIAMONDAPI NotifyCallback(FDINOTIFICATIONTYPE type, PFDINOTIFICATION notification);

    void CreateContext();
    // Extract's walk along the cabinet set, from the first cabinet.
    void ExtractSet(uint8_t flags);
    INT_PTR DoCabinetInfo(TFDINOTIFICATION& n);
    INT_PTR DoPartialFile(TFDINOTIFICATION& n);
    INT_PTR DoCopyFile(TFDINOTIFICATION& n);
    INT_PTR DoCloseFileInfo(TFDINOTIFICATION& n);
    INT_PTR DoNextCabinet(TFDINOTIFICATION& n);
    // The open-file entry of a source name, or -1.
    int OpenFileIndex(const std::string& source) const;
    // Makes every missing folder of |folder|, noting each one it made; false with CabLastOSError set.
    bool MakeFolders(const std::string& folder);
    // Removes the files and then the folders this extraction made (the writer has finished).
    void RemoveWhatWasWritten();
    // Waits for the writer; raises ECabinet naming the entry whose file failed.
    void WaitForWriter();

    HFDI context_ = nullptr;
    std::string cabinetFile_;
    std::string destinationFolder_;
    std::string fullDestinationFolder_;  // made a full path, with its trailing "\\"
    std::string nextCabinetName_;
    std::string nextDiskName_;
    std::string cabinetPath_;
    std::string nextCabinetPath_;
    bool nextCabinetPathGiven_ = false;
    ERF errors_{};
    // The extracted files still open for writing: source names and destinations, pairwise.
    std::vector<std::string> sourceNames_;
    std::vector<std::string> destinationNames_;
    // The folder of the last file extracted, known to exist.
    std::string madeFolder_;
    bool madeFolderFresh_ = false;  // made by this extraction when it was last reached
    bool wroteReadOnly_ = false;    // this extraction has given a file the read-only attribute
    // Makes, writes and finishes the extracted files during an extraction.
    TCabFileWriter* writer_ = nullptr;
    // The folders this extraction made, in order: removed again when it fails.
    std::vector<std::string> madeFolders_;
    // The entry whose name was refused, and the system's error that says why.
    std::string refusedEntry_;
    DWORD refusedError_ = 0;
    // An exception raised inside a notification, kept until FDICopy returns.
    std::exception_ptr pending_;
};
