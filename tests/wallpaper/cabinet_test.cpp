// The cabinet library binding, the cabinet reader and its file writer: gcab packages (folders, content,
// times), cabinets of our own writer (hostile names, attributes, chains), overwriting, events, failures and
// their messages, names that reach one file, allocations that fail in the file writer and the library's
// callbacks, and stand-in libraries that can't be bound or fail to destroy a context.
#include <gtest/gtest.h>

#include <windows.h>
#include <tlhelp32.h>

#include <algorithm>
#include <cstdint>
#include <new>
#include <stdexcept>
#include <string>
#include <utility>
#include <vector>

#include "cab_writer.h"
#include "child_process.h"
#include "failing_new.h"
#include "components/exceptions.h"
#include "components/paths.h"
#include "fixtures.h"
#include "wallpaper/CabComps.h"
#include "wallpaper/CabIntf.h"
#include "wallpaper/CabNames.h"
#include "wallpaper/CabWriter.h"

using testing_support::CabEntry;
using testing_support::CabinetContents;
using testing_support::ReadWholeFile;
using testing_support::ScratchFolder;
using testing_support::WriteCabinet;
using testing_support::WriteWholeFile;

namespace {

std::string DataFile(const std::string& name) { return testing_support::ExeFolder() + "\\wallpaper_data\\" + name; }

DWORD Attributes(const std::string& file) { return GetFileAttributesA(file.c_str()); }

// A file's last-write (or creation) time as local "YYYY-MM-DD hh:mm:ss".
std::string LocalTime(const std::string& file, bool creation = false) {
    WIN32_FILE_ATTRIBUTE_DATA data{};
    if (!GetFileAttributesExA(file.c_str(), GetFileExInfoStandard, &data)) return "<none>";
    FILETIME local{};
    SYSTEMTIME t{};
    FileTimeToLocalFileTime(creation ? &data.ftCreationTime : &data.ftLastWriteTime, &local);
    FileTimeToSystemTime(&local, &t);
    char text[32];
    snprintf(text, sizeof text, "%04u-%02u-%02u %02u:%02u:%02u", t.wYear, t.wMonth, t.wDay, t.wHour, t.wMinute,
             t.wSecond);
    return text;
}

// Every file under |folder|, relative to it, sorted.
void ListFiles(const std::string& folder, const std::string& prefix, std::vector<std::string>& out) {
    WIN32_FIND_DATAA fd;
    HANDLE h = FindFirstFileA((folder + "*").c_str(), &fd);
    if (h == INVALID_HANDLE_VALUE) return;
    do {
        const std::string name = fd.cFileName;
        if (name == "." || name == "..") continue;
        if (fd.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) ListFiles(folder + name + "\\", prefix + name + "\\", out);
        else out.push_back(prefix + name);
    } while (FindNextFileA(h, &fd));
    FindClose(h);
}

std::vector<std::string> FilesUnder(const std::string& folder) {
    std::vector<std::string> files;
    ListFiles(comp::IncludeTrailingBackslash(folder), "", files);
    std::sort(files.begin(), files.end());
    return files;
}

CabEntry Entry(const std::string& name, const std::string& content, uint16_t attributes = 0x20) {
    CabEntry e;
    e.name = name;
    e.content = content;
    e.attributes = attributes;
    return e;
}

// Runs this test binary, copied into |folder| beside a stand-in "cabinet.dll", in a child mode; its exit code.
DWORD RunBesideFakeCabinet(const ScratchFolder& folder, const std::string& fakeFolder, const std::string& mode) {
    char exe[MAX_PATH];
    GetModuleFileNameA(nullptr, exe, MAX_PATH);
    const std::string copy = folder.Path() + "cabinet_child.exe";
    if (!CopyFileA(exe, copy.c_str(), FALSE)) return 0xFFFFFFF0;
    if (!CopyFileA(DataFile(fakeFolder + "\\cabinet.dll").c_str(), (folder.Path() + "cabinet.dll").c_str(), FALSE))
        return 0xFFFFFFF1;
    // (Wine prefers its own built-in cabinet library to one beside the program; the test's environment
    // turns that round: see CMakeLists.txt. Windows takes the one beside the program anyway.)
    return testing_support::RunProgram("\"" + copy + "\" --child " + mode);
}

// Child: binding a cabinet library without FCIFlushFolder fails with the system's error for the lookup,
// twice, and leaves nothing bound or loaded.
testing_support::ChildMode unboundChild("bind-without-flush-folder", [](const std::vector<std::string>&) {
    for (int attempt = 0; attempt < 2; ++attempt) {
        TCabReader reader;
        try {
            reader.GetContext();
            return 10;
        } catch (const comp::EOSError& e) {
            if (e.Code() != ERROR_PROC_NOT_FOUND) return 11;
        }
        if (CabIntf::CabLibHandle != nullptr) return 12;
        if (GetModuleHandleA("cabinet.dll") != nullptr) return 13;
    }
    return 0;
});

// Child: a failing context destroy raises ECabinet from DestroyContext, and nothing from the destructor.
testing_support::ChildMode destroyChild("destroy-fails", [](const std::vector<std::string>&) {
    {
        TCabReader reader;
        reader.GetContext();
        try {
            reader.DestroyContext();
            return 20;
        } catch (const ECabinet& e) {
            if (e.ErrorFlag || std::string(e.what()) != "FDI error") return 21;
        }
        reader.DestroyContext();  // forgotten after the failure: nothing left to destroy
    }
    {
        TCabReader reader;
        reader.GetContext();
    }  // the destructor's failing destroy ends here, not the process
    return 0;
});

}  // namespace

