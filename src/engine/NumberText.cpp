#include "engine/NumberText.h"

#include <charconv>
#include <cmath>
#include <cstdlib>
#include <locale.h>

namespace {

std::string_view trimSpaces(std::string_view text) {
    while (!text.empty() && text.front() == ' ')
        text.remove_prefix(1);
    while (!text.empty() && text.back() == ' ')
        text.remove_suffix(1);
    return text;
}

bool isDigit(char c) {
    return c >= '0' && c <= '9';
}

// Skips one or more digits from i; false when there is none.
bool digits(std::string_view s, std::size_t& i) {
    const std::size_t start = i;
    while (i < s.size() && isDigit(s[i]))
        ++i;
    return i > start;
}

void skipSign(std::string_view s, std::size_t& i) {
    if (i < s.size() && (s[i] == '+' || s[i] == '-'))
        ++i;
}

// Checks the decimal grammar and returns the text with a point for the separator.
std::optional<std::string> normaliseDecimal(std::string_view s) {
    std::size_t i = 0;
    skipSign(s, i);
    if (!digits(s, i))
        return std::nullopt;
    std::string out(s);
    if (i < s.size() && (s[i] == '.' || s[i] == ',')) {
        out[i] = '.';
        ++i;
        if (!digits(s, i))
            return std::nullopt;
    }
    if (i < s.size() && (s[i] == 'e' || s[i] == 'E')) {
        ++i;
        skipSign(s, i);
        if (!digits(s, i))
            return std::nullopt;
    }
    if (i != s.size())
        return std::nullopt;
    return out;
}

std::string formatGeneral(double value, int precision) {
    char buf[64];
    const auto result =
        std::to_chars(buf, buf + sizeof buf, value, std::chars_format::general, precision);
    std::string text(buf, result.ptr);
    for (char& c : text) {
        if (c == '.')
            c = ',';
        else if (c >= 'a' && c <= 'z')
            c = static_cast<char>(c - 'a' + 'A');
    }
    return text;
}

} // namespace

std::optional<std::int32_t> parseInteger(std::string_view text) {
    const std::string_view s = trimSpaces(text);
    std::size_t i = 0;
    skipSign(s, i);
    if (!digits(s, i) || i != s.size())
        return std::nullopt;
    // from_chars takes a leading '-' but not '+'.
    const std::string_view number = s.front() == '+' ? s.substr(1) : s;
    std::int32_t value = 0;
    const auto result = std::from_chars(number.data(), number.data() + number.size(), value);
    if (result.ec != std::errc() || result.ptr != number.data() + number.size())
        return std::nullopt;
    return value;
}

std::optional<float> parseDecimal(std::string_view text) {
    const auto normal = normaliseDecimal(trimSpaces(text));
    if (!normal)
        return std::nullopt;
    // strtod_l with the "C" locale: correctly rounded, and deaf to the locale that the window's
    // toolkit installs with setlocale(). Overflow gives ±HUGE_VAL; underflow a tiny value or 0.
    static const locale_t cLocale = newlocale(LC_NUMERIC_MASK, "C", locale_t{});
    const double value = strtod_l(normal->c_str(), nullptr, cLocale);
    if (std::isinf(value))
        return std::nullopt;
    const float f = static_cast<float>(value);
    if (std::isinf(f))
        return std::nullopt;
    return f;
}

std::string formatMeasure(double value) {
    return formatGeneral(value, 15);
}

std::string formatMultiplier(double value) {
    return formatGeneral(value, 7);
}
