// The cabinet reader's file writer: worker threads that make, write and finish the extracted files.
#include "wallpaper/CabWriter.h"

#include <cstring>
#include <deque>
#include <new>
#include <utility>

namespace {

// A file's data is gathered into blocks of this size before it is written.
constexpr size_t kBlockSize = 1u << 20;
// The memory of the data handed over and not written yet is held to this much: beyond it the decoding waits.
constexpr size_t kMaxQueuedBytes = 48u << 20;
// Written blocks kept for the next data: memory that is in use already fills faster than new memory.
constexpr size_t kKeptBlocks = 16;

// The name part of a path.
std::string NamePart(const std::string& path) {
    const size_t cut = path.find_last_of("\\/");
    return cut == std::string::npos ? path : path.substr(cut + 1);
}

// A path made full the way the system reads it when it opens the file (trailing dots and blanks of a name
// dropped: "a.txt. " opens "a.txt"), or the path itself when that can't be done.
std::string SystemFullPath(const std::string& path) {
    char full[MAX_PATH];
    const DWORD length = GetFullPathNameA(path.c_str(), MAX_PATH, full, nullptr);
    return length > 0 && length < MAX_PATH ? std::string(full, length) : path;
}

// The long name of an existing file, or "" when it isn't there.
std::string LongPath(const std::string& path) {
    char full[MAX_PATH];
    const DWORD length = GetLongPathNameA(path.c_str(), full, MAX_PATH);
    return length > 0 && length < MAX_PATH ? std::string(full, length) : std::string();
}

// A hash of a file name that letter case doesn't change (as the user's code page has it, "\xEF" as "\xCF"
// too). 32 bits in either build: a name goes to the same worker of a given count in both.
uint32_t FoldedNameHash(std::string name) {
    if (!name.empty()) CharUpperBuffA(&name[0], static_cast<DWORD>(name.size()));
    uint32_t hash = 5381;
    for (const char c : name) hash = hash * 33 + static_cast<unsigned char>(c);
    return hash;
}

}  // namespace

struct TCabFileWriter::TOutFile final : TCabOutFile {
    bool Write(const void* data, size_t count) override { return owner->Write(this, data, count); }
    bool Abandon() override { return owner->CloseOnly(this); }

    TCabFileWriter* owner = nullptr;
    std::string destination;
    std::string entry;
    TWorker* worker = nullptr;
    std::vector<char> gathered;  // data not handed over yet (main thread)
    size_t expected = 0;         // the size the cabinet gives
    size_t handed = 0;           // the data given so far
    // The worker's side.
    comp::FileHandle handle;
    bool opened = false;  // made or overwritten: removed again when the extraction fails
    bool existed = false;
};

struct TCabFileWriter::TJob {
    enum TKind { jkOpen, jkWrite, jkFinish, jkClose } kind = jkOpen;
    TOutFile* file = nullptr;
    std::vector<char> data;
    uint16_t date = 0, time = 0, attributes = 0;
};

struct TCabFileWriter::TWorker {
    TCabFileWriter* owner = nullptr;
    comp::KernelHandle thread;
    CONDITION_VARIABLE ready = CONDITION_VARIABLE_INIT;
    std::deque<TJob> jobs;
};

TCabFileWriter::TCabFileWriter(unsigned workers) : workerCount_(workers ? workers : 1) {}

TCabFileWriter::~TCabFileWriter() {
    // A file whose ending never came (the workers drain their queues first) is closed with files_.
    EndWorkers();
}

void TCabFileWriter::EndWorkers() {
    AcquireSRWLockExclusive(&lock_);
    stopping_ = true;
    for (auto& worker : workers_) WakeConditionVariable(&worker->ready);
    ReleaseSRWLockExclusive(&lock_);
    // The workers end together: one wait for all of them.
    HANDLE threads[MAXIMUM_WAIT_OBJECTS];
    DWORD count = 0;
    for (auto& worker : workers_)
        if (worker->thread && count < MAXIMUM_WAIT_OBJECTS) threads[count++] = worker->thread.Get();
    if (count > 0) WaitForMultipleObjects(count, threads, TRUE, INFINITE);
    for (auto& worker : workers_) {
        if (!worker->thread) continue;
        WaitForSingleObject(worker->thread.Get(), INFINITE);
        worker->thread.Reset();
    }
}

