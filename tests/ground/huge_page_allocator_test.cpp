// The large-table allocator must behave as an ordinary allocator for every size.

#include "ground/huge_page_allocator.hpp"

#include <gtest/gtest.h>

#include <cstdint>
#include <numeric>
#include <vector>

namespace compattatore {
namespace {

TEST(HugePageAllocator, SmallAndLargeVectorsKeepTheirContents) {
    for (std::size_t n :
         {std::size_t{1}, std::size_t{1000}, std::size_t{(2u << 20) / 8}, std::size_t{3'000'001}}) {
        SCOPED_TRACE(n);
        std::vector<double, huge_page_allocator<double>> v(n);
        std::iota(v.begin(), v.end(), 0.5);
        v.push_back(-1.0);  // forces a reallocation across the size classes
        ASSERT_EQ(v.size(), n + 1);
        EXPECT_EQ(v[n / 2], static_cast<double>(n / 2) + 0.5);
        EXPECT_EQ(v.back(), -1.0);
        EXPECT_EQ(reinterpret_cast<std::uintptr_t>(v.data()) % alignof(double), 0u);
    }
}

#if defined(__linux__)
TEST(HugePageAllocator, LargeBlocksStartOnAHugePageBoundary) {
    huge_page_allocator<char> a;
    const std::size_t size = 5u << 20;
    char* p = a.allocate(size);
    EXPECT_EQ(reinterpret_cast<std::uintptr_t>(p) % (2u << 20), 0u);
    p[0] = 1;
    p[size - 1] = 2;  // the whole block is usable
    a.deallocate(p, size);
}
#endif

}  // namespace
}  // namespace compattatore
