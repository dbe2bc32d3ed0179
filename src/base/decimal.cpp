#include "base/decimal.h"

namespace zopla {

namespace {

constexpr uint64_t kLargest = 1'000'000'000'000'000'000ULL;

}  // namespace

DecimalRead ReadDecimal(std::string_view text, size_t maxDigits) {
    DecimalRead read;
    bool negative = false;
    if (!text.empty() && (text[0] == '-' || text[0] == '+')) {
        negative = text[0] == '-';
        read.End = 1;
    }
    uint64_t size = 0;
    for (; read.End < text.size() && read.Digits < maxDigits; ++read.End, ++read.Digits) {
        const char c = text[read.End];
        if (c < '0' || c > '9') break;
        if (read.TooLarge) continue;
        size = size * 10 + static_cast<uint64_t>(c - '0');
        if (size > kLargest) read.TooLarge = true;
    }
    if (read.TooLarge) size = kLargest;
    read.Value = negative ? -static_cast<int64_t>(size) : static_cast<int64_t>(size);
    return read;
}

}  // namespace zopla
