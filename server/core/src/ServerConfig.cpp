#include "vantor/server/ServerConfig.h"

#include <algorithm>

#include "vantor/platform/SettingsStore.h"
#include "vantor/protocol/TextNumbers.h"

namespace vantor::server {
namespace {

const QString kSection = QStringLiteral("Config");
constexpr int kDefaultRadarOn = 1;
constexpr int kDefaultRangeKm = 50;
constexpr int kDefaultAwacsMode = 10;
constexpr int kDefaultAwacsRangeKm = 200;
constexpr qsizetype kCoordinateChars = 9;

QString Key(const char* pattern, int n) { return QString::asprintf(pattern, n); }

void LoadCoordinate(const SettingsStore& store, const char* key, double& value) {
  if (const auto parsed = ParseCoordinate(store.ReadString(kSection, key, QStringLiteral("0")))) value = *parsed;
}

}  // namespace

ServerConfig DefaultServerConfig() {
  ServerConfig config;
  for (auto& side : config.block.airfieldRadarOn) side.fill(kDefaultRadarOn);
  for (auto& side : config.block.airfieldRadarRangeKm) side.fill(kDefaultRangeKm);
  config.radarTypeShown.fill(1);
  config.block.awacsMode = {kDefaultAwacsMode, kDefaultAwacsMode};
  config.block.radarOnly = {0, 0};
  config.block.awacsRangeKm = kDefaultAwacsRangeKm;
  return config;
}

void LoadConfig(const SettingsStore& store, ServerConfig& config) {
  protocol::ConfigBlock& block = config.block;
  block.version = protocol::kProtocolVersion;
  for (int n = 1; n <= protocol::kAirfieldCount; ++n) {
    block.airfieldRadarOn[0][n - 1] = store.ReadInt(kSection, Key("a%d", n), kDefaultRadarOn);
    block.airfieldRadarOn[1][n - 1] = store.ReadInt(kSection, Key("b%d", n), kDefaultRadarOn);
    block.airfieldRadarRangeKm[0][n - 1] = store.ReadInt(kSection, Key("R%d", n), kDefaultRangeKm);
    block.airfieldRadarRangeKm[1][n - 1] = store.ReadInt(kSection, Key("RR%d", n), kDefaultRangeKm);
  }
  for (int n = 0; n < static_cast<int>(kRadarTypeFlagCount); ++n) {
    config.radarTypeShown[n] = store.ReadInt(kSection, Key("Ra%d", n), 1);
  }
  block.awacsMode[0] = store.ReadInt(kSection, "Awacs", kDefaultAwacsMode);
  block.awacsMode[1] = store.ReadInt(kSection, "Awacs1", kDefaultAwacsMode);
  block.radarOnly[0] = store.ReadInt(kSection, "RadarOnly", 0);
  block.radarOnly[1] = store.ReadInt(kSection, "RadarOnly1", 0);
  block.awacsRangeKm = store.ReadInt(kSection, "AwacsRange", kDefaultAwacsRangeKm);
  block.password[0] = CutPassword(store.ReadString(kSection, "bluepass", QString()));
  block.password[1] = CutPassword(store.ReadString(kSection, "redpass", QString()));
  LoadCoordinate(store, "Alat0", block.awacsLatitude[0]);
  LoadCoordinate(store, "Alat1", block.awacsLatitude[1]);
  LoadCoordinate(store, "Along0", block.awacsLongitude[0]);
  LoadCoordinate(store, "Along1", block.awacsLongitude[1]);
  config.feedIntakeBytes =
      ClampFeedIntake(store.ReadInt(kSection, "FeedIntake", static_cast<int>(kDefaultFeedIntakeBytes)));
}

bool SaveConfig(SettingsStore& store, const ServerConfig& config) {
  const protocol::ConfigBlock& block = config.block;
  for (int n = 0; n < static_cast<int>(kRadarTypeFlagCount); ++n) {
    store.WriteInt(kSection, Key("Ra%d", n), config.radarTypeShown[n]);
  }
  for (int n = 1; n <= protocol::kAirfieldCount; ++n)
    store.WriteInt(kSection, Key("a%d", n), block.airfieldRadarOn[0][n - 1]);
  for (int n = 1; n <= protocol::kAirfieldCount; ++n)
    store.WriteInt(kSection, Key("b%d", n), block.airfieldRadarOn[1][n - 1]);
  for (int n = 1; n <= protocol::kAirfieldCount; ++n) {
    store.WriteInt(kSection, Key("R%d", n), block.airfieldRadarRangeKm[0][n - 1]);
  }
  for (int n = 1; n <= protocol::kAirfieldCount; ++n) {
    store.WriteInt(kSection, Key("RR%d", n), block.airfieldRadarRangeKm[1][n - 1]);
  }
  store.WriteInt(kSection, "Awacs", block.awacsMode[0]);
  store.WriteInt(kSection, "RadarOnly", block.radarOnly[0]);
  store.WriteInt(kSection, "Awacs1", block.awacsMode[1]);
  store.WriteInt(kSection, "RadarOnly1", block.radarOnly[1]);
  store.WriteInt(kSection, "AwacsRange", block.awacsRangeKm);
  store.WriteString(kSection, "bluepass", QString::fromStdString(block.password[0]));
  store.WriteString(kSection, "redpass", QString::fromStdString(block.password[1]));
  store.WriteInt(kSection, "MaxClient", config.maxClient);
  store.WriteString(kSection, "Alat0", FormatCoordinate(block.awacsLatitude[0]));
  store.WriteString(kSection, "Alat1", FormatCoordinate(block.awacsLatitude[1]));
  store.WriteString(kSection, "Along0", FormatCoordinate(block.awacsLongitude[0]));
  store.WriteString(kSection, "Along1", FormatCoordinate(block.awacsLongitude[1]));
  store.WriteInt(kSection, "FeedIntake", static_cast<int>(config.feedIntakeBytes));
  return store.Sync();
}

QString ConfigIniText(const ServerConfig& config) {
  const protocol::ConfigBlock& block = config.block;
  QString text = QStringLiteral("[Config]\n");
  const auto line = [&text](const QString& key, const QString& value) { text += key + '=' + value + '\n'; };
  const auto number = [&line](const QString& key, int value) { line(key, QString::number(value)); };
  for (int n = 1; n <= protocol::kAirfieldCount; ++n) {
    number(Key("a%d", n), block.airfieldRadarOn[0][n - 1]);
    number(Key("b%d", n), block.airfieldRadarOn[1][n - 1]);
    number(Key("R%d", n), block.airfieldRadarRangeKm[0][n - 1]);
    number(Key("RR%d", n), block.airfieldRadarRangeKm[1][n - 1]);
  }
  for (int n = 0; n < static_cast<int>(kRadarTypeFlagCount); ++n) number(Key("Ra%d", n), config.radarTypeShown[n]);
  number("Awacs", block.awacsMode[0]);
  number("Awacs1", block.awacsMode[1]);
  number("RadarOnly", block.radarOnly[0]);
  number("RadarOnly1", block.radarOnly[1]);
  number("AwacsRange", block.awacsRangeKm);
  line("bluepass", QuotedIniValue(QString::fromStdString(block.password[0])));
  line("redpass", QuotedIniValue(QString::fromStdString(block.password[1])));
  line("Alat0", FormatCoordinate(block.awacsLatitude[0]));
  line("Alat1", FormatCoordinate(block.awacsLatitude[1]));
  line("Along0", FormatCoordinate(block.awacsLongitude[0]));
  line("Along1", FormatCoordinate(block.awacsLongitude[1]));
  number("FeedIntake", static_cast<int>(config.feedIntakeBytes));
  number("MaxClient", config.maxClient);
  number("notlaunchfalcrest", config.notLaunch);
  return text;
}

QString QuotedIniValue(const QString& value) {
  QString quoted = QStringLiteral("\"");
  for (const QChar c : value) {
    if (c == '\\' || c == '"') {
      quoted += '\\';
      quoted += c;
    } else if (c == '\n') {
      quoted += QStringLiteral("\\n");
    } else if (c == '\r') {
      quoted += QStringLiteral("\\r");
    } else if (c == '\t') {
      quoted += QStringLiteral("\\t");
    } else {
      quoted += c;
    }
  }
  return quoted + '"';
}

void LoadStartSettings(const SettingsStore& store, ServerConfig& config) {
  config.notLaunch = store.ReadInt(kSection, "notlaunchfalcrest", 0);
  config.maxClient = ClampMaxClient(store.ReadInt(kSection, "MaxClient", kDefaultMaxClient));
}

bool SaveNotLaunch(SettingsStore& store, int notLaunch) {
  store.WriteInt(kSection, "notlaunchfalcrest", notLaunch);
  return store.Sync();
}

std::string CutPassword(const QString& password) {
  std::string bytes = password.toStdString();
  if (bytes.size() <= protocol::kPasswordLength) return bytes;
  std::size_t end = protocol::kPasswordLength;
  // Back to the first byte of the character the cut would split.
  while (end > 0 && (static_cast<unsigned char>(bytes[end]) & 0xC0) == 0x80) --end;
  bytes.resize(end);
  return bytes;
}

int ClampMaxClient(int value) { return std::clamp(value, 1, protocol::kMaxClientSlots); }

std::size_t ClampFeedIntake(long long value) {
  return static_cast<std::size_t>(std::clamp<long long>(value, static_cast<long long>(kDefaultFeedIntakeBytes),
                                                        static_cast<long long>(kMaxFeedIntakeBytes)));
}

QString FormatCoordinate(double degrees) { return QString::fromStdString(protocol::FormatFixed(degrees, 6)); }

std::optional<double> ParseCoordinate(const QString& stored) {
  const std::string head = stored.left(kCoordinateChars).toStdString();
  std::size_t pos = 0;
  return protocol::ScanDouble(head, pos);
}

}  // namespace vantor::server