TEST(CabinetBinding, LibraryWithoutAllNineEntryPointsIsNotBound) {
    ScratchFolder folder;
    EXPECT_EQ(RunBesideFakeCabinet(folder, "fake_noflush", "bind-without-flush-folder"), 0u);
}

TEST(CabinetBinding, FailingContextDestroyRaisesOnlyOutsideTheDestructor) {
    ScratchFolder folder;
    EXPECT_EQ(RunBesideFakeCabinet(folder, "fake_baddestroy", "destroy-fails"), 0u);
}

TEST(CabinetReader, GcabPackageComesOutWithFoldersContentAndTimes) {
    ScratchFolder scratch;
    const std::string dest = scratch.Path() + "T";  // no trailing "\": the reader adds it
    TCabReader reader;
    reader.Extract(DataFile("tree.cab"), dest);
    reader.Extract(DataFile("tree.cab"), dest);  // the context is kept for a second extraction

    const std::string tree = DataFile("tree\\");
    EXPECT_EQ(FilesUnder(dest), (std::vector<std::string>{"a.txt", "sub\\b.bin", "sub\\deeper\\c.txt", "sub\\empty.txt"}));
    for (const char* name : {"a.txt", "sub\\b.bin", "sub\\deeper\\c.txt", "sub\\empty.txt"}) {
        SCOPED_TRACE(name);
        EXPECT_EQ(ReadWholeFile(dest + "\\" + name), ReadWholeFile(tree + name));
        EXPECT_EQ(Attributes(dest + "\\" + name), static_cast<DWORD>(FILE_ATTRIBUTE_ARCHIVE));
    }
    EXPECT_EQ(LocalTime(dest + "\\a.txt"), "2001-02-03 04:05:06");
    EXPECT_EQ(LocalTime(dest + "\\a.txt", true), "2001-02-03 04:05:06");
    EXPECT_EQ(LocalTime(dest + "\\sub\\deeper\\c.txt"), "2010-11-12 13:14:16");
}

TEST(CabinetReader, OverwritingCutsTheOldTailAndHonoursReadOnly) {
    ScratchFolder scratch;
    const std::string dest = scratch.Path();
    const std::string a = dest + "a.txt", c = dest + "sub\\deeper\\c.txt";
    comp::ForceDirectories(dest + "sub\\deeper");
    WriteWholeFile(a, std::string(5000, 'x'));
    SetFileAttributesA(a.c_str(), FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN);
    WriteWholeFile(c, "old");
    SetFileAttributesA(c.c_str(), FILE_ATTRIBUTE_READONLY);

    {
        TCabReader reader;
        reader.Options = croDontOverwriteReadOnlyFiles;
        reader.Extract(DataFile("tree.cab"), dest);
    }
    EXPECT_EQ(ReadWholeFile(a), std::string(5000, 'x'));  // skipped, the others come out
    EXPECT_EQ(ReadWholeFile(c), "old");
    EXPECT_EQ(ReadWholeFile(dest + "sub\\b.bin"), ReadWholeFile(DataFile("tree\\sub\\b.bin")));

    TCabReader reader;
    reader.Extract(DataFile("tree.cab"), dest);
    EXPECT_EQ(ReadWholeFile(a), ReadWholeFile(DataFile("tree\\a.txt")));  // no tail of the old 5000 bytes
    EXPECT_EQ(ReadWholeFile(c), ReadWholeFile(DataFile("tree\\sub\\deeper\\c.txt")));
    EXPECT_EQ(Attributes(a), static_cast<DWORD>(FILE_ATTRIBUTE_ARCHIVE));

    // A read-only file that this extraction wrote is kept too, when the cabinet holds its name again: in a
    // folder the extraction makes and in one that is there.
    CabinetContents twice;
    twice.files = {Entry("ro\\twice.txt", "first", 0x21), Entry("ro\\twice.txt", "second")};
    WriteCabinet(dest + "twice.cab", twice);
    for (const std::string& folder : {dest + "made\\", dest + "there\\"}) {
        SCOPED_TRACE(folder);
        if (folder == dest + "there\\") comp::ForceDirectories(folder + "ro");
        TCabReader keeper;
        keeper.Options = croDontOverwriteReadOnlyFiles;
        keeper.Extract(dest + "twice.cab", folder);
        EXPECT_EQ(ReadWholeFile(folder + "ro\\twice.txt"), "first");
        EXPECT_EQ(Attributes(folder + "ro\\twice.txt"),
                  static_cast<DWORD>(FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_ARCHIVE));
    }
}

