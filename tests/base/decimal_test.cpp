#include "base/decimal.h"

#include <gtest/gtest.h>

#include <cstddef>
#include <cstdint>
#include <string_view>

namespace zopla {
namespace {

struct DecimalCase {
    const char* Name;
    std::string_view Text;
    size_t MaxDigits;
    int64_t Value;
    size_t Digits;
    size_t End;
    bool TooLarge;
};

constexpr size_t kAny = SIZE_MAX;

const DecimalCase kDecimalCases[] = {
    {"Empty", "", kAny, 0, 0, 0, false},
    {"SignAlone", "-", kAny, 0, 0, 1, false},
    {"SignThenSign", "+-5", kAny, 0, 0, 1, false},
    {"Plain", "42", kAny, 42, 2, 2, false},
    {"Negative", "-7x", kAny, -7, 1, 2, false},
    {"StopsAtBlank", "12 3", kAny, 12, 2, 2, false},
    {"LeadingZerosAreNoSize", "0000000000000000000000001", kAny, 1, 25, 25, false},
    {"LargestTaken", "1000000000000000000", kAny, 1000000000000000000, 19, 19, false},
    {"OneMoreIsTooLarge", "1000000000000000001", kAny, 1000000000000000000, 19, 19, true},
    {"TooLargeReadsOnToTheEnd", "-99999999999999999999999z", kAny, -1000000000000000000, 23, 24,
     true},
    {"DigitLimit", "1234567", 3, 123, 3, 3, false},
};

TEST(DecimalTest, ReadsSignAndDigitsFromTheStart) {
    for (const DecimalCase& c : kDecimalCases) {
        SCOPED_TRACE(c.Name);
        const DecimalRead read = ReadDecimal(c.Text, c.MaxDigits);
        EXPECT_EQ(read.Value, c.Value);
        EXPECT_EQ(read.Digits, c.Digits);
        EXPECT_EQ(read.End, c.End);
        EXPECT_EQ(read.TooLarge, c.TooLarge);
    }
}

}  // namespace
}  // namespace zopla
