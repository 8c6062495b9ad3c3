#include "platform/memory/memory.h"

#if __has_include(<malloc.h>)
#include <malloc.h>
#endif

namespace platform {

void KeepFreedMemoryForReuse()
{
#if defined(M_MMAP_THRESHOLD) && defined(M_TRIM_THRESHOLD)
    // Buffers up to 32 MiB (the largest the C library lets the heap serve) come from the heap,
    // and up to 32 MiB freed at its top (a few pictures' worth) stays mapped rather than going
    // back to the system.
    constexpr int kServedFromHeap = 32 << 20;
    constexpr int kKeptWhenFreed = 32 << 20;
    mallopt(M_MMAP_THRESHOLD, kServedFromHeap);
    mallopt(M_TRIM_THRESHOLD, kKeptWhenFreed);
#endif
}

}  // namespace platform
