// "Configsrv.cfg" as the address dialog reads and rewrites it: every entry
// appears once, none is blank, and what is written reads back the same.
#include <QString>

#include <cstdint>

#include "FuzzSupport.h"
#include "vantor/net/ServerAddressList.h"

using namespace vantor;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  fuzz::FuzzInput input(data, size);
  const std::string_view typed = input.Chunk();
  const auto file = fuzz::WriteScratchFile("Configsrv.cfg", input.Rest());
  const QString path = QString::fromStdString(file.string());

  net::ServerAddressList list(path);
  list.Load();
  const QStringList entries = list.Entries();
  QStringList unique = entries;
  FUZZ_CHECK(unique.removeDuplicates() == 0);
  for (const QString& entry : entries) FUZZ_CHECK(!entry.trimmed().isEmpty());
  FUZZ_CHECK(list.SortedForDisplay().size() == entries.size());

  // The user's choice: a new one is added and the file rewritten.
  const QString address = net::NormalisedAddress(QString::fromUtf8(typed.data(), static_cast<qsizetype>(typed.size())));
  const bool known = list.Contains(address);
  FUZZ_CHECK(list.Confirm(address));
  net::ServerAddressList again(path);
  again.Load();
  if (known || address.trimmed().isEmpty() || address.contains('\n') || address.contains('\r')) return 0;
  QStringList expected = entries;
  expected.append(address);
  FUZZ_CHECK(again.Entries() == expected);

  FUZZ_CHECK(again.Reset());
  net::ServerAddressList empty(path);
  empty.Load();
  FUZZ_CHECK(empty.Entries().isEmpty());
  return 0;
}
