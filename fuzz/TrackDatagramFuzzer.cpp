// The client's track datagram reader with its carry, feeding the contact
// table as the receive path does, datagram by datagram.
#include <cstdint>
#include <mutex>
#include <vector>

#include "FuzzSupport.h"
#include "vantor/model/CRivakDoc.h"
#include "vantor/model/ClientState.h"
#include "vantor/protocol/TrackDatagram.h"

using namespace vantor;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  fuzz::FuzzInput input(data, size);
  const std::uint8_t setup = input.Byte();
  model::ClientState state;
  state.isBlue = setup & 1;
  state.configBlock.radarOnly[state.isBlue ? 0 : 1] = (setup >> 1) & 1;
  std::int64_t now = 1'700'000'000;
  model::CRivakDoc document(state, [&now] { return now; });
  protocol::TrackDatagramReader reader;
  std::vector<protocol::TrackEntry> entries;
  while (!input.Empty()) {
    now += input.Byte() & 0x0F;
    const std::string_view datagram = input.Chunk();
    entries.clear();
    std::lock_guard<model::ContactLock> guard(state.contactLock);
    reader.feed(std::span(reinterpret_cast<const std::uint8_t*>(datagram.data()), datagram.size()), entries);
    FUZZ_CHECK(reader.carrySize() < protocol::kMaxDatagramBytes);
    for (const protocol::TrackEntry& entry : entries) {
      FUZZ_CHECK(!entry.name.empty());
      document.UpdateContact(entry.id, entry.name, entry.latitude, entry.longitude, entry.altitude, entry.heading,
                             protocol::IsFriendly(entry.sideLetter, state.isBlue != 0) ? 1 : 0, entry.classLetter,
                             entry.speed);
    }
    FUZZ_CHECK(document.ContactCount() <= model::kMaxContacts);
  }
  // What the views ask of the table.
  std::lock_guard<model::ContactLock> guard(state.contactLock);
  for (const model::CContact& contact : document.Contacts()) {
    FUZZ_CHECK(document.FindContact(contact.id) == &contact);
    if (contact.radarSite != 0 && contact.friendly != 0) (void)document.FindRadarSite(contact.radarNumber);
  }
  double latitude = 0.0;
  double longitude = 0.0;
  (void)document.FindCarrierPosition(latitude, longitude);
  (void)document.CountContactsNear(-1, 100, 100);
  document.ClearContacts();
  FUZZ_CHECK(document.ContactCount() == 0);
  return 0;
}
