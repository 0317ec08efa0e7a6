#include <gtest/gtest.h>

#include <QFile>
#include <QTemporaryDir>

#include "vantor/server/HostCheck.h"
#include "vantor/server/SocketErrorTexts.h"

using namespace vantor::server;

namespace {

const char* kTableHeader =
    "  sl  local_address rem_address   st tx_queue rx_queue tr tm->when retrnsmt   uid  timeout inode\n";

// 10308 = 0x2844
std::string Line(const char* local, const char* remote, const char* state) {
  return std::string("   0: ") + local + " " + remote + " " + state +
         " 00000000:00000000 00:00000000 00000000  1000        0 12345 1 0000000000000000 100 0 0 10 0\n";
}

}  // namespace

TEST(HostCheck, ReadsTableFilesAndRefusesWhenNoneCanBeRead) {
  QTemporaryDir dir;
  const QString path = dir.filePath("tcp");
  QFile file(path);
  ASSERT_TRUE(file.open(QIODevice::WriteOnly));
  file.write((kTableHeader + Line("0A00000F:C350", "0A000001:2844", "01")).c_str());
  file.close();
  KernelTcpTableHostCheck joined({path.toStdString(), dir.filePath("missing").toStdString()});
  EXPECT_FALSE(joined.SimulatorHostCheck());
  KernelTcpTableHostCheck missing({dir.filePath("missing").toStdString()});
  EXPECT_FALSE(missing.SimulatorHostCheck());
  KernelTcpTableHostCheck real;
  (void)real.SimulatorHostCheck();  // readable here; the verdict depends on the host
}

TEST(SocketErrorTexts, MappedFromPlatformErrors) {
  EXPECT_EQ(WinsockErrorCode(QAbstractSocket::AddressInUseError), 10048);
  EXPECT_EQ(SocketErrorText(10048, vantor::Language::English), "TCP/IP: Addresse en cours d'utilisation");
  EXPECT_EQ(SocketErrorText(WinsockErrorCode(QAbstractSocket::SocketAccessError), vantor::Language::Spanish),
            "TCP/IP: Permission refusée");
  EXPECT_EQ(SocketErrorText(WinsockErrorCode(QAbstractSocket::UnknownSocketError), vantor::Language::French),
            "oupssss ??????");
  EXPECT_EQ(SocketErrorText(10101, vantor::Language::French), "TCP/IP: Fermeture en cours");
  EXPECT_EQ(SocketErrorText(12345, vantor::Language::French), "oupssss ??????");
}
