// The replaced global operator new behind FailingAllocations (link into the test binaries that use it).
#include "failing_new.h"

#include <windows.h>

#include <atomic>
#include <cstdlib>
#include <new>

namespace {

std::atomic<bool> armed{false};
std::atomic<bool> allThreads{false};
std::atomic<DWORD> armingThread{0};
std::atomic<int> toSkip{0};
std::atomic<int> toFail{0};
std::atomic<int> refused{0};

bool ShouldFail() {
    if (!armed.load()) return false;
    if (!allThreads.load() && GetCurrentThreadId() != armingThread.load()) return false;
    if (toSkip.fetch_sub(1) > 0) return false;
    if (toFail.fetch_sub(1) <= 0) return false;
    refused.fetch_add(1);
    return true;
}

void* Allocate(std::size_t size) {
    if (ShouldFail()) throw std::bad_alloc();
    void* p = std::malloc(size ? size : 1);
    if (!p) throw std::bad_alloc();
    return p;
}

}  // namespace

namespace testing_support {

FailingAllocations::FailingAllocations(int skip, int count, bool everyThread) {
    refused.store(0);
    toSkip.store(skip);
    toFail.store(count);
    allThreads.store(everyThread);
    armingThread.store(GetCurrentThreadId());
    armed.store(true);
}

FailingAllocations::~FailingAllocations() { armed.store(false); }

int FailingAllocations::Refused() const { return refused.load(); }

}  // namespace testing_support

void* operator new(std::size_t size) { return Allocate(size); }
void* operator new[](std::size_t size) { return Allocate(size); }
void* operator new(std::size_t size, const std::nothrow_t&) noexcept {
    try {
        return Allocate(size);
    } catch (...) {
        return nullptr;
    }
}
void* operator new[](std::size_t size, const std::nothrow_t&) noexcept {
    try {
        return Allocate(size);
    } catch (...) {
        return nullptr;
    }
}
void operator delete(void* p) noexcept { std::free(p); }
void operator delete[](void* p) noexcept { std::free(p); }
void operator delete(void* p, std::size_t) noexcept { std::free(p); }
void operator delete[](void* p, std::size_t) noexcept { std::free(p); }
