#pragma once
// Turning the payload of a Parlix reply into the library's records. Every
// function works on a view of the payload that it advances in place.

#include <PxRemote.h>

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace vantor::voice {

inline constexpr char kLineSeparator = '\r';
inline constexpr char kFieldSeparator = ' ';

// Where a parse reports its failure: the caller's result code and the
// library's last-error text.
struct ParseStatus {
  int32_t& resultCode;
  std::string& lastError;
};

struct IntConversion {
  bool ok = false;
  // On failure: the value of the digits read before the failure, 0 if none.
  int32_t value = 0;
};

// Optional leading blanks, optional sign, then decimal digits or a hexadecimal
// number introduced by "$", "x", "X", "0x" or "0X". Decimal values must fit a
// signed 32-bit integer; hexadecimal ones any 32-bit pattern (so "$FFFFFFFF"
// is -1). Nothing may follow.
IntConversion ConvertInt32(std::string_view token);

// Returns the text before the first `separator` and leaves what follows it;
// without one, returns all of `text` and leaves it empty.
std::string_view SplitToken(std::string_view& text, char separator);

// SplitToken then ConvertInt32 into `target`; without a separator the token is
// all of the text. A missing separator (-1004) leaves text and target as they
// were; a failed conversion (-1005) still stores the leading-digits value.
bool ParseIntToken(std::string_view& text, std::optional<char> separator, int32_t& target, const ParseStatus& status);

// Copies `text` into a fixed field: cut to the field's width (then without a
// NUL), otherwise followed by NULs up to the width.
void CopyTextField(char* field, std::size_t width, std::string_view text);

bool ParsePlayerLine(std::string_view& payload, PxrPlayerInfo& player, const ParseStatus& status);
bool ParseChannelLine(std::string_view& payload, PxrChannelInfo& channel, const ParseStatus& status);

// Never fails: numbers that do not convert keep their leading-digits value.
void ParseVersionPayload(std::string_view payload, PxrVersionInfo& version);
bool ParseServerPayload(std::string_view payload, PxrServerInfo& info, const ParseStatus& status);
bool ParseUserPayload(std::string_view payload, PxrUserInfo& info, const ParseStatus& status);

// Lists: `capacity` elements at most; on success `*count` (when given) is the
// number filled; a failed line stops at once and leaves `*count` untouched.
bool ParseChannelList(std::string_view& payload, PxrChannelInfo* channels, int32_t capacity, int32_t* count,
                      const ParseStatus& status);
bool ParsePlayerList(std::string_view& payload, PxrPlayerInfo* players, int32_t capacity, int32_t* count,
                     const ParseStatus& status);
// Player numbers each followed by ";": `*count` always tells how many were
// stored.
bool ParseSpeakers(std::string_view payload, int32_t* ids, int32_t capacity, int32_t& count, const ParseStatus& status);

// Flag names joined by "," for SET_PLAYER_FLAGS, "none" when no known bit is
// set.
std::string PlayerFlagList(int32_t flags);

}  // namespace vantor::voice
