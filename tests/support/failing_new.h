// Allocations that fail on request: a test binary that links failing_new.cpp replaces the global
// operator new, and while a FailingAllocations guard is alive the allocations it names throw
// std::bad_alloc. Only the arming thread's allocations count unless the guard says otherwise.
#pragma once

#include <climits>

namespace testing_support {

class FailingAllocations {
public:
    // Lets |skip| allocations through, then fails the next |count|.
    explicit FailingAllocations(int skip = 0, int count = INT_MAX, bool everyThread = false);
    ~FailingAllocations();
    FailingAllocations(const FailingAllocations&) = delete;
    FailingAllocations& operator=(const FailingAllocations&) = delete;

    // How many allocations have been refused so far.
    int Refused() const;
};

}  // namespace testing_support
