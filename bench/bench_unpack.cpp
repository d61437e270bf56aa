// Unpacking figure of the cabinet reader. Run by bench/run.sh under Wine:
//   bench_unpack.exe <package> <destination folder> <runs>
// Extracts the whole package <runs> times into the (emptied) folder and prints the fastest run in
// milliseconds on one line: "reader <ms>".
#include <windows.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "wallpaper/CabComps.h"

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

}  // namespace

int main(int argc, char** argv) {
    if (argc < 4) {
        std::fprintf(stderr, "usage: bench_unpack <package> <destination folder> <runs>\n");
        return 2;
    }
    const std::string package = argv[1], folder = argv[2];
    const int runs = std::max(1, std::atoi(argv[3]));
    int64_t best = INT64_MAX;
    try {
        TCabReader reader;
        for (int i = 0; i < runs; ++i) {
            RemoveTree(folder);
            const int64_t start = Microseconds();
            reader.Extract(package, folder);
            best = std::min(best, Microseconds() - start);
        }
    } catch (const std::exception& e) {
        std::fprintf(stderr, "bench_unpack: %s\n", e.what());
        return 1;
    }
    std::printf("reader %.1f\n", static_cast<double>(best) / 1000.0);
    return 0;
}
