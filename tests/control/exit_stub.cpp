// Plays the control program for the exit start: appends its command line to "exit_log.txt" beside
// itself, lives a while (VEXLOR_STUB_MS milliseconds, default 400) so that overlapping starts can be
// seen, and appends "ended" as it goes.
#include <windows.h>

#include <cstdlib>
#include <string>

static void AppendLine(const std::string& file, const std::string& text) {
    HANDLE h = CreateFileA(file.c_str(), FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_ALWAYS,
                           FILE_ATTRIBUTE_NORMAL, nullptr);
    if (h == INVALID_HANDLE_VALUE) return;
    std::string line = text + "\r\n";
    DWORD written = 0;
    WriteFile(h, line.data(), static_cast<DWORD>(line.size()), &written, nullptr);
    CloseHandle(h);
}

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
    char path[MAX_PATH] = {};
    GetModuleFileNameA(nullptr, path, MAX_PATH);
    std::string log = path;
    log = log.substr(0, log.find_last_of('\\') + 1) + "exit_log.txt";
    AppendLine(log, GetCommandLineA());
    char ms[32] = {};
    DWORD n = GetEnvironmentVariableA("VEXLOR_STUB_MS", ms, sizeof(ms));
    Sleep(n > 0 && n < sizeof(ms) ? static_cast<DWORD>(atoi(ms)) : 400);
    AppendLine(log, "ended");
    return 0;
}
