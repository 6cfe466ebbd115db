#pragma once
// The program's text formatter. Conversions: "%d" (signed decimal), "%X"
// (upper-case hexadecimal), "%s" (text), "%.1f" and "%.2f" (fixed point,
// rounded half away from zero) and "%%" (a percent sign). Arguments are taken
// in order; a conversion whose argument is missing or of another kind, and any
// other '%' sequence, is copied as it stands. The result is always terminated
// and never longer than the buffer allows: what does not fit is cut off.

#include <concepts>
#include <cstddef>
#include <cstdint>
#include <initializer_list>

// Any integer of up to 32 bits, whichever of int and long the compiler makes
// std::int32_t (int on the host, long for the handheld's processor).
template <typename T>
concept NumberArgument = std::integral<T> && sizeof(T) <= sizeof(std::uint32_t);

struct FormatArgument {
    enum class Kind : std::uint8_t { Number, Real, Text };

    template <NumberArgument Integer>
    constexpr FormatArgument(Integer value)
        : kind(Kind::Number), number(static_cast<std::uint32_t>(value)) {}
    constexpr FormatArgument(double value) : kind(Kind::Real), real(value) {}
    constexpr FormatArgument(const char16_t* value) : kind(Kind::Text), text(value) {}

    Kind kind;
    std::uint32_t number = 0; // the 32 bits; "%d" reads them as signed
    double real = 0.0;
    const char16_t* text = nullptr;
};

// Returns the number of characters written, without the terminator. The list
// comes by reference: by value, the handheld's call standard would pass it
// half in the last argument register and half on the stack, which makes a
// prolog that the system's unwinder cannot undo.
std::size_t formatText(char16_t* buffer, std::size_t capacity, const char16_t* format,
                       const std::initializer_list<FormatArgument>& arguments);

template <std::size_t Capacity>
std::size_t formatText(char16_t (&buffer)[Capacity], const char16_t* format,
                       std::initializer_list<FormatArgument> arguments) {
    return formatText(buffer, Capacity, format, arguments);
}
