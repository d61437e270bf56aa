// Owners of kernel handles: one type per kind of handle, each closing what it holds exactly once, on
// every path out of its scope. Kinds differ in their empty value and in the call that closes them.
#pragma once

#include <windows.h>

namespace comp {

template <typename Kind>
class OwnedHandle {
public:
    OwnedHandle() = default;
    explicit OwnedHandle(HANDLE handle) : handle_(handle) {}
    ~OwnedHandle() { Reset(); }
    OwnedHandle(const OwnedHandle&) = delete;
    OwnedHandle& operator=(const OwnedHandle&) = delete;
    OwnedHandle(OwnedHandle&& other) noexcept : handle_(other.Release()) {}
    OwnedHandle& operator=(OwnedHandle&& other) noexcept {
        if (this != &other) Reset(other.Release());
        return *this;
    }

    HANDLE Get() const { return handle_; }
    bool Valid() const { return handle_ != Kind::Empty(); }
    explicit operator bool() const { return Valid(); }
    // Gives the handle up without closing it (the caller closes it, e.g. to see whether the close failed).
    HANDLE Release() {
        const HANDLE handle = handle_;
        handle_ = Kind::Empty();
        return handle;
    }
    // Closes what is held and takes |handle| over.
    void Reset(HANDLE handle = Kind::Empty()) {
        if (Valid()) Kind::Close(handle_);
        handle_ = handle;
    }

private:
    HANDLE handle_ = Kind::Empty();
};

// Threads, events, processes, mutexes: null when empty.
struct KernelObjectKind {
    static HANDLE Empty() { return nullptr; }
    static void Close(HANDLE handle) { CloseHandle(handle); }
};
// Files opened by CreateFile: INVALID_HANDLE_VALUE when empty.
struct FileKind {
    static HANDLE Empty() { return INVALID_HANDLE_VALUE; }
    static void Close(HANDLE handle) { CloseHandle(handle); }
};
// Folder searches opened by FindFirstFile.
struct FindKind {
    static HANDLE Empty() { return INVALID_HANDLE_VALUE; }
    static void Close(HANDLE handle) { FindClose(handle); }
};
// Folder change notifications opened by FindFirstChangeNotification.
struct ChangeNotificationKind {
    static HANDLE Empty() { return INVALID_HANDLE_VALUE; }
    static void Close(HANDLE handle) { FindCloseChangeNotification(handle); }
};

using KernelHandle = OwnedHandle<KernelObjectKind>;
using FileHandle = OwnedHandle<FileKind>;
using FindHandle = OwnedHandle<FindKind>;
using ChangeNotificationHandle = OwnedHandle<ChangeNotificationKind>;

}  // namespace comp
