// Buffer allocation through the replaceable pair.
#include "components/exceptions.h"
#include "shared/uMM.h"

#include <gtest/gtest.h>

#include <cstring>

static int allocations = 0;
static void CountingGetMem(void*& block, int32_t size) {
    ++allocations;
    block = ::operator new(static_cast<size_t>(size));
}
static void CountingFreeMem(void* block) { ::operator delete(block); }
static void NullGetMem(void*& block, int32_t) { block = nullptr; }

TEST(Memory, BlocksAreWritableAndGoBack) {
    void* block = MMGetMem(260);
    ASSERT_NE(block, nullptr);
    std::memset(block, 0xAB, 260);
    EXPECT_EQ(static_cast<unsigned char*>(block)[259], 0xAB);
    MMFreeMem(block);
}

TEST(Memory, InstalledPairIsUsedAndDefaultsComeBack) {
    TMMGetMemProc oldGet = MMGetMemProc;
    MMGetMemProc = CountingGetMem;
    MMFreeMemProc = CountingFreeMem;
    allocations = 0;
    { MMBuffer buffer(16); }
    EXPECT_EQ(allocations, 1);

    MMSetDefaultProcs();
    EXPECT_EQ(MMGetMemProc, oldGet);
    EXPECT_NE(MMFreeMemProc, CountingFreeMem);
}

TEST(Memory, AnAllocatorThatGivesNothingIsOutOfMemory) {
    MMGetMemProc = NullGetMem;
    EXPECT_THROW(MMGetMem(260), comp::EOutOfMemory);
    MMSetDefaultProcs();
    EXPECT_THROW(MMGetMem(-1), comp::EOutOfMemory);  // the default pair reports its failure too
}
