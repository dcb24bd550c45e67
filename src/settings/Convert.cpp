#include "settings/Convert.h"
#include "base/Text.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <limits>

namespace vx {
namespace {

// A decimal number taken apart without losing a digit:
// value = sign * 0.(intDigits fracDigits) * 10^(intDigits.size() + exponent).
struct Decimal {
    bool negative = false;
    std::string_view intDigits;
    std::string_view fracDigits;
    long long exponent = 0;

    char Digit(long long i) const // i-th significant digit, counted over both parts
    {
        const long long n = static_cast<long long>(intDigits.size());
        if (i < n)
            return intDigits[static_cast<std::size_t>(i)];
        if (i - n < static_cast<long long>(fracDigits.size()))
            return fracDigits[static_cast<std::size_t>(i - n)];
        return '0';
    }
    long long DigitCount() const { return static_cast<long long>(intDigits.size() + fracDigits.size()); }
    bool IsZero() const
    {
        for (long long i = 0; i < DigitCount(); ++i)
            if (Digit(i) != '0')
                return false;
        return true;
    }
};

std::optional<Decimal> ParseDecimal(std::string_view text)
{
    std::string_view s = TrimBlanks(text);
    Decimal d;
    std::size_t i = 0;
    if (i < s.size() && (s[i] == '+' || s[i] == '-')) {
        d.negative = s[i] == '-';
        ++i;
    }
    const std::size_t intStart = i;
    while (i < s.size() && IsDigit(s[i]))
        ++i;
    d.intDigits = s.substr(intStart, i - intStart);
    if (i < s.size() && s[i] == '.') {
        ++i;
        const std::size_t fracStart = i;
        while (i < s.size() && IsDigit(s[i]))
            ++i;
        d.fracDigits = s.substr(fracStart, i - fracStart);
    }
    if (d.intDigits.empty() && d.fracDigits.empty())
        return std::nullopt;
    if (i < s.size() && (s[i] == 'e' || s[i] == 'E')) {
        ++i;
        bool expNegative = false;
        if (i < s.size() && (s[i] == '+' || s[i] == '-')) {
            expNegative = s[i] == '-';
            ++i;
        }
        const std::size_t expStart = i;
        long long exponent = 0;
        // Far beyond any long long either way; saturating keeps the arithmetic safe.
        constexpr long long kExponentCap = 100000;
        while (i < s.size() && IsDigit(s[i])) {
            exponent = std::min(kExponentCap, exponent * 10 + (s[i] - '0'));
            ++i;
        }
        if (i == expStart)
            return std::nullopt;
        d.exponent = expNegative ? -exponent : exponent;
    }
    if (i != s.size())
        return std::nullopt;
    return d;
}

} // namespace

std::optional<long long> ToWholeNumber(std::string_view text)
{
    const std::optional<Decimal> parsed = ParseDecimal(text);
    if (!parsed)
        return std::nullopt;
    const Decimal& d = *parsed;

    // Skip leading zeros: the first significant digit then stands at `first`, and the decimal
    // point falls after digit `point` of the digit string.
    long long first = 0;
    while (first < d.DigitCount() && d.Digit(first) == '0')
        ++first;
    if (first == d.DigitCount())
        return 0;
    const long long point = static_cast<long long>(d.intDigits.size()) + d.exponent;
    // 10^19 and more does not fit even before rounding.
    if (point - first > 19)
        return std::nullopt;

    unsigned long long magnitude = 0;
    for (long long i = first; i < point; ++i)
        magnitude = magnitude * 10 + static_cast<unsigned>(d.Digit(i) - '0');

    // Round: the first dropped digit, then whether anything after it is non-zero.
    const char half = point >= 0 ? d.Digit(point) : '0';
    bool restNonZero = false;
    for (long long i = std::max(point + 1, first); i < d.DigitCount() && !restNonZero; ++i)
        restNonZero = d.Digit(i) != '0';
    if (point < 0)
        restNonZero = true; // the whole number lies below 0.1, all of it after the dropped digit
    const bool up = half > '5' || (half == '5' && (restNonZero || magnitude % 2 == 1));
    if (up)
        ++magnitude;

    constexpr unsigned long long kMaxPositive = std::numeric_limits<long long>::max();
    if (d.negative) {
        if (magnitude > kMaxPositive + 1)
            return std::nullopt;
        return magnitude == kMaxPositive + 1 ? std::numeric_limits<long long>::min()
                                             : -static_cast<long long>(magnitude);
    }
    if (magnitude > kMaxPositive)
        return std::nullopt;
    return static_cast<long long>(magnitude);
}

std::optional<bool> ToBoolean(std::string_view text)
{
    const std::string_view s = TrimBlanks(text);
    const auto equalsFolded = [&](std::string_view word) {
        if (s.size() != word.size())
            return false;
        for (std::size_t i = 0; i < s.size(); ++i) {
            const char c = (s[i] >= 'A' && s[i] <= 'Z') ? static_cast<char>(s[i] - 'A' + 'a') : s[i];
            if (c != word[i])
                return false;
        }
        return true;
    };
    if (equalsFolded("true"))
        return true;
    if (equalsFolded("false"))
        return false;
    const std::optional<Decimal> number = ParseDecimal(s);
    if (!number)
        return std::nullopt;
    return !number->IsZero();
}

std::string BoolText(bool value) { return value ? "True" : "False"; }

std::string SingleText(double value)
{
    const float single = static_cast<float>(value);
    if (!std::isfinite(single))
        return "0";
    if (single == 0.0f)
        return "0";

    // Seven significant digits, correctly rounded, from the exponent form; to_chars, unlike
    // printf, keeps "." whatever the user's locale.
    char buf[32];
    const std::to_chars_result written =
        std::to_chars(buf, buf + sizeof buf, static_cast<double>(single), std::chars_format::scientific, 6);
    const std::string_view e(buf, static_cast<std::size_t>(written.ptr - buf));
    const bool negative = e.front() == '-';
    const std::size_t mantissaStart = negative ? 1 : 0;
    const std::size_t ePos = e.find('e');
    std::string digits;
    for (std::size_t i = mantissaStart; i < ePos; ++i)
        if (e[i] != '.')
            digits += e[i];
    while (digits.size() > 1 && digits.back() == '0')
        digits.pop_back();
    const std::size_t expStart = ePos + (e[ePos + 1] == '+' ? 2 : 1);
    int exponent = 0;
    std::from_chars(e.data() + expStart, e.data() + e.size(), exponent);

    std::string out = negative ? "-" : "";
    if (exponent >= 7 || exponent < -4) {
        out += digits[0];
        if (digits.size() > 1)
            out.append(".").append(digits, 1);
        char expText[16];
        std::snprintf(expText, sizeof expText, "E%c%02d", exponent < 0 ? '-' : '+', std::abs(exponent));
        return out + expText;
    }
    if (exponent < 0) {
        out.append("0.").append(static_cast<std::size_t>(-exponent - 1), '0').append(digits);
        return out;
    }
    const std::size_t intLength = static_cast<std::size_t>(exponent) + 1;
    if (digits.size() <= intLength) {
        out.append(digits).append(intLength - digits.size(), '0');
    } else {
        out.append(digits, 0, intLength).append(".").append(digits, intLength);
    }
    return out;
}

std::string IntText(long long value) { return std::to_string(value); }

std::string StrText(long long value) { return value < 0 ? std::to_string(value) : " " + std::to_string(value); }

} // namespace vx