namespace {

// The writer's choice of worker for a name part as it is hashed: the name's bytes, 32 bits, modulo the
// number of workers. The test checks it against the writer for the names the writer hashes unchanged.
size_t WorkerOfHashedName(const std::string& name, size_t workers) {
    uint32_t hash = 5381;
    for (const char c : name) hash = hash * 33 + static_cast<unsigned char>(c);
    return hash % workers;
}

std::string AsciiUpper(std::string name) {
    for (char& c : name)
        if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
    return name;
}

std::string CodePageUpper(std::string name) {
    if (!name.empty()) CharUpperBuffA(&name[0], static_cast<DWORD>(name.size()));
    return name;
}

// Whether two names of one file would go to different workers if the writer didn't fold them: taken as
// they stand, and with only ASCII letters folded.
bool ApartUnfolded(const std::string& a, const std::string& b, size_t workers) {
    return WorkerOfHashedName(a, workers) != WorkerOfHashedName(b, workers) &&
           WorkerOfHashedName(AsciiUpper(a), workers) != WorkerOfHashedName(AsciiUpper(b), workers);
}

}  // namespace

TEST(CabinetWriter, FilesReachedByAnAliasAreWrittenInTurnTheLastWinning) {
    constexpr unsigned kWorkers = 3;
    ScratchFolder scratch;
    // A long name and the short name this system gives it, among long names whose two names would go to
    // different workers unfolded.
    std::string longName, shortName;
    for (int i = 0; i < 20 && shortName.empty(); ++i) {
        const std::string name = "wallpaper-data" + std::to_string(i) + ".bin";
        const std::string path = scratch.Path() + name;
        WriteWholeFile(path, "");
        char shortPath[MAX_PATH] = {};
        ASSERT_NE(GetShortPathNameA(path.c_str(), shortPath, MAX_PATH), 0u);
        DeleteFileA(path.c_str());
        const std::string given = comp::ExtractFileName(shortPath);
        if (ApartUnfolded(name, given, kWorkers)) {
            longName = name;
            shortName = given;
        }
    }
    ASSERT_FALSE(shortName.empty());

    // Each file is reached by two names (a trailing dot, a trailing blank, letter case beyond ASCII, a
    // short name). The first name comes many times over, so that its worker still has work in hand when
    // the second one comes; both go to one worker, which writes them in turn.
    struct Alias {
        std::string first, second;
        std::string file;  // the name the file has
    };
    const Alias aliases[] = {{"dot.ini.", "dot.ini", "dot.ini"},
                             {"one.dat ", "one.dat", "one.dat"},
                             {"na\xEFve.txt", "NA\xCFVE.TXT", "NA\xCFVE.TXT"},
                             {longName, shortName, longName}};
    int n = 0;
    for (const Alias& alias : aliases) {
        SCOPED_TRACE(alias.second);
        // Without the folding the two names would go to different workers: the case shows the folding.
        ASSERT_TRUE(ApartUnfolded(alias.first, alias.second, kWorkers));
        const std::string dest = scratch.Path() + std::to_string(++n) + "\\";
        comp::ForceDirectories(dest);
        {
            TCabFileWriter writer(kWorkers);
            auto put = [&](const std::string& name, const std::string& content) {
                TCabOutFile* file = writer.Open(dest + name, name, content.size());
                EXPECT_TRUE(writer.Write(file, content.data(), content.size()));
                EXPECT_TRUE(writer.Finish(file, 0x2821, 0, FILE_ATTRIBUTE_ARCHIVE));
                return file;
            };
            const TCabOutFile* first = put(alias.first, "first " + alias.first);
            for (int i = 1; i < 20; ++i) put(alias.first, "first " + alias.first);
            const TCabOutFile* last = put(alias.second, "last " + alias.second);
            EXPECT_EQ(writer.WorkerOf(first), writer.WorkerOf(last));
            // The file's own name, which the writer hashes as it stands but for letter case, goes where the
            // hash above says: that hash is the writer's.
            EXPECT_EQ(WorkerOfHashedName(CodePageUpper(alias.file), kWorkers), writer.WorkerOf(last));
            writer.EndWorkers();
            std::string entry;
            DWORD error = 0;
            EXPECT_TRUE(writer.Wait(entry, error)) << entry << ": " << error;
        }
        EXPECT_EQ(FilesUnder(dest).size(), 1u);
        EXPECT_EQ(ReadWholeFile(dest + alias.second), "last " + alias.second);
    }
}

