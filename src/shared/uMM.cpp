// The allocation pair and its lock. The default pair is in place from the very start (constant
// initialisation), so code that runs during other units' start-up can allocate too.
#include "uMM.h"

#include "components/exceptions.h"
#include "components/sync.h"

#include <windows.h>

static void DefaultGetMem(void*& block, int32_t size) {
    block = size < 0 ? nullptr : HeapAlloc(GetProcessHeap(), 0, static_cast<SIZE_T>(size));
    if (!block) throw comp::EOutOfMemory();
}

static void DefaultFreeMem(void* block) {
    if (block) HeapFree(GetProcessHeap(), 0, block);
}

TMMGetMemProc MMGetMemProc = DefaultGetMem;
TMMFreeMemProc MMFreeMemProc = DefaultFreeMem;

static comp::CriticalSection& MMLock() {
    static comp::CriticalSection lock;
    return lock;
}

void* MMGetMem(int32_t size) {
    void* block = nullptr;
    MMGetMemProc(block, size);
    // An allocator that hands back nothing has failed, whatever it says.
    if (!block) throw comp::EOutOfMemory();
    return block;
}

void MMFreeMem(void* block) { MMFreeMemProc(block); }

void MMSetDefaultProcs() {
    comp::Lock guard(MMLock());
    MMGetMemProc = DefaultGetMem;
    MMFreeMemProc = DefaultFreeMem;
}

namespace {
// Unit start and end: the default pair, set under the lock.
struct MMUnit {
    MMUnit() { MMSetDefaultProcs(); }
    ~MMUnit() {
        try {
            MMSetDefaultProcs();
        } catch (...) {
        }
    }
} mmUnit;
}  // namespace
