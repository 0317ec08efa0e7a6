#include "ReplyParser.h"

#include <array>
#include <cstring>
#include <limits>

namespace vantor::voice {
namespace {

constexpr const char* kUnexpectedFormat = "ERROR -1004 UNEXPECTED FORMAT RETURNED";
constexpr const char* kIntegerExpected = "ERROR -1005 INTEGER EXPECTED";

struct FlagName {
  std::string_view name;
  int32_t bit;
};

constexpr std::array<FlagName, 5> kChannelPrivilegeNames{{{"pcpAdmin", PXR_PCP_ADMIN},
                                                          {"pcpOperator", PXR_PCP_OPERATOR},
                                                          {"pcpAutoOperator", PXR_PCP_AUTO_OPERATOR},
                                                          {"pcpVoiced", PXR_PCP_VOICED},
                                                          {"pcpAutoVoice", PXR_PCP_AUTO_VOICE}}};
constexpr std::array<FlagName, 5> kPrivilegeNames{{{"ppSuperServerAdmin", PXR_PP_SUPER_SERVER_ADMIN},
                                                   {"ppServerAdmin", PXR_PP_SERVER_ADMIN},
                                                   {"ppCanRegister", PXR_PP_CAN_REGISTER},
                                                   {"ppRegistered", PXR_PP_REGISTERED},
                                                   {"ppUnregistered", PXR_PP_UNREGISTERED}}};
constexpr std::array<FlagName, 7> kPlayerFlagNames{{{"pfChannelCommander", PXR_PF_CHANNEL_COMMANDER},
                                                    {"pfWantVoice", PXR_PF_WANT_VOICE},
                                                    {"pfNoWhisper", PXR_PF_NO_WHISPER},
                                                    {"pfAway", PXR_PF_AWAY},
                                                    {"pfInputMuted", PXR_PF_INPUT_MUTED},
                                                    {"pfOutputMuted", PXR_PF_OUTPUT_MUTED},
                                                    {"pfRecording", PXR_PF_RECORDING}}};
// cfRegistered has no name of its own: it is set when "cfUnregistered" is
// absent.
constexpr std::array<FlagName, 4> kChannelFlagNames{{{"cfModerated", PXR_CF_MODERATED},
                                                     {"cfPassword", PXR_CF_PASSWORD},
                                                     {"cfHierarchical", PXR_CF_HIERARCHICAL},
                                                     {"cfDefault", PXR_CF_DEFAULT}}};
constexpr std::array<FlagName, 4> kServerTypeNames{{{"stClan", PXR_ST_CLAN},
                                                    {"stPublic", PXR_ST_PUBLIC},
                                                    {"stFreeware", PXR_ST_FREEWARE},
                                                    {"stCommercial", PXR_ST_COMMERCIAL}}};

// A flag is set when its name occurs anywhere in the token; unknown words,
// separators and "none" are ignored.
template <std::size_t N>
int32_t FlagsIn(std::string_view token, const std::array<FlagName, N>& names) {
  int32_t flags = 0;
  for (const FlagName& flag : names) {
    if (token.find(flag.name) != std::string_view::npos) flags |= flag.bit;
  }
  return flags;
}

// Record fields are packed and so often misaligned: they are never bound to
// a reference, but read into a local and stored back through `store`.
template <typename Store>
bool ParseIntInto(std::string_view& text, std::optional<char> separator, int32_t current, const ParseStatus& status,
                  Store store) {
  int32_t value = current;
  const bool ok = ParseIntToken(text, separator, value, status);
  store(value);
  return ok;
}

int DigitValue(char c, bool hexadecimal) {
  if (c >= '0' && c <= '9') return c - '0';
  if (hexadecimal && c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (hexadecimal && c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

}  // namespace

IntConversion ConvertInt32(std::string_view token) {
  std::size_t i = 0;
  while (i < token.size() && token[i] == ' ') ++i;
  bool negative = false;
  if (i < token.size() && (token[i] == '+' || token[i] == '-')) negative = token[i++] == '-';
  bool hexadecimal = false;
  if (i < token.size() && (token[i] == '$' || token[i] == 'x' || token[i] == 'X')) {
    hexadecimal = true;
    ++i;
  } else if (i + 1 < token.size() && token[i] == '0' && (token[i + 1] == 'x' || token[i + 1] == 'X')) {
    hexadecimal = true;
    i += 2;
  }
  const uint64_t base = hexadecimal ? 16 : 10;
  const uint64_t limit = hexadecimal ? 0xFFFFFFFFULL : (negative ? 2147483648ULL : 2147483647ULL);

  uint64_t magnitude = 0;
  bool anyDigit = false;
  bool ok = i < token.size();
  for (; i < token.size(); ++i) {
    const int digit = DigitValue(token[i], hexadecimal);
    if (digit < 0 || magnitude * base + static_cast<uint64_t>(digit) > limit) {
      ok = false;
      break;
    }
    magnitude = magnitude * base + static_cast<uint64_t>(digit);
    anyDigit = true;
  }
  ok = ok && anyDigit;

  // Two's complement in unsigned arithmetic: hexadecimal patterns above
  // 0x7FFFFFFF wrap to negative values, and -2147483648 needs no overflow.
  uint32_t bits = static_cast<uint32_t>(magnitude);
  if (negative) bits = 0U - bits;
  return IntConversion{ok, static_cast<int32_t>(bits)};
}

std::string_view SplitToken(std::string_view& text, char separator) {
  const std::size_t position = text.find(separator);
  if (position == std::string_view::npos) {
    const std::string_view token = text;
    text = {};
    return token;
  }
  const std::string_view token = text.substr(0, position);
  text.remove_prefix(position + 1);
  return token;
}

bool ParseIntToken(std::string_view& text, std::optional<char> separator, int32_t& target, const ParseStatus& status) {
  if (separator && text.find(*separator) == std::string_view::npos) {
    status.resultCode = PXR_ERR_UNEXPECTED_FORMAT;
    status.lastError = kUnexpectedFormat;
    return false;
  }
  std::string_view token = text;
  if (separator) {
    token = SplitToken(text, *separator);
  } else {
    text = {};
  }
  const IntConversion conversion = ConvertInt32(token);
  target = conversion.value;
  if (!conversion.ok) {
    status.resultCode = PXR_ERR_INTEGER_EXPECTED;
    status.lastError = kIntegerExpected;
    return false;
  }
  return true;
}

void CopyTextField(char* field, std::size_t width, std::string_view text) {
  const std::size_t length = text.size() < width ? text.size() : width;
  // An empty view may carry no pointer at all (a line without a name).
  if (length > 0) std::memcpy(field, text.data(), length);
  std::memset(field + length, 0, width - length);
}

bool ParsePlayerLine(std::string_view& payload, PxrPlayerInfo& player, const ParseStatus& status) {
  std::string_view line = SplitToken(payload, kLineSeparator);
  if (!ParseIntInto(line, kFieldSeparator, player.id, status, [&](int32_t v) { player.id = v; })) return false;
  if (!ParseIntInto(line, kFieldSeparator, player.number2, status, [&](int32_t v) { player.number2 = v; })) {
    return false;
  }
  player.channelPrivileges = FlagsIn(SplitToken(line, kFieldSeparator), kChannelPrivilegeNames);
  player.privileges = FlagsIn(SplitToken(line, kFieldSeparator), kPrivilegeNames);
  player.flags = FlagsIn(SplitToken(line, kFieldSeparator), kPlayerFlagNames);
  CopyTextField(player.name, sizeof player.name, line);
  return true;
}

bool ParseChannelLine(std::string_view& payload, PxrChannelInfo& channel, const ParseStatus& status) {
  std::string_view line = SplitToken(payload, kLineSeparator);
  if (!ParseIntInto(line, kFieldSeparator, channel.id, status, [&](int32_t v) { channel.id = v; })) return false;
  if (!ParseIntInto(line, kFieldSeparator, channel.number2, status, [&](int32_t v) { channel.number2 = v; })) {
    return false;
  }
  if (!ParseIntInto(line, kFieldSeparator, channel.playerCount, status, [&](int32_t v) { channel.playerCount = v; })) {
    return false;
  }
  if (!ParseIntInto(line, kFieldSeparator, channel.number4, status, [&](int32_t v) { channel.number4 = v; })) {
    return false;
  }
  const std::string_view flags = SplitToken(line, kFieldSeparator);
  channel.flags = (flags.find("cfUnregistered") == std::string_view::npos ? PXR_CF_REGISTERED : PXR_CF_UNREGISTERED) |
                  FlagsIn(flags, kChannelFlagNames);
  CopyTextField(channel.name, sizeof channel.name, line);
  return true;
}

void ParseVersionPayload(std::string_view payload, PxrVersionInfo& version) {
  version = PxrVersionInfo{};
  const auto next = [&payload]() {
    const std::size_t stop = payload.find('.');
    if (stop == std::string_view::npos) return ConvertInt32({}).value;
    const std::string_view number = payload.substr(0, stop);
    payload.remove_prefix(stop + 1);
    return ConvertInt32(number).value;
  };
  version.major = next();
  version.minor = next();
  version.release = next();
  version.build = ConvertInt32(payload).value;
}

bool ParseServerPayload(std::string_view payload, PxrServerInfo& info, const ParseStatus& status) {
  info = PxrServerInfo{};
  CopyTextField(info.text1, sizeof info.text1, SplitToken(payload, kLineSeparator));
  CopyTextField(info.text2, sizeof info.text2, SplitToken(payload, kLineSeparator));

  std::string_view versionLine = SplitToken(payload, kLineSeparator);
  PxrVersionInfo& version = info.version;
  if (!ParseIntInto(versionLine, '.', 0, status, [&](int32_t v) { version.major = v; })) return false;
  if (!ParseIntInto(versionLine, '.', 0, status, [&](int32_t v) { version.minor = v; })) return false;
  if (!ParseIntInto(versionLine, '.', 0, status, [&](int32_t v) { version.release = v; })) return false;
  if (!ParseIntInto(versionLine, std::nullopt, 0, status, [&](int32_t v) { version.build = v; })) return false;

  CopyTextField(info.text3, sizeof info.text3, SplitToken(payload, kLineSeparator));
  CopyTextField(info.text4, sizeof info.text4, SplitToken(payload, kLineSeparator));
  CopyTextField(info.text5, sizeof info.text5, SplitToken(payload, kLineSeparator));
  info.serverType = FlagsIn(SplitToken(payload, kLineSeparator), kServerTypeNames);

  if (!ParseIntInto(payload, kLineSeparator, 0, status, [&](int32_t v) { info.number1 = v; })) return false;
  // The last three are each tried whatever became of the one before.
  bool ok = ParseIntInto(payload, kLineSeparator, 0, status, [&](int32_t v) { info.number2 = v; });
  ok = ParseIntInto(payload, kLineSeparator, 0, status, [&](int32_t v) { info.number3 = v; }) && ok;
  ok = ParseIntInto(payload, std::nullopt, 0, status, [&](int32_t v) { info.number4 = v; }) && ok;
  return ok;
}

bool ParseUserPayload(std::string_view payload, PxrUserInfo& info, const ParseStatus& status) {
  info = PxrUserInfo{};
  return ParsePlayerLine(payload, info.player, status) && ParseChannelLine(payload, info.channel, status) &&
         ParseChannelLine(payload, info.secondChannel, status);
}

bool ParseChannelList(std::string_view& payload, PxrChannelInfo* channels, int32_t capacity, int32_t* count,
                      const ParseStatus& status) {
  int32_t index = 0;
  while (!payload.empty() && index < capacity) {
    if (!ParseChannelLine(payload, channels[index], status)) return false;
    ++index;
  }
  if (count != nullptr) *count = index;
  return true;
}

bool ParsePlayerList(std::string_view& payload, PxrPlayerInfo* players, int32_t capacity, int32_t* count,
                     const ParseStatus& status) {
  int32_t index = 0;
  while (!payload.empty() && index < capacity) {
    if (!ParsePlayerLine(payload, players[index], status)) return false;
    ++index;
  }
  if (count != nullptr) *count = index;
  return true;
}

bool ParseSpeakers(std::string_view payload, int32_t* ids, int32_t capacity, int32_t& count,
                   const ParseStatus& status) {
  count = 0;
  for (int32_t left = capacity; left > 0 && !payload.empty(); --left) {
    if (!ParseIntToken(payload, ';', ids[count], status)) return false;
    ++count;
  }
  return true;
}

std::string PlayerFlagList(int32_t flags) {
  std::string list;
  for (const FlagName& flag : kPlayerFlagNames) {
    if ((flags & flag.bit) == 0) continue;
    if (!list.empty()) list += ',';
    list += flag.name;
  }
  return list.empty() ? std::string("none") : list;
}

}  // namespace vantor::voice
