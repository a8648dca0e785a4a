#include "platform/core/StartupHeap.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <unistd.h>

namespace {

// Resident pages of this process.
long residentPages()
{
    long size = 0;
    long resident = 0;
    std::FILE* statm = std::fopen("/proc/self/statm", "r");
    if (!statm)
        return -1;
    int read = std::fscanf(statm, "%ld %ld", &size, &resident);
    std::fclose(statm);
    return read == 2 ? resident : -1;
}

constexpr std::size_t kBytes = 8 << 20;

// In a child of its own: the allocator's settings are the whole process's.
void reserveAndExitWithResult()
{
    long before = residentPages();
    bool reserved = core::StartupHeap::reserve(kBytes);
    long grown = (residentPages() - before) * ::sysconf(_SC_PAGESIZE);
#if defined(__SANITIZE_ADDRESS__) || defined(__SANITIZE_THREAD__)
    // A sanitizer's allocator takes none of it; nothing is made present.
    std::_Exit(!reserved ? 0 : 1);
#else
    std::_Exit(reserved && before > 0 && grown >= long(kBytes) * 3 / 4 ? 0 : 1);
#endif
}

} // namespace

TEST(StartupHeapTest, TheReservedHeapIsPresentBeforeItIsUsed)
{
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    EXPECT_EXIT(reserveAndExitWithResult(), testing::ExitedWithCode(0), "");
}