TEST(CabinetWriter, AWriteWhoseBlockCanNotBeHandedOverFails) {
    ScratchFolder scratch;
    const std::string block(1u << 20, 'b');  // one block of the writer
    const size_t large = 64u << 20;          // a file that takes whole blocks
    TCabFileWriter writer(1);
    // Sixteen files, each holding a block of its own until all are ended, leave sixteen written blocks
    // for the next data: the writes below take no new memory for their data, only for the worker's queue,
    // which grows every few blocks.
    std::vector<TCabOutFile*> parts;
    for (int i = 0; i < 16; ++i) {
        parts.push_back(writer.Open(scratch.Path() + "part" + std::to_string(i), "part", large));
        ASSERT_TRUE(writer.Write(parts.back(), block.data(), block.size() - 1));
    }
    for (TCabOutFile* part : parts) ASSERT_TRUE(writer.Finish(part, 0x2821, 0, FILE_ATTRIBUTE_ARCHIVE));
    TCabOutFile* file = writer.Open(scratch.Path() + "big.bin", "big.bin", large);
    std::string entry;
    DWORD error = 0;
    ASSERT_TRUE(writer.Wait(entry, error));

    int refusedAt = -1, failedAt = -1;
    bool keptWhenRefused = false;
    {
        testing_support::FailingAllocations failing;
        for (int i = 0; i < 16 && refusedAt < 0 && failedAt < 0; ++i) {
            const int refused = failing.Refused();
            const bool kept = writer.Write(file, block.data(), block.size());
            if (failing.Refused() > refused) {
                refusedAt = i;
                keptWhenRefused = kept;
            } else if (!kept) {
                failedAt = i;
            }
        }
    }
    ASSERT_GE(refusedAt, 0) << "the queue never grew";
    EXPECT_EQ(failedAt, -1);
    EXPECT_FALSE(keptWhenRefused) << "write " << refusedAt << " lost its block and answered true";
    writer.EndWorkers();
    EXPECT_FALSE(writer.Wait(entry, error));
    EXPECT_EQ(entry, "big.bin");
}

namespace {

// The threads of this process.
int ThreadCount() {
    HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPTHREAD, 0);
    if (snapshot == INVALID_HANDLE_VALUE) return -1;
    int count = 0;
    THREADENTRY32 entry{};
    entry.dwSize = sizeof entry;
    for (BOOL more = Thread32First(snapshot, &entry); more; more = Thread32Next(snapshot, &entry))
        if (entry.th32OwnerProcessID == GetCurrentProcessId()) ++count;
    CloseHandle(snapshot);
    return count;
}

}  // namespace

TEST(CabinetWriter, NoWorkerOutlivesAWriterWhoseStartFailed) {
    ScratchFolder scratch;
    const int before = ThreadCount();
    ASSERT_GT(before, 0);
    // Each allocation of the first Open (which starts the workers) fails in turn.
    bool refused = true;
    for (int skip = 0; refused && skip < 100; ++skip) {
        {
            TCabFileWriter writer(3);
            testing_support::FailingAllocations failing(skip, 1);
            try {
                writer.Open(scratch.Path() + "a.txt", "a.txt", 1);
            } catch (const std::bad_alloc&) {
            }
            refused = failing.Refused() > 0;
        }
        // An ended thread may linger in the list for a moment.
        int after = ThreadCount();
        for (int tries = 0; after > before && tries < 100; ++tries) {
            Sleep(20);
            after = ThreadCount();
        }
        ASSERT_EQ(after, before) << "allocation " << skip << " refused";
    }
    EXPECT_FALSE(refused) << "Open never got through";
}

