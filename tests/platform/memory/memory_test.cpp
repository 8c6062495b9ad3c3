// Freed picture-sized buffers stay with the process for the next one.
#include "platform/memory/memory.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>

#if __has_include(<malloc.h>)
#include <malloc.h>
#endif

#if defined(__SANITIZE_ADDRESS__)
#define KELVANE_OWN_ALLOCATOR 1
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
#define KELVANE_OWN_ALLOCATOR 1
#endif
#endif

namespace {

#if defined(M_MMAP_THRESHOLD) && defined(__GLIBC__)
TEST(Memory, AFreedPictureBufferStaysMappedForTheNextOne)
{
#if defined(KELVANE_OWN_ALLOCATOR)
    GTEST_SKIP() << "the sanitizer's allocator serves this build, not the C library's";
#endif
    platform::KeepFreedMemoryForReuse();
    constexpr std::size_t kPicture = 2048 * 512 * 4;  // a panorama's pixels
    void* first = std::malloc(kPicture);
    ASSERT_NE(first, nullptr);
    std::memset(first, 1, kPicture);
    const std::size_t mappedBefore = mallinfo2().hblkhd;
    EXPECT_EQ(mappedBefore, 0u) << "the buffer was mapped on its own, to be unmapped when freed";
    std::free(first);
    EXPECT_GE(mallinfo2().fordblks, kPicture) << "the freed buffer went back to the system";
    void* second = std::malloc(kPicture);
    EXPECT_EQ(second, first) << "the next buffer did not reuse the freed one";
    std::free(second);
}
#endif

}  // namespace
