#pragma once

#include <cstddef>

namespace core {

// The memory a start needs, made present in one go. A fresh page costs a
// page fault when first touched, and on a virtual machine each fault is an
// exit to the host: about 11 µs, against about 1 µs a page when the kernel
// is asked for many at once. The window's first frame touches megabytes:
// the toolkit's objects, the note list, the backing store.
class StartupHeap {
public:
    // Grows the heap by `bytes` at once, keeps that much at its top when
    // memory is freed, serves blocks of up to a megabyte from it rather
    // than from fresh mappings, to every thread (one arena), and makes its
    // pages present. Whether the pages were made present; where the
    // allocator or the kernel does not allow it (a sanitizer's allocator, a
    // kernel before 5.14) pages come as they are used, as without it.
    static bool reserve(std::size_t bytes);
};

} // namespace core
