// Counts heap allocations made by one thread while counting is on (the test binary replaces
// the global operator new in allocation_counter_test.cpp).
#pragma once

namespace testing_alloc {
void BeginCounting();  // on the calling thread
int EndCounting();     // allocations since BeginCounting on that thread
}  // namespace testing_alloc
