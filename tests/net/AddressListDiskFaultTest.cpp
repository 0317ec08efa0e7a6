// "Configsrv.cfg" on a full disk and in a read-only folder: the list says it
// was not written, the previous file is intact, the chosen address is still
// used and remembered for the rest of the run.
#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include "FileFaults.h"
#include "vantor/net/ServerAddressList.h"

namespace vantor::net {
namespace {

class AddressListOnAFaultyDisk : public ::testing::Test {
 protected:
  void SetUp() override {
    QFile file(Path());
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(kPrevious);
  }
  QString Path() const { return dir_.filePath("Configsrv.cfg"); }
  QByteArray Contents() const {
    QFile file(Path());
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<missing>");
  }
  static constexpr const char* kPrevious = "10.0.0.1\n10.0.0.2\n";
  QTemporaryDir dir_;
};

TEST_F(AddressListOnAFaultyDisk, FullDisk) {
  ServerAddressList list(Path());
  list.Load();
  const QString longName = QString(200, 'h') + ".example.org";
  {
    const test::FileSizeLimit full(16);
    EXPECT_FALSE(list.Confirm(longName));
  }
  EXPECT_EQ(Contents(), kPrevious);
  EXPECT_EQ(QDir(dir_.path()).entryList(QDir::Files).size(), 1) << "no half-written file left";
}

TEST_F(AddressListOnAFaultyDisk, ReadOnlyFolder) {
  ServerAddressList list(Path());
  list.Load();
  {
    const test::ReadOnlyFolder readOnly(dir_.path().toStdString());
    ASSERT_EQ(readOnly.Failed(), "");
    EXPECT_FALSE(list.Confirm("192.168.1.20"));
  }
  EXPECT_EQ(Contents(), kPrevious);
  EXPECT_TRUE(list.Contains("192.168.1.20")) << "remembered for this run";
  EXPECT_TRUE(list.Confirm("192.168.1.21"));
  EXPECT_EQ(Contents(), "10.0.0.1\n10.0.0.2\n192.168.1.20\n192.168.1.21\n");
}

}  // namespace
}  // namespace vantor::net
