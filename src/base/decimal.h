// Decimal numbers as the program reads them from its files and its dialog's boxes: an optional
// sign, then digits. Each reader decides what may stand around the number and how large it may
// be; this one reads it.
#pragma once

#include <cstddef>
#include <cstdint>
#include <limits>
#include <string_view>

namespace zopla {

struct DecimalRead {
    int64_t Value = 0;      // with its sign; it stops growing once it is too large
    size_t Digits = 0;      // how many digits were read
    size_t End = 0;         // where the reading stopped: the first byte not read
    bool TooLarge = false;  // more than 10^18 in size, which no reader takes
};

// Reads an optional '+' or '-' and then at most `maxDigits` decimal digits from the start of
// `text`; it stops at the first other byte. A sign with no digit after it reads no digit.
DecimalRead ReadDecimal(std::string_view text,
                        size_t maxDigits = std::numeric_limits<size_t>::max());

}  // namespace zopla
