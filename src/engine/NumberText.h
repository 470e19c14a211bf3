#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

// Numbers as the user types and reads them, with Polish conventions whatever the system locale:
// a decimal comma (a point is accepted too), ASCII spaces ignored at both ends.

// [+-]?[0-9]+ that fits in 32 bits.
std::optional<std::int32_t> parseInteger(std::string_view text);

// [+-]?[0-9]+([.,][0-9]+)?([eE][+-]?[0-9]+)? — the nearest double, then rounded to float.
// A value beyond the float range does not parse.
std::optional<float> parseDecimal(std::string_view text);

// General format with 15 significant digits, as %.15G writes it, with a decimal comma:
// "3,01029995663981", "1,17549435082229E-38", "-INF".
std::string formatMeasure(double value);

// The same with 7 significant digits (%.7G), as the multipliers are shown: "1,6", "2", "1,75".
std::string formatMultiplier(double value);