TEST(CabinetReader, EventsSeeEveryStepAndMayRedirectOrSkipAFile) {
    ScratchFolder scratch;
    const std::string dest = scratch.Path() + "T\\";
    TCabReader reader;
    std::vector<std::string> seen;
    int infos = 0;
    reader.OnCabinetInfo = [&](TCabReader& sender, const std::string& next, const std::string&, const std::string& path,
                               uint16_t, uint16_t, bool&) {
        EXPECT_EQ(&sender, &reader);
        EXPECT_EQ(next, "");
        EXPECT_EQ(path, DataFile(""));
        ++infos;
    };
    reader.OnCopyFile = [&](TCabReader&, const std::string& source, int32_t size, uint16_t, uint16_t, uint16_t,
                            uint16_t, std::string& destination, bool&) {
        seen.push_back("copy " + source + " " + std::to_string(size) + " -> " + destination.substr(dest.size()));
        if (source == "sub\\b.bin") destination.clear();
        if (source == "a.txt") destination = dest + "renamed.txt";
    };
    std::vector<std::string> unfinished;
    reader.OnCloseFile = [&](TCabReader&, const std::string& source, uint16_t, uint16_t, uint16_t, uint16_t,
                             bool& exec, const std::string& destination, bool&) {
        seen.push_back("close " + source + " -> " + destination.substr(dest.size()) + (exec ? " run" : ""));
        // The file is written whole by the time its handler runs.
        if (ReadWholeFile(destination) != ReadWholeFile(DataFile("tree\\" + source))) unfinished.push_back(source);
    };
    reader.Extract(DataFile("tree.cab"), dest);
    EXPECT_TRUE(unfinished.empty()) << unfinished.front();

    const std::string cSize = std::to_string(ReadWholeFile(DataFile("tree\\sub\\deeper\\c.txt")).size());
    EXPECT_EQ(infos, 1);
    EXPECT_EQ(seen, (std::vector<std::string>{"copy a.txt 10 -> a.txt", "close a.txt -> renamed.txt",
                                              "copy sub\\b.bin 100000 -> sub\\b.bin",
                                              "copy sub\\deeper\\c.txt " + cSize + " -> sub\\deeper\\c.txt",
                                              "close sub\\deeper\\c.txt -> sub\\deeper\\c.txt",
                                              "copy sub\\empty.txt 0 -> sub\\empty.txt",
                                              "close sub\\empty.txt -> sub\\empty.txt"}));
    EXPECT_EQ(FilesUnder(dest), (std::vector<std::string>{"renamed.txt", "sub\\deeper\\c.txt", "sub\\empty.txt"}));
}

TEST(CabinetReader, AbortAndExceptionsFromEventsStopTheExtraction) {
    ScratchFolder scratch;
    {
        TCabReader reader;
        reader.OnCopyFile = [](TCabReader&, const std::string& source, int32_t, uint16_t, uint16_t, uint16_t, uint16_t,
                               std::string&, bool& abort) { abort = source == "sub\\b.bin"; };
        try {
            reader.Extract(DataFile("tree.cab"), scratch.Path() + "A");
            FAIL() << "no exception";
        } catch (const ECabinet& e) {
            EXPECT_EQ(e.ErrorCode, 11);
            EXPECT_TRUE(e.ErrorFlag);
            EXPECT_FALSE(e.FromCompressor);
            EXPECT_EQ(std::string(e.what()), "FDI aborted [0x000B]");
        }
        EXPECT_TRUE(FilesUnder(scratch.Path() + "A").empty());  // what was extracted is removed again
    }
    // An exception inside a notification never crosses the library: it comes out of Extract afterwards.
    TCabReader reader;
    int copies = 0;
    reader.OnCopyFile = [&](TCabReader&, const std::string& source, int32_t, uint16_t, uint16_t, uint16_t, uint16_t,
                            std::string&, bool&) {
        ++copies;
        if (source == "sub\\b.bin") throw std::runtime_error("handler failed");
    };
    EXPECT_THROW(
        {
            try {
                reader.Extract(DataFile("tree.cab"), scratch.Path() + "B");
            } catch (const std::runtime_error& e) {
                EXPECT_STREQ(e.what(), "handler failed");
                throw;
            }
        },
        std::runtime_error);
    EXPECT_EQ(copies, 2);
    reader.OnCopyFile = nullptr;
    reader.Extract(DataFile("tree.cab"), scratch.Path() + "B");  // the reader is fit for the next extraction
    EXPECT_EQ(FilesUnder(scratch.Path() + "B").size(), 4u);
}

