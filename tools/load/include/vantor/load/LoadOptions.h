#pragma once
// The options of vantor-load.

#include <QHostAddress>
#include <QString>
#include <QStringList>

#include <cstdint>
#include <optional>
#include <vector>

#include "vantor/load/LoadReport.h"

namespace vantor::load {

enum class Coalition { Blue, Red };

struct LoadOptions {
  QString server = QStringLiteral("127.0.0.1");
  quint16 clientPort = 10310;
  int clients = 3;
  QHostAddress firstAddress{QStringLiteral("127.0.0.2")};
  std::vector<Coalition> coalitions{Coalition::Blue, Coalition::Red};  // cycled over the clients
  std::optional<QString> bluePassword;  // default: the one the server's configuration block holds
  std::optional<QString> redPassword;
  double durationSeconds = 20.0;
  double warmupSeconds = 3.0;
  double connectTimeoutSeconds = 10.0;
  std::optional<std::int64_t> serverPid;
  std::vector<std::int64_t> watchPids;
  std::vector<QHostAddress> watchUdp;  // other clients' track ports (their address, the client port)
  int receiveBufferBytes = 0;          // 0: what the client asks for
  QString jsonPath;                    // "-" standard output
  bool quiet = false;
  Thresholds thresholds;

  // The address of client `index` (0 ...): the first address plus the index.
  QHostAddress ClientAddress(int index) const;
  Coalition ClientCoalition(int index) const;
};

inline constexpr int kMaxLoadClients = 200;

// Parses the arguments (argv[0] first). Prints help or version and sets
// `exitCode` 0, or prints the error and sets 2, when the program should not
// run.
std::optional<LoadOptions> ParseLoadOptions(const QStringList& arguments, int& exitCode);

}  // namespace vantor::load
