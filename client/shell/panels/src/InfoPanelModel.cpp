#include "vantor/shell/InfoPanelModel.h"

#include <cmath>
#include <cstring>
#include <mutex>

#include "vantor/geo/Geodesy.h"
#include "vantor/model/CRivakDoc.h"
#include "vantor/scope/SensorVisibility.h"
#include "vantor/shell/ChannelStateSource.h"
#include "vantor/texts/QText.h"
#include "vantor/texts/Texts.h"

namespace vantor::shell {
namespace {

constexpr std::int64_t kSecondsPerDay = 24 * 3600;
constexpr qsizetype kShortNameLength = 8;
constexpr double kMetresToHundredsOfFeet = 3.28 * 0.01;

// The catalogue's formats read the same in every language but the ones
// with words in them.
QString Format(TextId id, Language language, auto... values) {
  return QString::asprintf(Text(id, language), values...);
}

// A channel record's name: a fixed field, NUL-terminated only when shorter.
QString RecordName(const PxrChannelInfo& record) {
  return QString::fromLatin1(record.name, static_cast<qsizetype>(strnlen(record.name, sizeof record.name)));
}

}  // namespace

std::int64_t MissionSeconds(std::int64_t now, std::int32_t missionClock, std::int64_t logOnTime) {
  return now + missionClock - logOnTime;
}

QString CoalitionClockText(bool red, std::int64_t missionSeconds, Language language) {
  // Folded into one day first, so a clock set back since the log-on still
  // shows two digits per field.
  const std::int64_t t = ((missionSeconds % kSecondsPerDay) + kSecondsPerDay) % kSecondsPerDay;
  const int hours = static_cast<int>(t / 3600);
  const int minutes = static_cast<int>((t / 60) % 60);
  const int seconds = static_cast<int>(t % 60);
  return Format(red ? TextId::InfoClockRed : TextId::InfoClockBlue, language, hours, minutes, seconds);
}

QString CurrentZoneText(const QString& areaName, Language language) {
  return Format(TextId::InfoCurrentZone, language, areaName.toUtf8().constData());
}

int ChannelLinesShown(int usableScreenHeight) {
  if (usableScreenHeight >= kSixthChannelLineMinHeight) return kChannelSlotCount;
  if (usableScreenHeight >= kFifthChannelLineMinHeight) return kChannelSlotCount - 1;
  return kChannelSlotCount - 2;
}

bool FriendlyListShown(int usableScreenHeight) { return usableScreenHeight >= kFriendlyListMinHeight; }

QString ChannelName(const ChannelStateSource* source, int slot, Language language) {
  if (source != nullptr) {
    const int channel = source->SlotChannel(slot);
    for (const PxrChannelInfo& record : source->ChannelRecords())
      if (record.id == channel) return RecordName(record);
  }
  return QText(TextId::PanelChannelNotUsed, language);
}

QString ChannelLineText(int slot, const QString& channelName, Language language) {
  return Format(TextId::InfoChannelLine, language, slot + 1, channelName.toUtf8().constData());
}

QString CallsignListLine(const QString& callsign, const QString& name) {
  const qsizetype bracket = name.indexOf(u'(');
  QString pilot = bracket >= 0 ? name.mid(bracket + 1) : name;
  pilot.remove(u')');
  return Format(TextId::InfoCallsignLine, Language::English, callsign.toUtf8().constData(), pilot.toUtf8().constData());
}

QString ComparisonDisplayName(const model::CContact& contact, const std::optional<QString>& callsign) {
  if (callsign) return *callsign;
  if (contact.friendly) {
    const qsizetype bracket = contact.name.indexOf(u'(');
    if (bracket > 0) return contact.name.left(bracket);
    return contact.name.left(kShortNameLength);
  }
  return QString::asprintf("%08d", contact.id);
}

ComparedContact CompareValues(const model::CContact& contact, const std::optional<QString>& callsign) {
  return {ComparisonDisplayName(contact, callsign),
          contact.latitude,
          contact.longitude,
          contact.altitude,
          contact.speed,
          contact.heading};
}

double PairRangeKm(double latitude1, double longitude1, double latitude2, double longitude2) {
  return scope::ChordDistanceKm(latitude1, longitude1, latitude2, longitude2);
}

double PairBearingDeg(double latitude1, double longitude1, double latitude2, double longitude2) {
  const double phi1 = latitude1 * geo::kDegToRad, phi2 = latitude2 * geo::kDegToRad;
  const double dLambda = (longitude2 - longitude1) * geo::kDegToRad;
  const double y = std::sin(dLambda) * std::cos(phi2);
  const double x = std::cos(phi1) * std::sin(phi2) - std::sin(phi1) * std::cos(phi2) * std::cos(dLambda);
  double bearing = std::atan2(y, x) * geo::kHeadingRadToDeg;
  if (bearing < 0.0) bearing += 360.0;
  return bearing;
}

std::optional<ComparisonBlockText> ComparisonBlock(const std::optional<ComparedContact>& first,
                                                   const std::optional<ComparedContact>& second, bool nauticalUnits,
                                                   Language language) {
  if (!first && !second) return std::nullopt;
  const ComparedContact none{QText(TextId::InfoNoContact, language)};
  const ComparedContact& a = first ? *first : none;
  const ComparedContact& b = second ? *second : none;
  const double altitudeFactor = nauticalUnits ? kMetresToHundredsOfFeet : 1.0;
  const double speedFactor = nauticalUnits ? geo::kKmToNm : 1.0;

  ComparisonBlockText text;
  text.names =
      Format(TextId::InfoPairNames, language, a.displayName.toUtf8().constData(), b.displayName.toUtf8().constData());
  text.altitude = Format(TextId::InfoPairAltitude, language, a.altitude * altitudeFactor, b.altitude * altitudeFactor);
  text.speed = Format(TextId::InfoPairSpeed, language, a.speed * speedFactor, b.speed * speedFactor);
  text.heading =
      Format(TextId::InfoPairHeading, language, a.heading * geo::kHeadingRadToDeg, b.heading * geo::kHeadingRadToDeg);
  text.rule = QText(TextId::InfoPairRule, language);
  text.caption = QText(TextId::InfoBearingRangeCaption, language);
  if (first && second) {
    const double range = PairRangeKm(a.latitude, a.longitude, b.latitude, b.longitude) * speedFactor;
    const double bearing = PairBearingDeg(a.latitude, a.longitude, b.latitude, b.longitude);
    text.bearingRange = Format(TextId::InfoBearingRange, language, bearing, range);
  }
  return text;
}

void ComparisonPicks::Start(int block) { state_ = block == 0 ? PickState::Block1First : PickState::Block2First; }

bool ComparisonPicks::OnContactPicked(int contactId) {
  switch (state_) {
    case PickState::Idle:
      return false;
    case PickState::Block1First:
      picked_[0] = contactId;
      state_ = PickState::Block1Second;
      return false;
    case PickState::Block1Second:
      picked_[1] = contactId;
      state_ = PickState::Idle;
      return true;
    case PickState::Block2First:
      picked_[2] = contactId;
      state_ = PickState::Block2Second;
      return false;
    case PickState::Block2Second:
      picked_[3] = contactId;
      state_ = PickState::Idle;
      return true;
  }
  return false;
}

void ComparisonPicks::Set(int block, int firstId, int secondId) {
  const auto first = static_cast<std::size_t>(2 * (block == 0 ? 0 : 1));
  picked_[first] = firstId;
  picked_[first + 1] = secondId;
}

InfoPanelSnapshot TakeInfoSnapshot(const model::CRivakDoc& document,
                                   const std::array<std::optional<int>, kPickedContactCount>& picked) {
  InfoPanelSnapshot snapshot;
  std::lock_guard lock(document.ContactTableLock());
  for (const model::CContact& contact : document.Contacts()) {
    QString callsign;
    const bool hasCallsign = document.LookupCallsign(contact.id, callsign);
    if (contact.friendly && hasCallsign) snapshot.callsignLines.push_back(CallsignListLine(callsign, contact.name));
    for (std::size_t i = 0; i < picked.size(); ++i) {
      if (picked[i] == contact.id)
        snapshot.picked[i] = CompareValues(contact, hasCallsign ? std::optional(callsign) : std::nullopt);
    }
  }
  return snapshot;
}

}  // namespace vantor::shell
