#include "Control.h"

#include <charconv>

namespace vantor::parlixsim {
namespace {

// Longer waits are typing errors; much longer ones overflow the clock.
constexpr long long kMaxDelayMilliseconds = 24LL * 3600 * 1000;

int HexValue(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

}  // namespace

std::optional<std::string> ControlSettings::ScriptedAnswer(std::string_view command) const {
  for (const auto& [match, reply] : answers) {
    if (match == "*" || match == command) return reply;
  }
  return std::nullopt;
}

std::optional<std::string> ParseControl(std::string_view text, ControlSettings& settings) {
  ControlSettings parsed;
  int lineNumber = 0;
  while (!text.empty()) {
    ++lineNumber;
    const std::size_t end = text.find('\n');
    std::string_view line = text.substr(0, end);
    text = end == std::string_view::npos ? std::string_view() : text.substr(end + 1);
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    if (line.empty() || line.front() == '#') continue;
    const std::size_t wordEnd = line.find_first_of(" \t");
    const std::string_view word = line.substr(0, wordEnd);
    const std::string_view argument = wordEnd == std::string_view::npos ? std::string_view() : line.substr(wordEnd + 1);
    const std::string where = "control line " + std::to_string(lineNumber) + ": ";
    if (word == "delay") {
      long long milliseconds = 0;
      const auto [at, error] = std::from_chars(argument.data(), argument.data() + argument.size(), milliseconds);
      if (error != std::errc() || at != argument.data() + argument.size() || milliseconds < 0 ||
          milliseconds > kMaxDelayMilliseconds) {
        return where + "delay needs a number of milliseconds up to a day";
      }
      parsed.delay = std::chrono::milliseconds(milliseconds);
    } else if (word == "drop") {
      parsed.drop = true;
    } else if (word == "hold") {
      parsed.hold = true;
    } else if (word == "stop") {
      parsed.stop = true;
    } else if (word == "fill") {
      const std::string character = Unescape(argument);
      if (character.size() != 1) return where + "fill needs one character";
      parsed.fill = character.front();
    } else if (word == "shrink") {
      std::size_t bytes = 0;
      const auto [at, error] = std::from_chars(argument.data(), argument.data() + argument.size(), bytes);
      if (error != std::errc() || at != argument.data() + argument.size())
        return where + "shrink needs a size in bytes";
      parsed.shrinkTo = bytes;
    } else if (word == "answer") {
      const std::size_t tab = argument.find('\t');
      if (tab == std::string_view::npos) return where + "answer needs a command, a TAB and a reply";
      parsed.answers.emplace_back(Unescape(argument.substr(0, tab)), Unescape(argument.substr(tab + 1)));
    } else {
      return where + "unknown directive \"" + std::string(word) + "\"";
    }
  }
  settings = std::move(parsed);
  return std::nullopt;
}

std::string Escape(std::string_view text) {
  static constexpr char kHex[] = "0123456789ABCDEF";
  std::string escaped;
  for (const char c : text) {
    const auto byte = static_cast<unsigned char>(c);
    if (c == '\r') {
      escaped += "\\r";
    } else if (c == '\n') {
      escaped += "\\n";
    } else if (c == '\t') {
      escaped += "\\t";
    } else if (c == '\\') {
      escaped += "\\\\";
    } else if (byte < 0x20 || byte == 0x7F) {
      escaped += "\\x";
      escaped += kHex[byte >> 4];
      escaped += kHex[byte & 0xF];
    } else {
      escaped += c;
    }
  }
  return escaped;
}

std::string Unescape(std::string_view text) {
  std::string plain;
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] != '\\' || i + 1 == text.size()) {
      plain += text[i];
      continue;
    }
    const char code = text[++i];
    if (code == 'r') {
      plain += '\r';
    } else if (code == 'n') {
      plain += '\n';
    } else if (code == 't') {
      plain += '\t';
    } else if (code == '0') {
      plain += '\0';
    } else if (code == 'x' && i + 2 < text.size() && HexValue(text[i + 1]) >= 0 && HexValue(text[i + 2]) >= 0) {
      plain += static_cast<char>(HexValue(text[i + 1]) * 16 + HexValue(text[i + 2]));
      i += 2;
    } else {
      plain += code;  // "\\" and any other escaped character stand for themselves
    }
  }
  return plain;
}

}  // namespace vantor::parlixsim
