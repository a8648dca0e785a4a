#include "platform/core/StartupHeap.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <unistd.h>

// A sanitizer brings an allocator of its own, which takes none of it.
#if defined(__SANITIZE_ADDRESS__) || defined(__SANITIZE_THREAD__)
#define VOICENOTES_OWN_ALLOCATOR 1
#elif defined(__has_feature)
#if __has_feature(address_sanitizer) || __has_feature(thread_sanitizer)
#define VOICENOTES_OWN_ALLOCATOR 1
#endif
#endif

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
    [[maybe_unused]] long before = residentPages();
    bool reserved = core::StartupHeap::reserve(kBytes);
#ifdef VOICENOTES_OWN_ALLOCATOR
    std::_Exit(!reserved ? 0 : 1);
#else
    long grown = (residentPages() - before) * ::sysconf(_SC_PAGESIZE);
    std::_Exit(reserved && before > 0 && grown >= long(kBytes) * 3 / 4 ? 0 : 1);
#endif
}

} // namespace

TEST(StartupHeapTest, TheReservedHeapIsPresentBeforeItIsUsed)
{
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    EXPECT_EXIT(reserveAndExitWithResult(), testing::ExitedWithCode(0), "");
}
