// A test binary can start itself again in a "child mode" to play the second process of a
// cross-process case: `<exe> --child <mode> [args...]` runs the function registered for <mode>.
#pragma once

#include <windows.h>

#include <functional>
#include <string>
#include <vector>

namespace testing_support {

using ChildMain = std::function<int(const std::vector<std::string>& args)>;

// Registers a child mode (typically from a static object in the test file).
struct ChildMode {
    ChildMode(const std::string& name, ChildMain main);
};

// Runs the registered mode when argv asks for one; false when this is a normal test run.
bool RunChildModeIfAsked(int argc, char** argv, int& exitCode);

struct ChildResult {
    DWORD exitCode = 0xFFFFFFFF;
    std::string output;  // what the child wrote to its standard output
    bool finished = false;

    // The output up to its first line break.
    std::string FirstLine() const { return output.substr(0, output.find_first_of("\r\n")); }
};

// Starts this executable in child mode and waits (at most |timeoutMs|) for it to end.
ChildResult RunChild(const std::string& mode, const std::vector<std::string>& args, DWORD timeoutMs = 30000);

// Starts this executable in child mode without waiting; the caller owns the returned process handle.
HANDLE StartChild(const std::string& mode, const std::vector<std::string>& args);

// Runs |commandLine| (another program) and waits for it at most |timeoutMs|; its exit code, or 0xFFFFFFFF
// when it could not start. A program still running at the timeout is left alone (STILL_ACTIVE).
DWORD RunProgram(const std::string& commandLine, DWORD timeoutMs = 60000);

// Waits (handling the thread's messages meanwhile, at most |timeoutMs|) until no process that this
// process started and whose file name is |exeName| runs any more; false on timeout.
bool WaitUntilNoChildRuns(const std::string& exeName, DWORD timeoutMs);

}  // namespace testing_support
