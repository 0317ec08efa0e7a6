// "Configsrv.cfg": reading, de-duplication and the rewrite rules.
#include <gtest/gtest.h>

#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include "vantor/net/ServerAddressList.h"

namespace vantor::net {
namespace {

class AddressFile : public ::testing::Test {
 protected:
  QString path() const { return dir.filePath("Configsrv.cfg"); }
  void Write(const QByteArray& content) const {
    QFile file(path());
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(content);
  }
  QByteArray Read() const {
    QFile file(path());
    if (!file.open(QIODevice::ReadOnly)) return "<missing>";
    return file.readAll();
  }
  ServerAddressList Opened() const {
    ServerAddressList list(path());
    list.Load();
    return list;
  }
  QTemporaryDir dir;
};

// Found by fuzzing: a CR inside a line was kept by one read and dropped by
// the next, so every rewrite changed the entry.
TEST_F(AddressFile, EntriesReadBackAsWrittenWhateverTheirLineEnds) {
  Write("\np\rost\r\n10.0.0.1\r\n\r\r\n\xef\xbb\xbf\r\n");
  ServerAddressList list = Opened();
  EXPECT_EQ(list.Entries(), (QStringList{"p\rost", "10.0.0.1"}));
  ASSERT_TRUE(
      list.Confirm(NormalisedAddress(QString::fromUtf8(" \xef\xbb\xbf"
                                                       "10.0.0.2"))));
  EXPECT_EQ(Opened().Entries(), (QStringList{"p\rost", "10.0.0.1", "10.0.0.2"}));
}

TEST_F(AddressFile, FirstUseCreatesTheFileWithTheOneAddress) {
  ServerAddressList list = Opened();
  EXPECT_TRUE(list.Entries().isEmpty());
  EXPECT_EQ(Read(), "<missing>");
  ASSERT_TRUE(list.Confirm("192.168.1.20"));
  EXPECT_EQ(Read(), "192.168.1.20\n");
}

TEST_F(AddressFile, DuplicatesShowOnceAndAreDroppedAtTheNextAddition) {
  Write("alpha\nbeta\nalpha\nbeta\n");
  ServerAddressList list = Opened();
  EXPECT_EQ(list.Entries(), (QStringList{"alpha", "beta"}));
  // Choosing a listed address does not touch the file.
  ASSERT_TRUE(list.Confirm("beta"));
  EXPECT_EQ(Read(), "alpha\nbeta\nalpha\nbeta\n");
  ASSERT_TRUE(list.Confirm("gamma"));
  EXPECT_EQ(Read(), "alpha\nbeta\ngamma\n");
}

TEST_F(AddressFile, ChoosingAListedAddressLeavesTheFileUntouched) {
  Write("10.0.0.1\n10.0.0.2\n");
  const QDateTime before = QFileInfo(path()).lastModified();
  ServerAddressList list = Opened();
  ASSERT_TRUE(list.Confirm("10.0.0.2"));
  EXPECT_EQ(Read(), "10.0.0.1\n10.0.0.2\n");
  EXPECT_EQ(QFileInfo(path()).lastModified(), before);
}

TEST_F(AddressFile, ResetEmptiesListAndFileEvenWhenTheDialogIsCancelledAfterwards) {
  Write("one\ntwo\n");
  ServerAddressList list = Opened();
  ASSERT_TRUE(list.Reset());
  EXPECT_TRUE(list.Entries().isEmpty());
  EXPECT_EQ(Read(), "");
  EXPECT_TRUE(QFileInfo::exists(path()));
}

TEST_F(AddressFile, AddressesDifferingInCaseStayApart) {
  Write("Server.local\n");
  ServerAddressList list = Opened();
  ASSERT_TRUE(list.Confirm("server.local"));
  EXPECT_EQ(list.Entries(), (QStringList{"Server.local", "server.local"}));
  EXPECT_EQ(Read(), "Server.local\nserver.local\n");
}

TEST_F(AddressFile, OddFilesReadSafely) {
  // CR LF line ends of another system, blank lines and a last line without
  // its line end.
  Write("a.example\r\n\r\n\nb.example\r\nc.example");
  EXPECT_EQ(Opened().Entries(), (QStringList{"a.example", "b.example", "c.example"}));
  // A folder in the file's place: an empty list, and writing fails quietly.
  QTemporaryDir other;
  ServerAddressList unreadable(other.path());
  unreadable.Load();
  EXPECT_TRUE(unreadable.Entries().isEmpty());
  EXPECT_FALSE(unreadable.Confirm("x"));
  EXPECT_EQ(unreadable.Entries(), QStringList{"x"});
}

TEST_F(AddressFile, DropDownShowsTheEntriesSorted) {
  Write("zulu\nAlpha\n10.0.0.9\nalpha\nbravo\n");
  const ServerAddressList list = Opened();
  EXPECT_EQ(list.SortedForDisplay(), (QStringList{"10.0.0.9", "Alpha", "alpha", "bravo", "zulu"}));
  // The file order is kept apart from the display order.
  EXPECT_EQ(list.Entries().front(), "zulu");
}

TEST(ServerAddress, TypedBlanksAreNotPartOfTheAddress) {
  EXPECT_EQ(NormalisedAddress("  10.1.2.3 \t"), "10.1.2.3");
  EXPECT_EQ(NormalisedAddress("host"), "host");
}

}  // namespace
}  // namespace vantor::net
