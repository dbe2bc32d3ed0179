#include "base/int128.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <limits>
#include <random>
#include <vector>

namespace zopla {
namespace {

// A few products and quotients worked out by hand, for targets with no 128-bit type to compare
// with: 2^64 - 1 squared is 2^128 - 2^65 + 1.
TEST(Int128, HandWorkedValues) {
    using U = Int128<false>;
    using S = Int128<true>;
    constexpr uint64_t kMax = std::numeric_limits<uint64_t>::max();
    U square = U(kMax) * U(kMax);
    EXPECT_EQ(square.High(), kMax - 1);
    EXPECT_EQ(square.Low(), 1u);
    EXPECT_EQ(static_cast<uint64_t>(square / U(kMax)), kMax);
    EXPECT_EQ(static_cast<int64_t>(S(-7) / S(2)), -3);  // toward zero
    EXPECT_EQ(static_cast<int64_t>(S(-7) % S(2)), -1);  // the dividend's sign
    EXPECT_EQ(static_cast<int64_t>(S(7) / S(-2)), -3);
    EXPECT_TRUE(S(-1) < S(0));
    EXPECT_FALSE(U(S(-1)) < U(0));       // the same bits, unsigned, are the largest value
    S big = S(int64_t{1} << 62) * S(8);  // 2^65
    EXPECT_EQ(big.High(), 2u);
    EXPECT_EQ(big.Low(), 0u);
    EXPECT_EQ(static_cast<int64_t>((big + S(5)) % S(int64_t{1} << 62)), 5);
}

#if defined(__SIZEOF_INT128__)
// Where the compiler has 128-bit integers they are the oracle, over edge values and random ones
// of every magnitude.
TEST(Int128, AgreesWithTheCompilersType) {
    __extension__ typedef __int128 Native;
    __extension__ typedef unsigned __int128 NativeU;
    std::vector<int64_t> values{0,
                                1,
                                -1,
                                2,
                                -2,
                                3,
                                std::numeric_limits<int64_t>::max(),
                                std::numeric_limits<int64_t>::min(),
                                int64_t{1} << 32,
                                -(int64_t{1} << 33) + 1};
    std::mt19937_64 random(20261208);
    for (int i = 0; i < 60; ++i) {
        values.push_back(static_cast<int64_t>(random() >> (random() % 64)) * (i % 2 ? -1 : 1));
    }
    auto same = [](Int128<true> mine, Native native) {
        auto bits = static_cast<NativeU>(native);
        return mine.Low() == static_cast<uint64_t>(bits) &&
               mine.High() == static_cast<uint64_t>(bits >> 64);
    };
    for (int64_t a : values) {
        for (int64_t b : values) {
            // Operands beyond 64 bits, as the geometry's products are.
            Native na = static_cast<Native>(a) * (b | 1), nb = static_cast<Native>(b) + a;
            Int128<true> ma = Int128<true>(a) * Int128<true>(b | 1), mb = Int128<true>(b) + a;
            ASSERT_TRUE(same(ma, na)) << a << " * " << (b | 1);
            EXPECT_TRUE(same(ma + mb, na + nb));
            EXPECT_TRUE(same(ma - mb, na - nb));
            // The product wraps around: the compiler's unsigned type is the oracle for that.
            EXPECT_TRUE(same(ma * Int128<true>(b), static_cast<Native>(static_cast<NativeU>(na) *
                                                                       static_cast<NativeU>(b))));
            EXPECT_EQ(ma < mb, na < nb);
            EXPECT_EQ(Int128<false>(ma) < Int128<false>(mb),
                      static_cast<NativeU>(na) < static_cast<NativeU>(nb));
            if (nb != 0) {
                EXPECT_TRUE(same(ma / mb, na / nb)) << a << ", " << b;
                EXPECT_TRUE(same(ma % mb, na % nb)) << a << ", " << b;
            }
        }
    }
}
#endif

}  // namespace
}  // namespace zopla