void TCabFileWriter::StartWorkers() {
    // Room for every worker is made before any thread starts: a started thread is always in workers_, to
    // be woken and waited for, and its TWorker lives as long as the writer.
    workers_.reserve(workerCount_);
    for (unsigned i = 0; i < workerCount_; ++i) {
        auto worker = std::make_unique<TWorker>();
        worker->owner = this;
        worker->thread.Reset(CreateThread(nullptr, 0, WorkerMain, worker.get(), 0, nullptr));
        if (!worker->thread) {
            if (workers_.empty()) throw std::bad_alloc();
            break;  // fewer workers do the same work
        }
        workers_.push_back(std::move(worker));  // within the room made: raises nothing
    }
}

TCabOutFile* TCabFileWriter::Open(const std::string& destination, const std::string& entry, size_t expectedSize) {
    if (workers_.empty()) StartWorkers();
    auto file = std::make_unique<TOutFile>();
    file->owner = this;
    file->destination = destination;
    file->entry = entry;
    file->expected = expectedSize;
    file->worker = WorkerFor(destination);
    TOutFile* result = file.get();
    files_.push_back(std::move(file));
    TJob job;
    job.kind = TJob::jkOpen;
    if (!Hand(result, std::move(job))) throw std::bad_alloc();
    return result;
}

TCabFileWriter::TWorker* TCabFileWriter::WorkerFor(const std::string& destination) {
    // Every spelling of a path that reaches one file has that file's name part, letter case aside, once
    // the path is read as the system reads it; folders spelt otherwise don't change it. A short (8.3)
    // name is the one spelling that only the file system can tell: it is looked up once every file handed
    // over before is made, and stands for the long name it reaches.
    const std::string full = SystemFullPath(destination);
    std::string name = NamePart(full);
    if (name.find('~') != std::string::npos) {
        WaitIdle();
        const std::string reached = LongPath(full);
        if (!reached.empty()) name = NamePart(reached);
    }
    return workers_[FoldedNameHash(name) % workers_.size()].get();
}

size_t TCabFileWriter::WorkerOf(const TCabOutFile* file) const {
    const TWorker* worker = static_cast<const TOutFile*>(file)->worker;
    size_t index = 0;
    while (index < workers_.size() && workers_[index].get() != worker) ++index;
    return index;
}

void TCabFileWriter::WaitIdle() {
    AcquireSRWLockExclusive(&lock_);
    while (unfinishedJobs_ > 0) SleepConditionVariableSRW(&progress_, &lock_, INFINITE, 0);
    ReleaseSRWLockExclusive(&lock_);
}

bool TCabFileWriter::Hand(TOutFile* file, TJob&& job) {
    job.file = file;
    const size_t bytes = job.data.capacity();  // the memory it holds, a part-filled block's too
    AcquireSRWLockExclusive(&lock_);
    while (queuedBytes_ > kMaxQueuedBytes && !failed_) SleepConditionVariableSRW(&progress_, &lock_, INFINITE, 0);
    bool handed = true;
    try {
        file->worker->jobs.push_back(std::move(job));
        queuedBytes_ += bytes;
        ++unfinishedJobs_;
        WakeConditionVariable(&file->worker->ready);
    } catch (...) {
        handed = false;
    }
    ReleaseSRWLockExclusive(&lock_);
    return handed;
}