TEST(CabinetReader, FailuresCarryTheLibraryCodeAndTheSystemText) {
    EXPECT_EQ(CabinetErrorMessage(2, 0, true), "Cabinet file does not have the correct format [0x0002]");
    EXPECT_EQ(CabinetErrorMessage(2, 5, true), "Cabinet file does not have the correct format [0x0002].\r\n" +
                                                   comp::SysErrorMessage(5) + " [0x0005].");
    EXPECT_EQ(CabinetErrorMessage(8, 0, false), "FDI error");
    EXPECT_EQ(CabinetErrorMessage(0x1234, 0, true), "FDI error [0x1234]");

    ScratchFolder scratch;
    TCabReader reader;
    auto codesOf = [&](const std::string& cabinet, const std::string& dest) {
        try {
            reader.Extract(cabinet, dest);
        } catch (const ECabinet& e) {
            return std::make_pair(e.ErrorCode, e.SystemErrorCode);
        }
        return std::make_pair(-1, -1);
    };
    EXPECT_EQ(codesOf(scratch.Path() + "missing.cab", scratch.Path()).first, 1);
    // No system error behind this one: the last extraction's doesn't stick to it.
    EXPECT_EQ(codesOf(DataFile("notacab.3dv"), scratch.Path()), std::make_pair(2, 0));

    // A destination that can't be opened: a folder stands where the file goes.
    comp::ForceDirectories(scratch.Path() + "D\\a.txt");
    try {
        reader.Extract(DataFile("tree.cab"), scratch.Path() + "D");
        FAIL() << "no exception";
    } catch (const ECabinet& e) {
        EXPECT_TRUE(e.ErrorFlag);
        EXPECT_EQ(e.ErrorCode, FDIERROR_TARGET_FILE);
        EXPECT_EQ(e.RefusedEntry, "a.txt");  // the entry whose file failed
        EXPECT_NE(e.SystemErrorCode, 0);
        const std::string text = comp::SysErrorMessage(static_cast<DWORD>(e.SystemErrorCode));
        const std::string message = e.what();
        EXPECT_NE(message.find(".\r\n" + text + " [0x"), std::string::npos) << message;
        // Not refused: its file couldn't be written.
        const std::string written = "].\r\nCould not write cabinet entry: a.txt";
        EXPECT_EQ(message.substr(message.size() - std::min(message.size(), written.size())), written) << message;
    }
}

TEST(CabinetReader, AFileCallbackAnswersAFailedAllocationAsAFailure) {
    ScratchFolder scratch;
    std::string cabinet = scratch.Path() + "a-cabinet-with-a-long-name.cab";
    WriteWholeFile(cabinet, "MSCF");
    CabLastOSError = 0;
    INT_PTR hf = 0;
    bool raised = false;
    {
        testing_support::FailingAllocations failing;
        try {
            hf = CabOpen(&cabinet[0], 0, 0);
        } catch (...) {
            raised = true;
        }
    }
    EXPECT_FALSE(raised) << "an exception left the open callback";
    EXPECT_EQ(hf, -1);
    EXPECT_EQ(CabLastOSError, static_cast<DWORD>(ERROR_NOT_ENOUGH_MEMORY));
}

TEST(CabinetReader, EntryNamesThatLeaveTheDestinationFailTheExtractionNamingThem) {
    ScratchFolder scratch;
    const std::string base = scratch.Path();
    const std::string dest = base + "dest\\deep\\";
    for (const std::string& name :
         {std::string("..\\escape1.txt"), std::string("sub\\..\\..\\escape2.txt"), std::string("\\escape3.txt"),
          std::string("C:escape4.txt"), base + "escape5.txt", std::string("\\\\server\\share\\escape6.txt"),
          std::string("ok.txt:stream"), std::string("sub/../../escape7.txt"), std::string(". .\\escape8.txt"),
          std::string("...\\escape9.txt"), std::string("sub\\"), std::string("CON")}) {
        SCOPED_TRACE(name);
        CabinetContents cabinet;
        cabinet.files = {Entry("good\\before.txt", "fine"), Entry(name, "hostile " + name)};
        WriteCabinet(base + "hostile.cab", cabinet);
        TCabReader reader;
        std::vector<std::string> offered;
        reader.OnCopyFile = [&](TCabReader&, const std::string& source, int32_t, uint16_t, uint16_t, uint16_t,
                                uint16_t, std::string& destination, bool&) {
            if (!destination.empty()) offered.push_back(source);
        };
        try {
            reader.Extract(base + "hostile.cab", dest);
            ADD_FAILURE() << "extracted";
        } catch (const ECabinet& e) {
            EXPECT_EQ(e.RefusedEntry, name);
            const std::string message = e.what();
            const std::string refused = "\r\nRefused cabinet entry: " + name;
            EXPECT_EQ(message.substr(message.size() - std::min(message.size(), refused.size())), refused);
        }
        EXPECT_EQ(offered, std::vector<std::string>{"good\\before.txt"});
        // Nothing written anywhere, the file before it removed again.
        EXPECT_EQ(FilesUnder(base), std::vector<std::string>{"hostile.cab"});
    }
    EXPECT_FALSE(comp::FileExists("C:\\escape4.txt"));
    EXPECT_FALSE(comp::FileExists("C:\\escape3.txt"));
    EXPECT_FALSE(IsSafeCabinetEntryName(""));
    EXPECT_TRUE(IsSafeCabinetEntryName("a\\b.c\\.d"));
}

