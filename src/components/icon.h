// An icon handle owned by one object and destroyed with it.
#pragma once

#include <windows.h>

namespace comp {

class Icon {
public:
    Icon() = default;
    ~Icon() { Reset(); }
    Icon(const Icon&) = delete;
    Icon& operator=(const Icon&) = delete;

    HICON Handle() const { return handle_; }
    bool Empty() const { return handle_ == nullptr; }
    // Takes |handle| over (destroying what was held); null empties the icon.
    void Reset(HICON handle = nullptr) {
        if (handle_ && handle_ != handle) DestroyIcon(handle_);
        handle_ = handle;
    }

private:
    HICON handle_ = nullptr;
};

}  // namespace comp
