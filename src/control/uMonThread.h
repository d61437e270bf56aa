// A folder watcher: a thread that waits for change notifications on one folder (names of files and
// folders, attributes; not inside subfolders) and calls DirChanged for each. It never touches
// anything but what DirChanged does.
#pragma once

#include <windows.h>

#include <atomic>
#include <string>

#include "components/thread.h"

class TMonDirThread : public comp::Thread {
public:
    // True once the watch loop has ended (also after a folder that could not be watched).
    bool Finished() const { return finished_.load(); }
    const std::string& Folder() const { return folder_; }

protected:
    // Made idle: the derived class starts the thread (Start) once it is fully made, so that no
    // notification reaches a half-made object; its destructor stops and joins it.
    explicit TMonDirThread(std::string folder) : folder_(std::move(folder)) {}

    // Called on the watcher thread once per change notification.
    virtual void DirChanged() = 0;
    void Execute() override;

private:
    void Watch(HANDLE change, const HANDLE (&waits)[2]);

    const std::string folder_;
    std::atomic<bool> finished_{false};
};