TEST(CabinetReader, NameTooLongToBeMadeIsAnErrorNotASkip) {
    ScratchFolder scratch;
    const std::string name = "long\\" + std::string(291, 'n') + ".txt";  // 300 characters, harmless
    CabinetContents cabinet;
    cabinet.files = {Entry(name, "long")};
    WriteCabinet(scratch.Path() + "long.cab", cabinet);
    TCabReader reader;
    try {
        reader.Extract(scratch.Path() + "long.cab", scratch.Path() + "T");
        FAIL() << "extracted";
    } catch (const ECabinet& e) {
        EXPECT_EQ(e.RefusedEntry, name);
        // Refused for its length, not as a name that climbs out.
        EXPECT_EQ(e.SystemErrorCode, ERROR_FILENAME_EXCED_RANGE) << e.what();
    }
}

TEST(CabinetReader, FailedExtractionRemovesWhatItWrote) {
    ScratchFolder scratch;
    const std::string dest = scratch.Path() + "T\\";
    comp::ForceDirectories(dest);
    WriteWholeFile(dest + "keep.txt", "there before");
    CabinetContents cabinet;
    cabinet.files = {Entry("a.txt", std::string(1000, 'a')), Entry("sub\\b.txt", std::string(70000, 'b'))};
    const std::string whole = testing_support::BuildCabinet(cabinet);
    WriteWholeFile(scratch.Path() + "cut.cab", whole.substr(0, whole.size() - 100));  // the last block cut short

    TCabReader reader;
    try {
        reader.Extract(scratch.Path() + "cut.cab", dest);
        FAIL() << "extracted";
    } catch (const ECabinet& e) {
        EXPECT_EQ(e.ErrorCode, FDIERROR_CORRUPT_CABINET);
    }
    EXPECT_EQ(FilesUnder(dest), std::vector<std::string>{"keep.txt"});
    EXPECT_FALSE(comp::DirectoryExists(dest + "sub"));
}

TEST(CabinetReader, SlashSeparatedNamesMakeTheirFolders) {
    ScratchFolder scratch;
    CabinetContents cabinet;
    cabinet.files = {Entry("sub/a.txt", "a"), Entry("sub/deeper/b.txt", "b")};
    WriteCabinet(scratch.Path() + "slash.cab", cabinet);
    TCabReader reader;
    reader.Extract(scratch.Path() + "slash.cab", scratch.Path() + "T");
    EXPECT_EQ(FilesUnder(scratch.Path() + "T"), (std::vector<std::string>{"sub\\a.txt", "sub\\deeper\\b.txt"}));
    EXPECT_EQ(ReadWholeFile(scratch.Path() + "T\\sub\\deeper\\b.txt"), "b");
}

TEST(CabinetReader, AttributesTimesAndTheRunMarkComeFromTheCabinet) {
    ScratchFolder scratch;
    CabinetContents cabinet;
    cabinet.files = {Entry("ro.txt", "r", 0x21), Entry("hs.txt", "h", 0x06), Entry("run.txt", "x", 0x60),
                  Entry("utf.txt", "u", 0xA0)};
    WriteCabinet(scratch.Path() + "attrs.cab", cabinet);
    const std::string dest = scratch.Path() + "T\\";
    TCabReader reader;
    std::vector<std::string> runs;
    reader.OnCloseFile = [&](TCabReader&, const std::string& source, uint16_t date, uint16_t time, uint16_t, uint16_t,
                             bool& exec, const std::string&, bool&) {
        EXPECT_EQ(date, 0x2821);
        EXPECT_EQ(time, 0);
        if (exec) runs.push_back(source);
    };
    reader.Extract(scratch.Path() + "attrs.cab", dest);
    EXPECT_EQ(Attributes(dest + "ro.txt"), static_cast<DWORD>(FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_ARCHIVE));
    // (Wine reports the archive attribute on every file.)
    EXPECT_EQ(Attributes(dest + "hs.txt") & ~FILE_ATTRIBUTE_ARCHIVE,
              static_cast<DWORD>(FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM));
    EXPECT_EQ(Attributes(dest + "run.txt"), static_cast<DWORD>(FILE_ATTRIBUTE_ARCHIVE));
    EXPECT_EQ(Attributes(dest + "utf.txt"), static_cast<DWORD>(FILE_ATTRIBUTE_ARCHIVE));
    EXPECT_EQ(runs, std::vector<std::string>{"run.txt"});
    for (const char* name : {"ro.txt", "hs.txt", "run.txt"}) EXPECT_EQ(LocalTime(dest + name), "2000-01-01 00:00:00");

    // Extracting again over the read-only and hidden files works.
    reader.OnCloseFile = nullptr;
    reader.Extract(scratch.Path() + "attrs.cab", dest);
    EXPECT_EQ(ReadWholeFile(dest + "ro.txt"), "r");
}