bool TCabFileWriter::Write(TCabOutFile* outFile, const void* data, size_t count) {
    TOutFile* file = static_cast<TOutFile*>(outFile);
    // A block that can't be handed over is lost: the write fails, even when that block held its last part.
    bool kept = true;
    try {
        const char* bytes = static_cast<const char*>(data);
        while (kept && count > 0) {
            if (file->gathered.capacity() == 0) {
                // A file smaller than a block gets a buffer of its size; larger ones take whole blocks, for
                // their last part too (a written block's memory fills faster than new memory).
                const size_t left = file->expected > file->handed ? file->expected - file->handed : 0;
                if (left > 0 && left < kBlockSize && file->handed == 0) file->gathered.reserve(left);
                else file->gathered = TakeBlock();
            }
            const size_t room = kBlockSize - file->gathered.size();
            const size_t part = count < room ? count : room;
            file->gathered.insert(file->gathered.end(), bytes, bytes + part);
            bytes += part;
            count -= part;
            file->handed += part;
            if (file->gathered.size() == kBlockSize) {
                TJob job;
                job.kind = TJob::jkWrite;
                job.data = std::move(file->gathered);
                file->gathered = std::vector<char>();
                kept = Hand(file, std::move(job));
            }
        }
    } catch (...) {
        kept = false;  // the data can't be kept
    }
    if (kept) return true;
    NoteFailure(file, ERROR_NOT_ENOUGH_MEMORY);
    return false;
}

std::vector<char> TCabFileWriter::TakeBlock() {
    std::vector<char> block;
    AcquireSRWLockExclusive(&lock_);
    if (!keptBlocks_.empty()) {
        block = std::move(keptBlocks_.back());
        keptBlocks_.pop_back();
    }
    ReleaseSRWLockExclusive(&lock_);
    if (block.capacity() < kBlockSize) block.reserve(kBlockSize);
    return block;
}

bool TCabFileWriter::Finish(TCabOutFile* outFile, uint16_t date, uint16_t time, uint16_t attributes) {
    TOutFile* file = static_cast<TOutFile*>(outFile);
    TJob job;
    job.kind = TJob::jkFinish;
    job.data = std::move(file->gathered);
    file->gathered = std::vector<char>();
    job.date = date;
    job.time = time;
    job.attributes = attributes;
    if (Hand(file, std::move(job))) return true;
    NoteFailure(file, ERROR_NOT_ENOUGH_MEMORY);
    return false;
}

bool TCabFileWriter::CloseOnly(TCabOutFile* outFile) {
    TOutFile* file = static_cast<TOutFile*>(outFile);
    TJob job;
    job.kind = TJob::jkClose;
    job.data = std::move(file->gathered);
    file->gathered = std::vector<char>();
    if (Hand(file, std::move(job))) return true;
    NoteFailure(file, ERROR_NOT_ENOUGH_MEMORY);
    return false;
}

bool TCabFileWriter::Failed() const { return failed_ != 0; }

bool TCabFileWriter::Wait(std::string& failedEntry, DWORD& error) {
    AcquireSRWLockExclusive(&lock_);
    while (unfinishedJobs_ > 0) SleepConditionVariableSRW(&progress_, &lock_, INFINITE, 0);
    const bool ok = !failed_;
    if (!ok) {
        failedEntry = failedEntry_;
        error = failedError_;
    }
    ReleaseSRWLockExclusive(&lock_);
    return ok;
}

std::vector<std::string> TCabFileWriter::WrittenFiles() {
    std::vector<std::string> written;
    AcquireSRWLockExclusive(&lock_);
    for (const auto& file : files_) {
        // A file whose ending never came is closed (the workers are idle after Wait).
        if (unfinishedJobs_ == 0) file->handle.Reset();
        try {
            if (file->opened) written.push_back(file->destination);
        } catch (...) {
            // what can't be listed stays on disk
        }
    }
    ReleaseSRWLockExclusive(&lock_);
    return written;
}

void TCabFileWriter::NoteFailure(TOutFile* file, DWORD error) {
    AcquireSRWLockExclusive(&lock_);
    if (!failed_) {
        try {
            failedEntry_ = file->entry;
        } catch (...) {
            failedEntry_.clear();
        }
        failedError_ = error ? error : static_cast<DWORD>(ERROR_WRITE_FAULT);
        failed_ = 1;
    }
    WakeAllConditionVariable(&progress_);
    ReleaseSRWLockExclusive(&lock_);
}

