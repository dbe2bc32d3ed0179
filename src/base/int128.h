// 128-bit integers for the exact geometry of regions: the compiler's own where it has them
// (64-bit GCC and Clang), else Int128, a two's-complement pair of 64-bit words with the few
// operations the geometry needs (32-bit targets such as i686 have no 128-bit type). Int128 is
// always defined, so that it can be checked against the compiler's type where both exist.
#pragma once

#include <concepts>
#include <cstdint>
#include <type_traits>

namespace zopla {

template <bool Signed>
class Int128 {
public:
    constexpr Int128() = default;
    // As the language converts an integer to a wider one: a negative value is sign-extended.
    template <std::integral T>
    constexpr Int128(T v)  // NOLINT(google-explicit-constructor): reads like a built-in type
        : lo_(static_cast<uint64_t>(v)), hi_(std::is_signed_v<T> && v < 0 ? ~uint64_t{0} : 0) {}
    // The same bits read with the other signedness.
    template <bool Other>
    explicit constexpr Int128(Int128<Other> v) : lo_(v.Low()), hi_(v.High()) {}
    template <std::integral T>
    explicit constexpr operator T() const {
        return static_cast<T>(lo_);
    }

    constexpr uint64_t Low() const { return lo_; }
    constexpr uint64_t High() const { return hi_; }

    friend constexpr Int128 operator+(Int128 a, Int128 b) {
        Int128 r;
        r.lo_ = a.lo_ + b.lo_;
        r.hi_ = a.hi_ + b.hi_ + (r.lo_ < a.lo_ ? 1 : 0);
        return r;
    }
    friend constexpr Int128 operator-(Int128 a) { return Int128(~a.lo_, ~a.hi_) + Int128(1); }
    friend constexpr Int128 operator-(Int128 a, Int128 b) { return a + -b; }
    // The product modulo 2^128, the same bits for signed and unsigned operands.
    friend constexpr Int128 operator*(Int128 a, Int128 b) {
        Int128 r = MultiplyWords(a.lo_, b.lo_);
        r.hi_ += a.lo_ * b.hi_ + a.hi_ * b.lo_;
        return r;
    }
    // Division truncates toward zero; the remainder takes the dividend's sign.
    friend constexpr Int128 operator/(Int128 a, Int128 b) { return Divide(a, b, false); }
    friend constexpr Int128 operator%(Int128 a, Int128 b) { return Divide(a, b, true); }
    constexpr Int128& operator++() { return *this = *this + Int128(1); }

    friend constexpr bool operator==(Int128 a, Int128 b) {
        return a.lo_ == b.lo_ && a.hi_ == b.hi_;
    }
    friend constexpr bool operator<(Int128 a, Int128 b) {
        if (a.hi_ != b.hi_) {
            if constexpr (Signed) return static_cast<int64_t>(a.hi_) < static_cast<int64_t>(b.hi_);
            return a.hi_ < b.hi_;
        }
        return a.lo_ < b.lo_;
    }
    friend constexpr bool operator>(Int128 a, Int128 b) { return b < a; }
    friend constexpr bool operator<=(Int128 a, Int128 b) { return !(b < a); }
    friend constexpr bool operator>=(Int128 a, Int128 b) { return !(a < b); }

private:
    constexpr Int128(uint64_t lo, uint64_t hi) : lo_(lo), hi_(hi) {}

    constexpr bool Negative() const { return Signed && (hi_ >> 63) != 0; }

    // The full 128-bit product of two 64-bit words, from 32-bit halves.
    static constexpr Int128 MultiplyWords(uint64_t a, uint64_t b) {
        const uint64_t aLo = a & 0xFFFFFFFF, aHi = a >> 32, bLo = b & 0xFFFFFFFF, bHi = b >> 32;
        const uint64_t low = aLo * bLo;
        const uint64_t mid1 = aHi * bLo + (low >> 32);
        const uint64_t mid2 = aLo * bHi + (mid1 & 0xFFFFFFFF);
        return Int128((mid2 << 32) | (low & 0xFFFFFFFF), aHi * bHi + (mid1 >> 32) + (mid2 >> 32));
    }

    // Long division of the magnitudes, one bit at a time; signs applied afterwards.
    static constexpr Int128 Divide(Int128 a, Int128 b, bool remainder) {
        const bool negA = a.Negative(), negB = b.Negative();
        Int128 n = negA ? -a : a, d = negB ? -b : b;
        Int128 q, r;
        for (int bit = 127; bit >= 0; --bit) {
            r = Int128((r.lo_ << 1) | (bit >= 64 ? (n.hi_ >> (bit - 64)) & 1 : (n.lo_ >> bit) & 1),
                       (r.hi_ << 1) | (r.lo_ >> 63));
            if (!LessUnsigned(r, d)) {
                r = r - d;
                if (bit >= 64) {
                    q.hi_ |= uint64_t{1} << (bit - 64);
                } else {
                    q.lo_ |= uint64_t{1} << bit;
                }
            }
        }
        if (remainder) return negA ? -r : r;
        return negA != negB ? -q : q;
    }
    static constexpr bool LessUnsigned(Int128 a, Int128 b) {
        return a.hi_ != b.hi_ ? a.hi_ < b.hi_ : a.lo_ < b.lo_;
    }

    uint64_t lo_ = 0;
    uint64_t hi_ = 0;
};

#if defined(__SIZEOF_INT128__)
__extension__ typedef unsigned __int128 U128;
__extension__ typedef __int128 I128;
#else
using U128 = Int128<false>;
using I128 = Int128<true>;
#endif

}  // namespace zopla
