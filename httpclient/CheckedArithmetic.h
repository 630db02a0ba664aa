#pragma once
// 32-bit size arithmetic that refuses to wrap. Every length and size the client
// computes goes through these, so a body can never be announced shorter than it is.
// A result that does not fit (overflow, or a negative count) raises error 112.

#include "httpclient/HttpErrors.h"

#include <cstdint>
#include <limits>
#include <type_traits>

namespace Tavik {

enum class ThrowForm { Wide, Narrow };

template <ThrowForm Form = ThrowForm::Wide>
[[noreturn]] inline void ThrowArithmetic(ArithmeticFault cause)
{
    if constexpr (Form == ThrowForm::Wide)
        ThrowHttpArithmeticError(cause);
    else
        ThrowHttpArithmeticErrorA(cause);
}

template <ThrowForm Form = ThrowForm::Wide>
inline DWORD CheckedAdd(std::uint64_t a, std::uint64_t b)
{
    const std::uint64_t sum = a + b;
    if (a > std::numeric_limits<DWORD>::max() || b > std::numeric_limits<DWORD>::max() ||
        sum > std::numeric_limits<DWORD>::max())
        ThrowArithmetic<Form>(ArithmeticFault::Overflow);
    return static_cast<DWORD>(sum);
}

template <ThrowForm Form = ThrowForm::Wide>
inline DWORD CheckedSub(DWORD a, DWORD b)
{
    if (b > a)
        ThrowArithmetic<Form>(ArithmeticFault::Overflow);
    return a - b;
}

template <ThrowForm Form = ThrowForm::Wide>
inline DWORD CheckedMul(std::uint64_t a, std::uint64_t b)
{
    if (a > std::numeric_limits<DWORD>::max() || b > std::numeric_limits<DWORD>::max() ||
        a * b > std::numeric_limits<DWORD>::max())
        ThrowArithmetic<Form>(ArithmeticFault::Overflow);
    return static_cast<DWORD>(a * b);
}

// A size_t or signed count that must fit a DWORD.
template <ThrowForm Form = ThrowForm::Wide, typename T>
inline DWORD CheckedCast(T value)
{
    if constexpr (std::is_signed_v<T>) {
        if (value < 0)
            ThrowArithmetic<Form>(ArithmeticFault::Overflow);
    }
    if (static_cast<std::uint64_t>(value) > std::numeric_limits<DWORD>::max())
        ThrowArithmetic<Form>(ArithmeticFault::Overflow);
    return static_cast<DWORD>(value);
}

}  // namespace Tavik
