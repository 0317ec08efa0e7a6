#include "vantor/model/CRivakDoc.h"

#include <algorithm>
#include <chrono>
#include <cmath>
#include <mutex>

#include "NumberConversion.h"
#include "vantor/model/RadarTypeTable.h"

namespace vantor::model {
namespace {

using Guard = std::lock_guard<ContactLock>;

bool IsLostTrackReport(double longitude, double altitude, double heading, double speed) {
  // Latitude is not examined: the server's lost-track record keeps none of
  // the numbers, and a contact can sit on the equator.
  return longitude == 0.0 && altitude == 0.0 && heading == 0.0 && speed == 0.0;
}

// Aircraft (class "B") on the ground, and hostile ones too slow to be flying,
// are not shown.
bool FailsAirborneRule(char classLetter, double altitude, double speed, bool friendly) {
  if (classLetter != 'B') return false;
  if (altitude < kMinimumAirAltitudeM) return true;
  return speed < kMinimumHostileSpeedKmh && !friendly;
}

bool NamesAwacs(std::string_view name) {
  return std::any_of(kAwacsTypeNames.begin(), kAwacsTypeNames.end(),
                     [name](const char* type) { return name.find(type) != std::string_view::npos; });
}

AwacsSlot DynamicAwacsSlot(const CContact& contact) {
  return AwacsSlot{contact.latitude, contact.longitude, TruncateToInt(contact.altitude / 1000.0)};
}

// Trailing decimal number of a callsign, or -1 when it has none or it is
// too long to mean anything.
int TrailingNumber(const QString& callsign) {
  qsizetype start = callsign.size();
  while (start > 0 && callsign[start - 1].isDigit() && callsign[start - 1].unicode() < 128) --start;
  const qsizetype digits = callsign.size() - start;
  if (digits == 0 || digits > 9) return -1;
  return callsign.mid(start).toInt();
}

}  // namespace

SecondsClock SystemSecondsClock() {
  return [] {
    return std::chrono::duration_cast<std::chrono::seconds>(std::chrono::system_clock::now().time_since_epoch())
        .count();
  };
}

CRivakDoc::CRivakDoc(ClientState& state, SecondsClock clock)
    : state_(state), clock_(clock ? std::move(clock) : SystemSecondsClock()), airfields_(BuildAirfieldTable()) {}

void CRivakDoc::UpdateContact(int id, std::string_view name, double latitude, double longitude, double altitude,
                              double heading, bool friendly, char classLetter, double speed) {
  // "%lf" reads "nan" and "inf" too; such a record carries no position.
  if (!std::isfinite(latitude) || !std::isfinite(longitude) || !std::isfinite(altitude) || !std::isfinite(heading) ||
      !std::isfinite(speed)) {
    return;
  }
  Guard guard(state_.contactLock);
  if (const auto found = byId_.find(id); found != byId_.end()) {
    if (IsLostTrackReport(longitude, altitude, heading, speed) ||
        FailsAirborneRule(classLetter, altitude, speed, friendly)) {
      RemoveContact(found->second);
      return;
    }
    RefreshContact(*found->second, latitude, longitude, altitude, heading, speed);
    return;
  }
  if (FailsAirborneRule(classLetter, altitude, speed, friendly)) return;
  if (contacts_.size() >= kMaxContacts) return;
  CreateContact(id, name, latitude, longitude, altitude, heading, friendly, classLetter, speed);
}

void CRivakDoc::RefreshContact(CContact& contact, double latitude, double longitude, double altitude, double heading,
                               double speed) {
  contact.previousAltitude = contact.altitude;
  contact.latitude = latitude;
  contact.longitude = longitude;
  contact.altitude = altitude;
  contact.heading = heading;
  contact.speed = speed;
  const std::int64_t now = clock_();
  // A wall clock set back would otherwise stop the trail until it caught up.
  if (now - contact.lastHistory > kHistorySpacingS || now < contact.lastHistory) {
    contact.lastHistory = now;
    PushHistory(contact);
  }
  if (contact.awacs) state_.SetOwnAwacsSlot(DynamicAwacsSlot(contact));
}

void CRivakDoc::CreateContact(int id, std::string_view name, double latitude, double longitude, double altitude,
                              double heading, bool friendly, char classLetter, double speed) {
  CContact contact;
  contact.id = id;
  contact.name = QString::fromUtf8(name.data(), static_cast<qsizetype>(name.size()));
  contact.latitude = latitude;
  contact.longitude = longitude;
  contact.altitude = altitude;
  contact.previousAltitude = altitude;
  contact.heading = heading;
  contact.speed = speed;
  contact.friendly = friendly;
  if (friendly && NamesAwacs(name)) DesignateAwacsIfAny(contact);
  contact.carrier = name == kCarrierName;
  switch (classLetter) {
    case 'A':
      contact.radarSite = true;
      GiveRadarData(contact, name);
      break;
    case 'C':
    case 'D':
      contact.altSymbol = true;
      break;
    default:
      break;
  }

  contacts_.push_back(std::move(contact));
  const auto position = std::prev(contacts_.end());
  byId_.emplace(id, position);
  CContact& stored = *position;
  if (stored.radarSite && stored.friendly) friendlyRadarByNumber_.try_emplace(stored.radarNumber, &stored);
  if (stored.carrier) carriers_.push_back(&stored);
}

void CRivakDoc::DesignateAwacsIfAny(CContact& contact) {
  // Ground radars only: the coalition has no AWACS coverage at all.
  if (state_.OwnRadarOnly()) return;
  state_.SetOwnAwacsSlot(DynamicAwacsSlot(contact));
  contact.awacs = true;
  state_.awacsSeen = true;
  state_.awacsLostTicks = kAwacsLostTicks;
}

void CRivakDoc::GiveRadarData(CContact& contact, std::string_view name) {
  contact.detectionRangeKm = LookupRadarType(name, contact.sectorDeg, contact.weaponRangeKm, contact.altitudeLimitKm);
  contact.radarDataSet = true;
  // Numbers are never reused in a run, so a site that comes back is new.
  contact.radarNumber = contact.friendly ? state_.friendlyRadarCount++ : state_.hostileRadarCount++;
}

void CRivakDoc::PushHistory(CContact& contact) const {
  if (contact.carrier) return;
  contact.history.Push(HistoryPoint{contact.latitude, contact.longitude});
}

void CRivakDoc::RemoveContact(ContactList::iterator position) {
  const CContact& contact = *position;
  if (contact.awacs) state_.SetOwnAwacsSlot(AwacsSlot{});
  byId_.erase(contact.id);
  if (contact.radarSite && contact.friendly) {
    const auto mapped = friendlyRadarByNumber_.find(contact.radarNumber);
    if (mapped != friendlyRadarByNumber_.end() && mapped->second == &contact) {
      friendlyRadarByNumber_.erase(mapped);
      // Another site may share the number only if the counters were changed
      // from outside; the first of them in table order takes over.
      for (CContact& other : contacts_) {
        if (&other != &contact && other.radarDataSet && other.friendly && other.radarNumber == contact.radarNumber) {
          friendlyRadarByNumber_.emplace(other.radarNumber, &other);
          break;
        }
      }
    }
  }
  if (contact.carrier) std::erase(carriers_, &contact);
  contacts_.erase(position);
}

void CRivakDoc::ClearContacts() {
  Guard guard(state_.contactLock);
  byId_.clear();
  friendlyRadarByNumber_.clear();
  carriers_.clear();
  contacts_.clear();
}

ContactTableSnapshot CRivakDoc::SaveContactTable() const {
  Guard guard(state_.contactLock);
  ContactTableSnapshot snapshot;
  snapshot.contacts = contacts_;
  snapshot.isBlue = state_.isBlue;
  snapshot.configBlock = state_.configBlock;
  snapshot.awacsSeen = state_.awacsSeen;
  snapshot.awacsLostTicks = state_.awacsLostTicks;
  snapshot.friendlyRadarCount = state_.friendlyRadarCount;
  snapshot.hostileRadarCount = state_.hostileRadarCount;
  snapshot.logOnTime = state_.logOnTime;
  return snapshot;
}

void CRivakDoc::RestoreContactTable(const ContactTableSnapshot& snapshot) {
  Guard guard(state_.contactLock);
  ClearContacts();
  contacts_ = snapshot.contacts;
  for (auto position = contacts_.begin(); position != contacts_.end(); ++position) {
    CContact& contact = *position;
    byId_.emplace(contact.id, position);
    // The first site of a number in table order is the one found, as when
    // the sites were created one after the other.
    if (contact.radarSite && contact.friendly) friendlyRadarByNumber_.try_emplace(contact.radarNumber, &contact);
    if (contact.carrier) carriers_.push_back(&contact);
  }
  state_.isBlue = snapshot.isBlue;
  state_.configBlock = snapshot.configBlock;
  state_.awacsSeen = snapshot.awacsSeen;
  state_.awacsLostTicks = snapshot.awacsLostTicks;
  state_.friendlyRadarCount = snapshot.friendlyRadarCount;
  state_.hostileRadarCount = snapshot.hostileRadarCount;
  state_.logOnTime = snapshot.logOnTime;
}

CContact* CRivakDoc::FindRadarSite(int radarNumber) {
  Guard guard(state_.contactLock);
  const auto found = friendlyRadarByNumber_.find(radarNumber);
  return found != friendlyRadarByNumber_.end() ? found->second : nullptr;
}

const CContact* CRivakDoc::FindRadarSite(int radarNumber) const {
  return const_cast<CRivakDoc*>(this)->FindRadarSite(radarNumber);
}

int CRivakDoc::CountContactsNear(int id, int x, int y) const {
  Guard guard(state_.contactLock);
  constexpr std::int64_t kHalfBox = 100;
  const std::int64_t px = x;
  const std::int64_t py = y;
  int count = 0;
  for (const CContact& contact : contacts_) {
    if (contact.id == id) break;
    if (contact.radarSite) continue;
    const std::int64_t sx = contact.screenX;
    const std::int64_t sy = contact.screenY;
    if (px >= sx - kHalfBox && px < sx + kHalfBox && py >= sy - kHalfBox && py < sy + kHalfBox) ++count;
  }
  return count;
}

bool CRivakDoc::FindCarrierPosition(double& latitude, double& longitude) const {
  Guard guard(state_.contactLock);
  if (carriers_.empty()) return false;
  latitude = carriers_.back()->latitude;
  longitude = carriers_.back()->longitude;
  return true;
}

CContact* CRivakDoc::FindContact(int id) {
  Guard guard(state_.contactLock);
  const auto found = byId_.find(id);
  return found != byId_.end() ? &*found->second : nullptr;
}

const CContact* CRivakDoc::FindContact(int id) const { return const_cast<CRivakDoc*>(this)->FindContact(id); }

const CAirfield* CRivakDoc::FindAirfieldRecord(int menuId) const {
  const auto found = std::find_if(airfields_.begin(), airfields_.end(),
                                  [menuId](const CAirfield& airfield) { return airfield.menuId == menuId; });
  return found != airfields_.end() ? &*found : nullptr;
}

bool CRivakDoc::FindAirfieldByMenuId(int menuId, QString& name, double& refLatitude, double& refLongitude,
                                     double* elevationM) const {
  const CAirfield* airfield = FindAirfieldRecord(menuId);
  if (airfield == nullptr) return false;
  name = airfield->name;
  refLatitude = airfield->refLatitude;
  refLongitude = airfield->refLongitude;
  if (elevationM != nullptr) *elevationM = static_cast<double>(airfield->elevationM);
  return true;
}

void CRivakDoc::AssignCallsign(const QString& prefix, int id) {
  // The number is chosen while the contact still holds its old callsign.
  const QString callsign = prefix + QString::number(NextCallsignNumber(prefix));
  if (const auto found = callsignById_.find(id); found != callsignById_.end()) {
    callsigns_[found->second].callsign = callsign;
    return;
  }
  callsignById_.emplace(id, callsigns_.size());
  callsigns_.push_back(CCallsignEntry{callsign, id});
}

int CRivakDoc::NextCallsignNumber(const QString& prefix) const {
  std::array<bool, kCallsignNumbersPerPrefix + 1> used{};
  for (const CCallsignEntry& entry : callsigns_) {
    if (!entry.callsign.contains(prefix, Qt::CaseSensitive)) continue;
    const int number = TrailingNumber(entry.callsign);
    if (number >= 1 && number <= kCallsignNumbersPerPrefix) used[static_cast<std::size_t>(number)] = true;
  }
  for (int number = 1; number <= kCallsignNumbersPerPrefix; ++number) {
    if (!used[static_cast<std::size_t>(number)]) return number;
  }
  return 1;
}

bool CRivakDoc::LookupCallsign(int id, QString& callsign) const {
  const auto found = callsignById_.find(id);
  if (found == callsignById_.end()) return false;
  callsign = callsigns_[found->second].callsign;
  return true;
}

}  // namespace vantor::model
