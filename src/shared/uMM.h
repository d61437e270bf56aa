// Raw fixed-size buffers of the system's own code, taken and given back through one replaceable
// pair of routines (the process heap by default).
#pragma once

#include <cstdint>

using TMMGetMemProc = void (*)(void*& block, int32_t size);
using TMMFreeMemProc = void (*)(void* block);

extern TMMGetMemProc MMGetMemProc;
extern TMMFreeMemProc MMFreeMemProc;

// A block of at least |size| bytes, content undefined; raises comp::EOutOfMemory when none can be had.
void* MMGetMem(int32_t size);
void MMFreeMem(void* block);
// Installs the default pair under the unit's lock.
void MMSetDefaultProcs();

// A scoped buffer from MMGetMem, given back when it goes out of scope.
class MMBuffer {
public:
    explicit MMBuffer(int32_t size) : data_(static_cast<char*>(MMGetMem(size))) {}
    ~MMBuffer() { MMFreeMem(data_); }
    MMBuffer(const MMBuffer&) = delete;
    MMBuffer& operator=(const MMBuffer&) = delete;
    char* Data() const { return data_; }

private:
    char* data_;
};
