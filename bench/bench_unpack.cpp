// Unpacking figures of the cabinet reader. Run by bench/run.sh under Wine:
//   bench_unpack.exe <package> <destination folder> <runs>
// Extracts the whole package <runs> times into the (emptied) folder with our reader, and decodes it as
// often through the cabinet library alone with callbacks that write nowhere (the floor: what the library's
// own decoding costs, whatever the reader does). The two take turns; the fastest run of each is printed
// in milliseconds, one per line: "reader <ms>" and "floor <ms>".
#include <windows.h>
#include <fdi.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "components/paths.h"
#include "wallpaper/CabComps.h"
#include "wallpaper/CabIntf.h"

namespace {

int64_t Microseconds() {
    static LARGE_INTEGER f{};
    if (!f.QuadPart) QueryPerformanceFrequency(&f);
    LARGE_INTEGER c;
    QueryPerformanceCounter(&c);
    return c.QuadPart * 1000000 / f.QuadPart;
}

void RemoveTree(const std::string& folder) {
    WIN32_FIND_DATAA fd;
    HANDLE h = FindFirstFileA((folder + "\\*").c_str(), &fd);
    if (h != INVALID_HANDLE_VALUE) {
        do {
            const std::string name = fd.cFileName;
            if (name == "." || name == "..") continue;
            const std::string full = folder + "\\" + name;
            if (fd.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) RemoveTree(full);
            else DeleteFileA(full.c_str());
        } while (FindNextFileA(h, &fd));
        FindClose(h);
    }
    RemoveDirectoryA(folder.c_str());
}

// --- The floor: the library reads the package for real and every file it decodes goes nowhere. ---------

// The handle every extracted file gets: writes to it are counted, never made.
constexpr INT_PTR kNowhere = 0x7FFF0000;
uint64_t floorBytes = 0;

void* DIAMONDAPI FloorAlloc(ULONG size) { return HeapAlloc(GetProcessHeap(), 0, size); }
void DIAMONDAPI FloorFree(void* block) { HeapFree(GetProcessHeap(), 0, block); }

INT_PTR DIAMONDAPI FloorOpen(char* name, int, int) {
    HANDLE h = CreateFileA(name, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    return h == INVALID_HANDLE_VALUE ? -1 : reinterpret_cast<INT_PTR>(h);
}

UINT DIAMONDAPI FloorRead(INT_PTR hf, void* buffer, UINT count) {
    DWORD done = 0;
    return ReadFile(reinterpret_cast<HANDLE>(hf), buffer, count, &done, nullptr) ? done : static_cast<UINT>(-1);
}

UINT DIAMONDAPI FloorWrite(INT_PTR, void*, UINT count) {
    floorBytes += count;
    return count;
}

int DIAMONDAPI FloorClose(INT_PTR hf) {
    if (hf == kNowhere) return 0;
    return CloseHandle(reinterpret_cast<HANDLE>(hf)) ? 0 : -1;
}

__LONG32 DIAMONDAPI FloorSeek(INT_PTR hf, __LONG32 distance, int type) {
    const DWORD method = static_cast<DWORD>(type);
    return static_cast<__LONG32>(SetFilePointer(reinterpret_cast<HANDLE>(hf), distance, nullptr, method));
}

INT_PTR DIAMONDAPI FloorNotify(FDINOTIFICATIONTYPE type, PFDINOTIFICATION) {
    switch (type) {
        case fdintCOPY_FILE: return kNowhere;
        case fdintCLOSE_FILE_INFO: return TRUE;
        default: return 0;
    }
}

// Decodes the whole package once; false when the library fails.
bool DecodeToNowhere(HFDI context, const std::string& package) {
    std::string name = comp::ExtractFileName(package);
    std::string folder = comp::ExtractFilePath(package);
    return CabIntf::FDICopy(context, &name[0], &folder[0], 0, FloorNotify, nullptr, nullptr) != FALSE;
}

std::string FullPath(const std::string& name) {
    char buffer[MAX_PATH];
    const DWORD length = GetFullPathNameA(name.c_str(), MAX_PATH, buffer, nullptr);
    return length > 0 && length < MAX_PATH ? std::string(buffer, length) : name;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 4) {
        std::fprintf(stderr, "usage: bench_unpack <package> <destination folder> <runs>\n");
        return 2;
    }
    const std::string package = FullPath(argv[1]), folder = argv[2];
    const int runs = std::max(1, std::atoi(argv[3]));
    int64_t bestReader = INT64_MAX, bestFloor = INT64_MAX;
    try {
        TCabReader reader;
        ERF errors{};
        HFDI context = CabIntf::FDICreate(FloorAlloc, FloorFree, FloorOpen, FloorRead, FloorWrite, FloorClose,
                                          FloorSeek, cpuUNKNOWN, &errors);
        if (!context) {
            std::fprintf(stderr, "bench_unpack: FDICreate failed (%d)\n", errors.erfOper);
            return 1;
        }
        for (int i = 0; i < runs; ++i) {
            RemoveTree(folder);
            int64_t start = Microseconds();
            reader.Extract(package, folder);
            bestReader = std::min(bestReader, Microseconds() - start);

            floorBytes = 0;
            start = Microseconds();
            if (!DecodeToNowhere(context, package)) {
                std::fprintf(stderr, "bench_unpack: the floor's FDICopy failed (%d)\n", errors.erfOper);
                return 1;
            }
            bestFloor = std::min(bestFloor, Microseconds() - start);
        }
        CabIntf::FDIDestroy(context);
    } catch (const std::exception& e) {
        std::fprintf(stderr, "bench_unpack: %s\n", e.what());
        return 1;
    }
    std::printf("reader %.1f\n", static_cast<double>(bestReader) / 1000.0);
    std::printf("floor %.1f\n", static_cast<double>(bestFloor) / 1000.0);
    return 0;
}
