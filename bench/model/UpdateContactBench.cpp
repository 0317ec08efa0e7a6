// Applying one track datagram to the contact table.
#include <benchmark/benchmark.h>

#include <string>
#include <vector>

#include "vantor/model/CRivakDoc.h"

namespace {

using vantor::model::ClientState;
using vantor::model::CRivakDoc;

struct Record {
  int id;
  std::string name;
  double latitude, longitude, altitude, heading;
  int friendly;
  char classLetter;
  double speed;
};

std::vector<Record> MakeRecords(int count, int firstId, double shift) {
  std::vector<Record> records;
  records.reserve(static_cast<std::size_t>(count));
  const char classes[] = {'B', 'B', 'B', 'C', 'A', 'D', 'B', 'E'};
  for (int i = 0; i < count; ++i) {
    const char classLetter = classes[i % 8];
    records.push_back(
        Record{firstId + i,
               classLetter == 'A' ? "SA-11 BUK SR " + std::to_string(i) : "F-15C (Colt " + std::to_string(i) + ")",
               44.0 + i * 0.001 + shift, 36.0 + i * 0.002, 3000.0 + i, 1.57, i % 2, classLetter, 500.0 + i % 300});
  }
  return records;
}

void Apply(CRivakDoc& doc, const std::vector<Record>& records) {
  for (const Record& r : records) {
    doc.UpdateContact(r.id, r.name, r.latitude, r.longitude, r.altitude, r.heading, r.friendly, r.classLetter, r.speed);
  }
}

// 1,000 refreshes of a table of 1,000 contacts, with the history clock
// advancing so every record also pushes a history point.
void BM_UpdateContact_RefreshThousandOfThousand(benchmark::State& bench) {
  ClientState state;
  std::int64_t now = 1'700'000'000;
  CRivakDoc doc(state, [&now] { return now; });
  Apply(doc, MakeRecords(1000, 16777216, 0.0));
  const std::vector<Record> datagram = MakeRecords(1000, 16777216, 0.01);
  for (auto _ : bench) {
    now += 6;
    Apply(doc, datagram);
  }
  bench.SetItemsProcessed(bench.iterations() * static_cast<std::int64_t>(datagram.size()));
}
BENCHMARK(BM_UpdateContact_RefreshThousandOfThousand)->Unit(benchmark::kMicrosecond);

// A datagram that replaces half the table: 500 lost-track records and 500
// new contacts, then the reverse.
void BM_UpdateContact_ChurnHalfOfThousand(benchmark::State& bench) {
  ClientState state;
  CRivakDoc doc(state);
  const std::vector<Record> base = MakeRecords(1000, 1, 0.0);
  Apply(doc, base);
  std::vector<Record> lose = MakeRecords(500, 1, 0.0);
  for (Record& r : lose) r.longitude = r.altitude = r.heading = r.speed = 0.0;
  const std::vector<Record> create = MakeRecords(500, 5001, 0.0);
  std::vector<Record> forward = lose;
  forward.insert(forward.end(), create.begin(), create.end());
  std::vector<Record> backward = MakeRecords(500, 1, 0.0);
  std::vector<Record> loseNew = create;
  for (Record& r : loseNew) r.longitude = r.altitude = r.heading = r.speed = 0.0;
  backward.insert(backward.end(), loseNew.begin(), loseNew.end());
  bool flip = false;
  for (auto _ : bench) {
    Apply(doc, flip ? backward : forward);
    flip = !flip;
  }
  bench.SetItemsProcessed(bench.iterations() * 1000);
}
BENCHMARK(BM_UpdateContact_ChurnHalfOfThousand)->Unit(benchmark::kMicrosecond);

// The scope's per-contact queries over a table of 1,000.
void BM_CountContactsNearAllOfThousand(benchmark::State& bench) {
  ClientState state;
  CRivakDoc doc(state);
  Apply(doc, MakeRecords(1000, 1, 0.0));
  int i = 0;
  for (auto& contact : doc.Contacts()) {
    contact.screenX = (i * 37) % 1280;
    contact.screenY = (i * 53) % 1024;
    ++i;
  }
  for (auto _ : bench) {
    int total = 0;
    for (const auto& contact : doc.Contacts())
      total += doc.CountContactsNear(contact.id, contact.screenX, contact.screenY);
    benchmark::DoNotOptimize(total);
  }
}
BENCHMARK(BM_CountContactsNearAllOfThousand)->Unit(benchmark::kMicrosecond);

}  // namespace

BENCHMARK_MAIN();
