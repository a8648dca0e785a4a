#include "platform/core/StartupHeap.h"

#include <cstdint>
#include <cstdlib>
#include <malloc.h>
#include <sys/mman.h>
#include <unistd.h>

namespace core {

namespace {

constexpr int kLargestHeapBlock = 1 << 20;
#ifndef MADV_POPULATE_WRITE
constexpr int MADV_POPULATE_WRITE = 23;
#endif

char* breakNow() { return static_cast<char*>(::sbrk(0)); }

} // namespace

bool StartupHeap::reserve(std::size_t bytes)
{
    auto size = int(bytes);
    // One arena: what a thread reads at start-up (the note list) goes into
    // these pages, not into a heap of its own that faults its pages in anew.
    if (::mallopt(M_TOP_PAD, size) != 1 || ::mallopt(M_TRIM_THRESHOLD, 2 * size) != 1
        || ::mallopt(M_MMAP_THRESHOLD, kLargestHeapBlock) != 1 || ::mallopt(M_ARENA_MAX, 1) != 1)
        return false;
    char* before = breakNow();
    // Just more than the heap has free, so that it grows, by the pad.
    std::size_t topFree = ::mallinfo2().keepcost;
    if (reinterpret_cast<std::uintptr_t>(before) == std::uintptr_t(-1) || topFree >= std::size_t(kLargestHeapBlock))
        return false;
    void* block = std::malloc(topFree + 64);
    char* after = breakNow();
    std::free(block);
    // From the first whole page of the growth to its end.
    auto page = std::uintptr_t(::sysconf(_SC_PAGESIZE));
    char* start = before + (page - reinterpret_cast<std::uintptr_t>(before) % page) % page;
    return block && after > start && ::madvise(start, std::size_t(after - start), MADV_POPULATE_WRITE) == 0;
}

} // namespace core
