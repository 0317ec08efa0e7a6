#pragma once
// The client's document: the contact table, the reference data and the
// callsign list, for the whole run.
//
// Every contact operation takes the contact lock of the ClientState; the lock
// is re-entrant, so callers that walk the table hold it around their walk and
// may call these operations inside.

#include <QString>

#include <cstddef>
#include <cstdint>
#include <functional>
#include <list>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "vantor/model/Airfields.h"
#include "vantor/model/CContact.h"
#include "vantor/model/Callsigns.h"
#include "vantor/model/ClientState.h"

namespace vantor::model {

// Wall-clock time in whole seconds.
using SecondsClock = std::function<std::int64_t()>;
SecondsClock SystemSecondsClock();

inline constexpr double kMinimumAirAltitudeM = 12.0;      // class "B" below this is not shown
inline constexpr double kMinimumHostileSpeedKmh = 100.0;  // hostile class "B" slower than this is not shown
inline constexpr std::int64_t kHistorySpacingS = 5;       // a new point only when more than this has passed
inline constexpr int kAwacsLostTicks = 40;
// Contacts the table holds at most; a record for a new contact beyond it is
// not taken (a mission holds a few hundred objects, a load test 10,000).
inline constexpr std::size_t kMaxContacts = 20000;

// The contact table with the part of the client's state that track records
// and log-ons change, as it was at one moment (a replay seeks with these).
struct ContactTableSnapshot {
  std::list<CContact> contacts;
  bool isBlue = true;
  protocol::ConfigBlock configBlock;
  bool awacsSeen = false;
  int awacsLostTicks = 0;
  int friendlyRadarCount = 0;
  int hostileRadarCount = 0;
  std::int64_t logOnTime = 0;
};

class CRivakDoc {
 public:
  using ContactList = std::list<CContact>;

  // Builds the reference data. `state` must outlive the document.
  explicit CRivakDoc(ClientState& state, SecondsClock clock = SystemSecondsClock());
  CRivakDoc(const CRivakDoc&) = delete;
  CRivakDoc& operator=(const CRivakDoc&) = delete;

  // --- Contact table -------------------------------------------------------
  // Creates, refreshes or deletes the contact of one track record.
  void UpdateContact(int id, std::string_view name, double latitude, double longitude, double altitude, double heading,
                     bool friendly, char classLetter, double speed);
  // Deletes every contact (airfields, callsigns, counters and AWACS slots stay).
  void ClearContacts();
  // The table and the state records change, under the contact lock; putting
  // a snapshot back replaces both and rebuilds the indexes.
  ContactTableSnapshot SaveContactTable() const;
  void RestoreContactTable(const ContactTableSnapshot& snapshot);

  // The friendly radar site with this radar number, or nullptr.
  CContact* FindRadarSite(int radarNumber);
  const CContact* FindRadarSite(int radarNumber) const;
  // Non-radar contacts before the contact `id` in table order (all of them
  // when `id` is absent) whose 200 x 200 pixel box around their screen point
  // contains (x, y).
  int CountContactsNear(int id, int x, int y) const;
  // The position of the last contact in table order that is the carrier;
  // false and the outputs untouched when there is none.
  bool FindCarrierPosition(double& latitude, double& longitude) const;

  CContact* FindContact(int id);
  const CContact* FindContact(int id) const;
  std::size_t ContactCount() const { return contacts_.size(); }
  // The table in creation order. Hold ContactTableLock() while walking it.
  // (A plain pair rather than std::ranges::subrange, which clang 14 cannot
  // build with libstdc++ 12: the fuzz build uses clang.)
  template <typename Iterator>
  struct ContactRange {
    Iterator first;
    Iterator last;
    Iterator begin() const { return first; }  // NOLINT(readability-identifier-naming)
    Iterator end() const { return last; }      // NOLINT(readability-identifier-naming)
  };
  ContactRange<ContactList::iterator> Contacts() { return {contacts_.begin(), contacts_.end()}; }
  ContactRange<ContactList::const_iterator> Contacts() const { return {contacts_.cbegin(), contacts_.cend()}; }
  ContactLock& ContactTableLock() const { return state_.contactLock; }

  // --- Reference data ------------------------------------------------------
  // The 26 runway records; views may write `activeEndFlipped` only.
  std::vector<CAirfield>& Airfields() { return airfields_; }
  const std::vector<CAirfield>& Airfields() const { return airfields_; }
  // The first record with this menu id; false and the outputs untouched
  // when there is none.
  bool FindAirfieldByMenuId(int menuId, QString& name, double& refLatitude, double& refLongitude,
                            double* elevationM = nullptr) const;
  const CAirfield* FindAirfieldRecord(int menuId) const;

  // --- Callsigns -----------------------------------------------------------
  // Gives contact `id` the callsign prefix + NextCallsignNumber(prefix),
  // replacing its earlier one in place.
  void AssignCallsign(const QString& prefix, int id);
  // The smallest number 1 ... 10 not used by a callsign containing `prefix`;
  // 1 when all ten are used.
  int NextCallsignNumber(const QString& prefix) const;
  bool LookupCallsign(int id, QString& callsign) const;
  // Entries in the order they were first made.
  const std::vector<CCallsignEntry>& Callsigns() const { return callsigns_; }

  ClientState& State() { return state_; }
  const ClientState& State() const { return state_; }

 private:
  void RefreshContact(CContact& contact, double latitude, double longitude, double altitude, double heading,
                      double speed);
  void CreateContact(int id, std::string_view name, double latitude, double longitude, double altitude, double heading,
                     bool friendly, char classLetter, double speed);
  void RemoveContact(ContactList::iterator position);
  void PushHistory(CContact& contact) const;
  void DesignateAwacsIfAny(CContact& contact);
  void GiveRadarData(CContact& contact, std::string_view name);

  ClientState& state_;
  SecondsClock clock_;
  ContactList contacts_;
  // Indexes beside the list; every pointer/iterator is into contacts_.
  std::unordered_map<int, ContactList::iterator> byId_;
  std::unordered_map<int, CContact*> friendlyRadarByNumber_;
  std::vector<const CContact*> carriers_;  // in table order
  std::vector<CAirfield> airfields_;
  std::vector<CCallsignEntry> callsigns_;
  std::unordered_map<int, std::size_t> callsignById_;
};

}  // namespace vantor::model
