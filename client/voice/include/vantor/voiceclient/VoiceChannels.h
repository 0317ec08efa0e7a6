#pragma once
// Reading the voice library's records: bounded text fields, and the voice
// window's list of occupied channels with their players.

#include <QString>

#include <cstddef>
#include <cstdint>
#include <vector>

#include "vantor/voiceclient/VoiceClient.h"

namespace vantor::voiceclient {

// Records the client hands the library for one list call.
inline constexpr std::int32_t kChannelCapacity = 50;
inline constexpr std::int32_t kPlayerCapacity = 50;

// A record's text field, read up to its NUL or its width (a text that fills
// the field has no NUL). Voice client texts are single bytes: UTF-8 when they
// decode as such, else Latin-1.
QString FieldText(const char* field, std::size_t width);
template <std::size_t N>
QString FieldText(const char (&field)[N]) {
  return FieldText(field, N);
}
QString ChannelName(const PxrChannelInfo& channel);
QString PlayerName(const PxrPlayerInfo& player);

// Writes `text` into a record's name field: cut to the width, NUL-filled.
void SetFieldText(char* field, std::size_t width, const QString& text);

struct VoiceWindowLine {
  QString text;
  bool player = false;  // a player, listed under its channel
  bool operator==(const VoiceWindowLine&) const = default;
};

// The channels that have players (a player count other than 0), each
// followed by its players as the voice client lists them; nothing when the
// channel list cannot be read. A channel whose details fail keeps its name
// line only.
std::vector<VoiceWindowLine> OccupiedChannelLines(VoiceClient& voice);

}  // namespace vantor::voiceclient
