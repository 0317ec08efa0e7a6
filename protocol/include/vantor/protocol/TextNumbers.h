#pragma once
// Locale-independent number reading and writing for the text records. The
// C library's scanf/printf follow the process locale, which a Qt program sets
// from the environment; the wire always uses a '.' decimal point.

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace vantor::protocol {

// Reads one decimal floating-point number as "%lf" does: leading white space
// is skipped, an optional sign, then the longest number. On success `pos`
// moves past the number. Numbers out of the double range, infinities and
// NaNs are refused (they never describe a real position).
std::optional<double> ScanDouble(std::string_view text, std::size_t& pos);

// Appends `value` with `decimals` digits after the point, as "%.<n>f" does in
// the C locale.
void AppendFixed(std::string& out, double value, int decimals);
std::string FormatFixed(double value, int decimals);
void AppendInt(std::string& out, std::int64_t value);

// Compares two ASCII texts without regard to letter case.
bool EqualsIgnoringCase(std::string_view a, std::string_view b);
std::string ToUpperAscii(std::string_view text);

}  // namespace vantor::protocol
