// The nothrow operator new forms the foundation uses are replaced here so a
// test can let a given number of allocations succeed and fail the next.
#include "foundation/ostring.h"
#include "foundation/util.h"
#include "foundation/memory.h"
#include "platform/seam.h"

#include <gtest/gtest.h>
#include <new>

namespace {
int successes_left = -1; // -1: no limit

void *limited(std::size_t n, void *(*alloc)(std::size_t)) noexcept {
    if (successes_left == 0)
        return nullptr;
    successes_left -= successes_left > 0;
    try {
        return alloc(n);
    } catch (...) {
        return nullptr;
    }
}

struct AllocFailure : ::testing::Test {
    void TearDown() override {
        successes_left = -1;
        platform::reset();
    }
};
} // namespace

void *operator new[](std::size_t n, const std::nothrow_t &) noexcept {
    return limited(n, [](std::size_t m) { return ::operator new[](m); });
}
void *operator new(std::size_t n, const std::nothrow_t &) noexcept {
    return limited(n, [](std::size_t m) { return ::operator new(m); });
}

TEST_F(AllocFailure, OStringEmptiesOnAssignmentAndKeepsTextOnAppend) {
    OString s("old");
    successes_left = 1; // narrow buffer yes, wide buffer no
    EXPECT_FALSE(s.set_length(8));
    EXPECT_EQ(s.len(), 0);
    successes_left = 0;
    s = WSTR("new");
    EXPECT_FALSE(s.is_valid_n() || s.is_valid_w());
    // Appending narrow text: two allocations for the temporary, two for the result.
    for (int ok = 0; ok <= 4; ++ok) {
        successes_left = -1;
        s = "abc";
        successes_left = ok;
        s += "def";
        successes_left = -1;
        EXPECT_STREQ(s.nstring(), ok < 4 ? "abc" : "abcdef") << ok;
    }
}
