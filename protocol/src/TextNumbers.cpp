#include "vantor/protocol/TextNumbers.h"

#include <array>
#include <charconv>
#include <cmath>

namespace vantor::protocol {
namespace {

bool IsScanSpace(char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r'; }

char UpperAscii(char c) { return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c; }

}  // namespace

std::optional<double> ScanDouble(std::string_view text, std::size_t& pos) {
  std::size_t i = pos;
  while (i < text.size() && IsScanSpace(text[i])) ++i;
  bool negative = false;
  if (i < text.size() && (text[i] == '+' || text[i] == '-')) {
    negative = text[i] == '-';
    ++i;
  }
  // from_chars takes no '+' and would take a second '-'; the sign is ours.
  if (i >= text.size() || text[i] == '-' || text[i] == '+') return std::nullopt;
  double value = 0.0;
  const char* first = text.data() + i;
  const char* last = text.data() + text.size();
  const auto [end, error] = std::from_chars(first, last, value, std::chars_format::general);
  if (error != std::errc{} || !std::isfinite(value)) return std::nullopt;
  pos = static_cast<std::size_t>(end - text.data());
  return negative ? -value : value;
}

void AppendFixed(std::string& out, double value, int decimals) {
  // Large enough for any finite double in fixed notation.
  std::array<char, 400> buffer{};
  const auto [end, error] =
      std::to_chars(buffer.data(), buffer.data() + buffer.size(), value, std::chars_format::fixed, decimals);
  if (error != std::errc{}) {
    out += "0";
    return;
  }
  out.append(buffer.data(), end);
}

std::string FormatFixed(double value, int decimals) {
  std::string out;
  AppendFixed(out, value, decimals);
  return out;
}

void AppendInt(std::string& out, std::int64_t value) {
  std::array<char, 24> buffer{};
  const auto [end, error] = std::to_chars(buffer.data(), buffer.data() + buffer.size(), value);
  out.append(buffer.data(), error == std::errc{} ? end : buffer.data());
}

bool EqualsIgnoringCase(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i) {
    if (UpperAscii(a[i]) != UpperAscii(b[i])) return false;
  }
  return true;
}

std::string ToUpperAscii(std::string_view text) {
  std::string upper(text);
  for (char& c : upper) c = UpperAscii(c);
  return upper;
}

}  // namespace vantor::protocol
