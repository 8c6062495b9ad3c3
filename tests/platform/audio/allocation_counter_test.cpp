// The replacement operator new behind allocation_counter.h; kept in its own file so that no
// caller sees new and free paired in one place.
#include "allocation_counter.h"

#include <cstdlib>
#include <new>

namespace {
thread_local bool t_counting = false;
thread_local int t_count = 0;
}  // namespace

namespace testing_alloc {
void BeginCounting()
{
    t_count = 0;
    t_counting = true;
}
int EndCounting()
{
    t_counting = false;
    return t_count;
}
}  // namespace testing_alloc

void* operator new(std::size_t size)
{
    if (t_counting) ++t_count;
    if (void* p = std::malloc(size == 0 ? 1 : size)) return p;
    throw std::bad_alloc();
}
void operator delete(void* p) noexcept { std::free(p); }
void operator delete(void* p, std::size_t) noexcept { std::free(p); }