DWORD WINAPI TCabFileWriter::WorkerMain(void* parameter) {
    auto* worker = static_cast<TWorker*>(parameter);
    worker->owner->Run(*worker);
    return 0;
}

void TCabFileWriter::Run(TWorker& worker) {
    AcquireSRWLockExclusive(&lock_);
    for (;;) {
        while (worker.jobs.empty() && !stopping_) SleepConditionVariableSRW(&worker.ready, &lock_, INFINITE, 0);
        if (worker.jobs.empty()) {
            // Ending: the kept blocks are given back while the other workers finish their last files.
            if (keptBlocks_.empty()) break;
            std::vector<char> block = std::move(keptBlocks_.back());
            keptBlocks_.pop_back();
            ReleaseSRWLockExclusive(&lock_);
            block = std::vector<char>();
            AcquireSRWLockExclusive(&lock_);
            continue;
        }
        TJob job = std::move(worker.jobs.front());
        worker.jobs.pop_front();
        ReleaseSRWLockExclusive(&lock_);
        const size_t bytes = job.data.capacity();
        try {
            Execute(job);
        } catch (...) {
            NoteFailure(job.file, ERROR_NOT_ENOUGH_MEMORY);
        }
        AcquireSRWLockExclusive(&lock_);
        if (job.data.capacity() == kBlockSize && keptBlocks_.size() < kKeptBlocks) {
            job.data.clear();
            try {
                keptBlocks_.push_back(std::move(job.data));
            } catch (...) {
                // not kept
            }
        }
        queuedBytes_ -= bytes;
        --unfinishedJobs_;
        WakeAllConditionVariable(&progress_);
    }
    ReleaseSRWLockExclusive(&lock_);
}

void TCabFileWriter::Execute(TJob& job) {
    TOutFile& file = *job.file;
    // After a failure the extraction is undone: only handles are still closed.
    const bool working = !failed_;
    if (job.kind == TJob::jkOpen) {
        if (!working) return;
        comp::FileHandle handle = CabCreateFile(file.destination, kCabExtractOpenFlags);
        DWORD error = GetLastError();
        if (!handle && error == ERROR_ACCESS_DENIED) {
            // A read-only file of that name is overwritten: the attribute goes first.
            const DWORD attributes = GetFileAttributesA(file.destination.c_str());
            if (attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY) &&
                (attributes & FILE_ATTRIBUTE_READONLY) &&
                SetFileAttributesA(file.destination.c_str(), attributes & ~FILE_ATTRIBUTE_READONLY)) {
                handle = CabCreateFile(file.destination, kCabExtractOpenFlags);
                error = GetLastError();
            }
        }
        if (!handle) {
            NoteFailure(&file, error);
            return;
        }
        file.handle = std::move(handle);
        file.existed = error == ERROR_ALREADY_EXISTS;
        AcquireSRWLockExclusive(&lock_);
        file.opened = true;
        ReleaseSRWLockExclusive(&lock_);
        // The file is opened without truncation (a hidden file can't be truncated at its opening): cut a
        // file that was there before, so that a longer old file keeps no tail after the new content.
        if (file.existed && !SetEndOfFile(file.handle.Get())) NoteFailure(&file, GetLastError());
        return;
    }

    if (working && file.handle && !job.data.empty()) {
        DWORD done = 0;
        if (!WriteFile(file.handle.Get(), job.data.data(), static_cast<DWORD>(job.data.size()), &done, nullptr) ||
            done != job.data.size())
            NoteFailure(&file, GetLastError());
    }
    if (job.kind == TJob::jkWrite || !file.handle) return;

    if (job.kind == TJob::jkFinish && !failed_)
        CabSetFileTimeAttrs(std::move(file.handle), file.destination, job.date, job.time, job.attributes,
                            !file.existed);
    else file.handle.Reset();
}
