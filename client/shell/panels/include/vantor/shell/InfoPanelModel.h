#pragma once
// What the information panel shows, worked out without a window: the
// coalition clock, the zone line, the channel lines and how many of them the
// screen has room for, the friendly callsign list, and the two comparison
// blocks with the contacts picked for them on the scope.

#include <QString>

#include <array>
#include <cstdint>
#include <optional>
#include <vector>

#include "vantor/texts/Language.h"

namespace vantor::model {
class CRivakDoc;
struct CContact;
}  // namespace vantor::model

namespace vantor::shell {

class ChannelStateSource;

inline constexpr int kInfoTimerMs = 3000;

// --- Clock and zone ----------------------------------------------------

// Seconds of mission time at `now`: the server's mission clock when the
// client logged on, advanced by the wall-clock time since.
std::int64_t MissionSeconds(std::int64_t now, std::int32_t missionClock, std::int64_t logOnTime);
// "Blue Coalition    HH:MM:SS" (or Red) of a span of seconds, hours modulo 24.
QString CoalitionClockText(bool red, std::int64_t missionSeconds, Language language);
QString CurrentZoneText(const QString& areaName, Language language);

// --- Channels ------------------------------------------------------------

// Screen heights (the usable height of a full-screen window) from which the
// fifth and sixth channel lines and the friendly list fit.
inline constexpr int kFifthChannelLineMinHeight = 851;
inline constexpr int kSixthChannelLineMinHeight = 881;
inline constexpr int kFriendlyListMinHeight = 1021;

// 4, 5 or 6.
int ChannelLinesShown(int usableScreenHeight);
bool FriendlyListShown(int usableScreenHeight);
// The name of the channel button `slot` (0 ... 5) is assigned to, looked up
// by number among the records; "Not used" when no record has it (or there is
// no button panel yet).
QString ChannelName(const ChannelStateSource* source, int slot, Language language);
// "Chanel 1 : name" (English) or "Canal 1 : name", for button `slot` + 1.
QString ChannelLineText(int slot, const QString& channelName, Language language);

// --- Friendly list -----------------------------------------------------

// "KOD1--->Viper": the callsign, then the part of the name after its first
// "(" (all of it without one), without any ")".
QString CallsignListLine(const QString& callsign, const QString& name);

// --- Comparison blocks -------------------------------------------------

// A picked contact's values, copied while the contact table is locked.
struct ComparedContact {
  QString displayName;
  double latitude = 0.0;
  double longitude = 0.0;
  double altitude = 0.0;  // metres
  double speed = 0.0;     // km/h
  double heading = 0.0;   // radians
};

// Its callsign when it has one; a friendly contact's name up to its first
// "(" when that is not the first character, else its first 8 characters;
// any other contact's id as eight digits.
QString ComparisonDisplayName(const model::CContact& contact, const std::optional<QString>& callsign);
ComparedContact CompareValues(const model::CContact& contact, const std::optional<QString>& callsign);

// Range (km, the chord through the earth) and bearing (degrees, 0 ... 360)
// from the first position to the second.
double PairRangeKm(double latitude1, double longitude1, double latitude2, double longitude2);
double PairBearingDeg(double latitude1, double longitude1, double latitude2, double longitude2);

struct ComparisonBlockText {
  QString names;
  QString altitude;
  QString speed;
  QString heading;
  QString rule;
  QString caption;
  std::optional<QString> bearingRange;  // only with both contacts
};
// The block's lines; nothing when neither contact is there. An absent
// contact reads "none" and gives zeros.
std::optional<ComparisonBlockText> ComparisonBlock(const std::optional<ComparedContact>& first,
                                                   const std::optional<ComparedContact>& second, bool nauticalUnits,
                                                   Language language);

// --- Picking -------------------------------------------------------------

inline constexpr int kComparisonBlockCount = 2;
inline constexpr int kPickedContactCount = 2 * kComparisonBlockCount;

enum class PickState { Idle, Block1First, Block1Second, Block2First, Block2Second };

// The contacts picked for the two blocks: block b's first is index 2b, its
// second 2b + 1. A pick lasts until the same place is picked again.
class ComparisonPicks {
 public:
  // A block's button pressed while picking is off: wait for its first contact.
  void Start(int block);
  // A button pressed while picking is on.
  void Cancel() { state_ = PickState::Idle; }
  // A contact clicked on the scope; true when it completed its block, so
  // picking stops.
  bool OnContactPicked(int contactId);
  // Both contacts of a block at once (the program's --compare option).
  void Set(int block, int firstId, int secondId);

  PickState State() const { return state_; }
  const std::array<std::optional<int>, kPickedContactCount>& Picked() const { return picked_; }

 private:
  PickState state_ = PickState::Idle;
  std::array<std::optional<int>, kPickedContactCount> picked_{};
};

// --- One repaint's reading of the contact table ------------------------

struct InfoPanelSnapshot {
  std::vector<QString> callsignLines;  // friendly contacts with a callsign, in table order
  std::array<std::optional<ComparedContact>, kPickedContactCount> picked;
};
// Takes the contact lock for the walk.
InfoPanelSnapshot TakeInfoSnapshot(const model::CRivakDoc& document,
                                   const std::array<std::optional<int>, kPickedContactCount>& picked);

}  // namespace vantor::shell
