// Child modes of the test binaries.
#include "child_process.h"

#include <tlhelp32.h>

#include <map>

#include "test_windows.h"

namespace testing_support {

static std::map<std::string, ChildMain>& Modes() {
    static std::map<std::string, ChildMain> modes;
    return modes;
}

ChildMode::ChildMode(const std::string& name, ChildMain main) { Modes()[name] = std::move(main); }

bool RunChildModeIfAsked(int argc, char** argv, int& exitCode) {
    if (argc < 3 || std::string(argv[1]) != "--child") return false;
    auto it = Modes().find(argv[2]);
    if (it == Modes().end()) {
        exitCode = 99;
        return true;
    }
    std::vector<std::string> args(argv + 3, argv + argc);
    try {
        exitCode = it->second(args);
    } catch (...) {
        exitCode = 98;
    }
    return true;
}

static std::string CommandLine(const std::string& mode, const std::vector<std::string>& args) {
    char exe[MAX_PATH];
    GetModuleFileNameA(nullptr, exe, MAX_PATH);
    std::string cmd = "\"" + std::string(exe) + "\" --child " + mode;
    for (const auto& a : args) cmd += " \"" + a + "\"";
    return cmd;
}

// Starts |cmd| with no handles inherited; the process handle, or null.
static HANDLE StartProcess(std::string cmd) {
    STARTUPINFOA si = {};
    si.cb = sizeof si;
    PROCESS_INFORMATION pi = {};
    if (!CreateProcessA(nullptr, &cmd[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi)) return nullptr;
    CloseHandle(pi.hThread);
    return pi.hProcess;
}

HANDLE StartChild(const std::string& mode, const std::vector<std::string>& args) {
    return StartProcess(CommandLine(mode, args));
}

DWORD RunProgram(const std::string& commandLine, DWORD timeoutMs) {
    HANDLE process = StartProcess(commandLine);
    if (!process) return 0xFFFFFFFF;
    WaitForSingleObject(process, timeoutMs);
    DWORD code = 0xFFFFFFFF;
    GetExitCodeProcess(process, &code);
    CloseHandle(process);
    return code;
}

ChildResult RunChild(const std::string& mode, const std::vector<std::string>& args, DWORD timeoutMs) {
    ChildResult result;
    SECURITY_ATTRIBUTES sa = {sizeof sa, nullptr, TRUE};
    HANDLE readEnd = nullptr, writeEnd = nullptr;
    if (!CreatePipe(&readEnd, &writeEnd, &sa, 0)) return result;
    SetHandleInformation(readEnd, HANDLE_FLAG_INHERIT, 0);

    std::string cmd = CommandLine(mode, args);
    STARTUPINFOA si = {};
    si.cb = sizeof si;
    si.dwFlags = STARTF_USESTDHANDLES;
    si.hStdOutput = writeEnd;
    si.hStdError = GetStdHandle(STD_ERROR_HANDLE);
    si.hStdInput = GetStdHandle(STD_INPUT_HANDLE);
    PROCESS_INFORMATION pi = {};
    BOOL started = CreateProcessA(nullptr, &cmd[0], nullptr, nullptr, TRUE, 0, nullptr, nullptr, &si, &pi);
    CloseHandle(writeEnd);
    if (!started) {
        CloseHandle(readEnd);
        return result;
    }
    char buffer[4096];
    DWORD n;
    while (ReadFile(readEnd, buffer, sizeof buffer, &n, nullptr) && n > 0) result.output.append(buffer, n);
    CloseHandle(readEnd);
    result.finished = WaitForSingleObject(pi.hProcess, timeoutMs) == WAIT_OBJECT_0;
    if (!result.finished) TerminateProcess(pi.hProcess, 1);
    GetExitCodeProcess(pi.hProcess, &result.exitCode);
    CloseHandle(pi.hThread);
    CloseHandle(pi.hProcess);
    return result;
}

static bool ChildRuns(const std::string& exeName) {
    HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
    if (snapshot == INVALID_HANDLE_VALUE) return true;
    PROCESSENTRY32 entry = {};
    entry.dwSize = sizeof entry;
    bool found = false;
    for (BOOL more = Process32First(snapshot, &entry); more && !found; more = Process32Next(snapshot, &entry))
        found = entry.th32ParentProcessID == GetCurrentProcessId() && lstrcmpiA(entry.szExeFile, exeName.c_str()) == 0;
    CloseHandle(snapshot);
    return found;
}

bool WaitUntilNoChildRuns(const std::string& exeName, DWORD timeoutMs) {
    return PumpUntil([&] { return !ChildRuns(exeName); }, timeoutMs);
}

}  // namespace testing_support
