#include "core/text_format.h"

#include <cmath>

namespace {

struct TextWriter {
    char16_t* buffer;
    std::size_t capacity;
    std::size_t length;

    void put(char16_t c) {
        if (length + 1 < capacity) {
            buffer[length++] = c;
        }
    }
    void put(const char16_t* text) {
        for (; *text != u'\0'; ++text) {
            put(*text);
        }
    }
    void putRange(const char16_t* begin, const char16_t* end) {
        for (; begin != end; ++begin) {
            put(*begin);
        }
    }
};

// Digits of value in the given base, most significant first.
void putUnsigned(TextWriter& out, std::uint64_t value, unsigned base) {
    char16_t digits[20];
    int count = 0;
    do {
        digits[count++] = u"0123456789ABCDEF"[value % base];
        value /= base;
    } while (value != 0);
    while (count > 0) {
        out.put(digits[--count]);
    }
}

void putSigned(TextWriter& out, std::int64_t value) {
    if (value < 0) {
        out.put(u'-');
    }
    putUnsigned(out, value < 0 ? 0 - static_cast<std::uint64_t>(value) : value, 10);
}

// Beyond this the scaled value no longer fits the integer arithmetic below.
constexpr double LARGEST_FIXED_POINT = 1e15;

void putFixedPoint(TextWriter& out, double value, int decimals) {
    if (std::isnan(value)) {
        out.put(u"nan");
        return;
    }
    if (value < 0) {
        out.put(u'-');
        value = -value;
    }
    if (value >= LARGEST_FIXED_POINT) {
        out.put(u"inf");
        return;
    }
    const std::uint64_t scale = decimals == 1 ? 10 : 100;
    // Rounds half away from zero, as value is not negative here; the handheld
    // has no maths library to take llround from.
    const auto scaled = static_cast<std::uint64_t>(value * static_cast<double>(scale) + 0.5);
    putUnsigned(out, scaled / scale, 10);
    out.put(u'.');
    const std::uint64_t fraction = scaled % scale;
    if (decimals == 2 && fraction < 10) {
        out.put(u'0');
    }
    putUnsigned(out, fraction, 10);
}

enum class Style : std::uint8_t { Decimal, Hexadecimal, Text, OneDecimal, TwoDecimals };

struct Conversion {
    const char16_t* text; // as written after the '%'
    FormatArgument::Kind kind;
    Style style;
};

constexpr Conversion CONVERSIONS[] = {
    {u"d", FormatArgument::Kind::Number, Style::Decimal},
    {u"X", FormatArgument::Kind::Number, Style::Hexadecimal},
    {u"s", FormatArgument::Kind::Text, Style::Text},
    {u".1f", FormatArgument::Kind::Real, Style::OneDecimal},
    {u".2f", FormatArgument::Kind::Real, Style::TwoDecimals},
};

const char16_t* matchPrefix(const char16_t* text, const char16_t* prefix) {
    for (; *prefix != u'\0'; ++text, ++prefix) {
        if (*text != *prefix) {
            return nullptr;
        }
    }
    return text;
}

void putArgument(TextWriter& out, Style style, const FormatArgument& argument) {
    switch (style) {
    case Style::Decimal:
        putSigned(out, static_cast<std::int32_t>(argument.number));
        break;
    case Style::Hexadecimal:
        putUnsigned(out, argument.number, 16);
        break;
    case Style::Text:
        out.put(argument.text != nullptr ? argument.text : u"");
        break;
    case Style::OneDecimal:
        putFixedPoint(out, argument.real, 1);
        break;
    case Style::TwoDecimals:
        putFixedPoint(out, argument.real, 2);
        break;
    }
}

} // namespace

std::size_t formatText(char16_t* buffer, std::size_t capacity, const char16_t* format,
                       const std::initializer_list<FormatArgument>& arguments) {
    if (capacity == 0) {
        return 0;
    }
    TextWriter out{buffer, capacity, 0};
    const FormatArgument* next = arguments.begin();
    while (*format != u'\0') {
        if (*format != u'%') {
            out.put(*format++);
            continue;
        }
        if (format[1] == u'%') {
            out.put(u'%');
            format += 2;
            continue;
        }
        const char16_t* end = nullptr;
        const Conversion* conversion = nullptr;
        for (const Conversion& candidate : CONVERSIONS) {
            end = matchPrefix(format + 1, candidate.text);
            if (end != nullptr) {
                conversion = &candidate;
                break;
            }
        }
        if (conversion == nullptr) {
            out.put(*format++);
            continue;
        }
        const bool usable = next != arguments.end() && next->kind == conversion->kind;
        if (usable) {
            putArgument(out, conversion->style, *next);
        } else {
            out.putRange(format, end);
        }
        if (next != arguments.end()) {
            ++next;
        }
        format = end;
    }
    buffer[out.length] = u'\0';
    return out.length;
}
