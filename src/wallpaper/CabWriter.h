// TCabFileWriter: writes the files that the cabinet reader extracts on worker threads, so that making,
// writing and finishing the files overlaps the cabinet library's decoding. Each file goes whole to one
// worker, which makes it, writes its data in large blocks in order and finishes it; destinations that
// reach one file, however they are spelt (letter case, trailing dots or blanks, a short name), go to the
// same worker, so that they are written in turn and the last one handed over wins. The first failure is
// kept with the cabinet entry it belongs to and stops the work still waiting. Open, Write, Finish,
// CloseOnly, Wait and EndWorkers are called from one thread only.
#pragma once

#include <windows.h>

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "wallpaper/CabFiles.h"

class TCabFileWriter {
public:
    struct TWorker;

    explicit TCabFileWriter(unsigned workers);
    // Ends the workers (see EndWorkers); never raises.
    ~TCabFileWriter();
    TCabFileWriter(const TCabFileWriter&) = delete;
    TCabFileWriter& operator=(const TCabFileWriter&) = delete;

    // Hands over a file to be made (or overwritten: a read-only file loses that attribute first, an older
    // and longer file is cut) at |destination| for the cabinet entry |entry|, which the cabinet says holds
    // |expectedSize| bytes. May raise std::bad_alloc. The file's own Write and Abandon are this writer's
    // Write and CloseOnly; those, and Finish, take only files that this writer opened.
    TCabOutFile* Open(const std::string& destination, const std::string& entry, size_t expectedSize);
    // Adds data to the file; false (with nothing raised, the failure kept) when it can't be kept.
    bool Write(TCabOutFile* file, const void* data, size_t count);
    // Ends the file: its creation and last-write times from a DOS date and time (local time) and its
    // attributes are set, then it is closed. False when that can't be handed over.
    bool Finish(TCabOutFile* file, uint16_t date, uint16_t time, uint16_t attributes);
    // Ends the file without setting its times or attributes.
    bool CloseOnly(TCabOutFile* file);

    // Whether a file has failed so far (no waiting).
    bool Failed() const;
    // Waits until every file handed over is finished; false when one failed, with the entry and the
    // system's error of the first failure.
    bool Wait(std::string& failedEntry, DWORD& error);
    // Lets the workers finish the work handed over, then waits until they have ended; never raises.
    // Nothing may be handed over after it.
    void EndWorkers();
    // The destinations that were made or overwritten, in the order they were opened; after Wait, a file
    // still open (its ending never came) is closed first.
    std::vector<std::string> WrittenFiles();
    // The worker a file went to, numbered from 0: every name that reaches one file has the same.
    size_t WorkerOf(const TCabOutFile* file) const;

private:
    struct TOutFile;
    struct TJob;
    static DWORD WINAPI WorkerMain(void* parameter);
    void Run(TWorker& worker);
    void Execute(TJob& job);
    // The worker for a file to be made at |destination|: the one of every other spelling of that file.
    TWorker* WorkerFor(const std::string& destination);
    // Waits until every job handed over is done.
    void WaitIdle();
    bool Hand(TOutFile* file, TJob&& job);
    void NoteFailure(TOutFile* file, DWORD error);
    void StartWorkers();
    // An empty block for a file's data, of the block size.
    std::vector<char> TakeBlock();

    unsigned workerCount_;
    std::vector<std::unique_ptr<TWorker>> workers_;
    std::vector<std::unique_ptr<TOutFile>> files_;
    std::vector<std::vector<char>> keptBlocks_;
    mutable SRWLOCK lock_ = SRWLOCK_INIT;
    CONDITION_VARIABLE progress_ = CONDITION_VARIABLE_INIT;
    size_t queuedBytes_ = 0;
    size_t unfinishedJobs_ = 0;
    bool stopping_ = false;
    volatile LONG failed_ = 0;
    std::string failedEntry_;
    DWORD failedError_ = 0;
};