TEST(CabinetReader, ChainsAreFollowedOnceAroundAndCanBeStopped) {
    ScratchFolder scratch;
    const std::string p = scratch.Path();
    auto cabinet = [&](const std::string& name, const std::string& file, const std::string& next, uint16_t index) {
        CabinetContents contents;
        contents.files = {Entry(file, name)};
        contents.nextCabinet = next;
        contents.nextDisk = next.empty() ? "" : "disk";
        contents.cabinetIndex = index;
        WriteCabinet(p + name, contents);
    };
    auto extract = [&](const std::string& first, uint8_t flags = 0) {
        std::vector<std::string> files;
        TCabReader reader;
        reader.OnCopyFile = [&](TCabReader&, const std::string& source, int32_t, uint16_t, uint16_t, uint16_t,
                                uint16_t, std::string&, bool&) { files.push_back(source); };
        reader.Extract(p + first, p + "out", flags);
        return files;
    };

    cabinet("a.cab", "1.txt", "b.cab", 0);
    cabinet("b.cab", "2.txt", "c.cab", 1);
    cabinet("c.cab", "3.txt", "", 2);
    EXPECT_EQ(extract("a.cab"), (std::vector<std::string>{"1.txt", "2.txt", "3.txt"}));
    EXPECT_EQ(extract("a.cab", cefOnlyThisCabinet), std::vector<std::string>{"1.txt"});

    cabinet("c.cab", "3.txt", "a.cab", 2);  // a ring: read once around
    EXPECT_EQ(extract("b.cab"), (std::vector<std::string>{"2.txt", "3.txt", "1.txt"}));

    cabinet("self.cab", "s.txt", "SELF.CAB", 0);  // itself in other letter case
    EXPECT_EQ(extract("self.cab"), std::vector<std::string>{"s.txt"});

    cabinet("lost.cab", "l.txt", "missing.cab", 0);  // a next cabinet that isn't there ends the walk
    EXPECT_EQ(extract("lost.cab"), std::vector<std::string>{"l.txt"});
}

TEST(CabinetReader, NextCabinetPathMustFitTheLibrarysBuffer) {
    TCabReader reader;
    std::string given;
    reader.OnNextCabinet = [&](TCabReader&, const std::string& name, const std::string&, std::string& path, TFDIERROR,
                               bool&) {
        EXPECT_EQ(name, "b.cab");
        path = given;
    };
    char name[] = "b.cab";
    char disk[] = "disk";
    char buffer[CB_MAX_CAB_PATH] = "C:\\old\\";
    FDINOTIFICATION n{};
    n.psz1 = name;
    n.psz2 = disk;
    n.psz3 = buffer;
    n.pv = &reader;

    given = "C:\\" + std::string(CB_MAX_CAB_PATH - 4, 'p');  // with its "\" and terminator: one too many
    EXPECT_EQ(reader.Notify(fdintNEXT_CABINET, n), -1);
    EXPECT_STREQ(buffer, "C:\\old\\");

    given = "C:\\" + std::string(CB_MAX_CAB_PATH - 5, 'p');  // just fits
    EXPECT_EQ(reader.Notify(fdintNEXT_CABINET, n), 0);
    EXPECT_EQ(std::string(buffer), given + "\\");
}

TEST(CabinetReader, JoinPathPartsPutsOneSeparatorBetweenParts) {
    EXPECT_EQ(JoinPathParts({"C:\\T", "sub\\a.txt"}), "C:\\T\\sub\\a.txt");
    EXPECT_EQ(JoinPathParts({"C:\\T\\", "\\a"}), "C:\\T\\a");
    EXPECT_EQ(JoinPathParts({"C:\\T\\", "a"}), "C:\\T\\a");
    EXPECT_EQ(JoinPathParts({"", "a", "", "\\b"}), "a\\b");
}
