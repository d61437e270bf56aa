// The folder watch loop.
#include "control/uMonThread.h"

#include <windows.h>

#include "components/handles.h"

namespace {
constexpr DWORD kWatchFilter = FILE_NOTIFY_CHANGE_FILE_NAME | FILE_NOTIFY_CHANGE_DIR_NAME | FILE_NOTIFY_CHANGE_ATTRIBUTES;
constexpr DWORD kWakeMs = 100;
}  // namespace

void TMonDirThread::Execute() {
    {
        const comp::ChangeNotificationHandle change(FindFirstChangeNotificationA(folder_.c_str(), FALSE, kWatchFilter));
        if (change) {
            const HANDLE waits[2] = {change.Get(), StopEvent()};
            try {
                Watch(change.Get(), waits);
            } catch (...) {
                // A failing DirChanged ends the watch like a failing wait.
            }
        }
    }  // the notification is closed before the loop counts as ended
    finished_.store(true);
}

void TMonDirThread::Watch(HANDLE change, const HANDLE (&waits)[2]) {
    while (!Terminated()) {
        const DWORD r = WaitForMultipleObjects(2, waits, FALSE, kWakeMs);
        if (r == WAIT_OBJECT_0) {
            DirChanged();
            // Re-armed only after a notification: re-arming an idle one queues requests in the
            // platform without bound.
            if (!FindNextChangeNotification(change)) break;
        } else if (r == WAIT_FAILED) {
            Terminate();
        }
        // A time-out or the stop request: the loop test decides.
    }
}
