// The live picture headless: the real vantorsrv fed a scripted mission, and
// Vantor logged on from its command line writing its scope as a PNG.
#include <gtest/gtest.h>

#include <QDateTime>
#include <QFileInfo>
#include <QImage>
#include <QProcess>
#include <QTcpSocket>
#include <QTemporaryDir>

#include <chrono>

#include "ChildProcess.h"
#include "ScopeTestSupport.h"
#include "TestSupport.h"
#include "vantor/scope/ScopeGeometry.h"

namespace vantor::scope::test {
namespace {

using namespace std::chrono_literals;

using Process = vantor::test::ChildProcess;

// One object of the simulator's feed.
QByteArray FeedRecord(int id, char kind, const QString& name, const QString& coalition, geo::GeoPoint at,
                      double altitude, double heading) {
  return QStringLiteral("%1 %2 %3[%4]@@%5 %6 %7 %8##")
      .arg(id, 8, 10, QLatin1Char('0'))
      .arg(QLatin1Char(kind))
      .arg(name, coalition)
      .arg(at.latitude, 0, 'f', 6)
      .arg(at.longitude, 0, 'f', 6)
      .arg(altitude, 0, 'f', 1)
      .arg(heading, 0, 'f', 3)
      .toUtf8();
}

TEST(LiveSnapshot, TheCoalitionsPictureOfAServedMission) {
  QTemporaryDir dir;
  const quint16 feedPort = vantor::test::FreeTcpPort();
  const quint16 clientPort = vantor::test::FreeTcpPort();
  {
    QFile settings(dir.filePath("vantorsrv.ini"));
    ASSERT_TRUE(settings.open(QIODevice::WriteOnly));
    settings.write("[Config]\nbluepass=azure\nredpass=crimson\n");
  }
  Process server("vantorsrv",
                 {"--headless", "--no-simulator", "--feed-port", QString::number(feedPort), "--client-port",
                  QString::number(clientPort), "--settings", dir.filePath("vantorsrv.ini")},
                 dir.path());
  ASSERT_TRUE(server.WaitFor("client port")) << server.Output().toStdString();

  // The picture is renewed every half second; the one taken after the
  // contacts arrived is checked.
  const QString picture = dir.filePath("scope.png");
  Process client("Vantor", {"--settings",       dir.filePath("rivak.ini"),
                            "--no-sound",       "--log-tracks",
                            "--server",         "127.0.0.1",
                            "--password",       "azure",
                            "--client-port",    QString::number(clientPort),
                            "--bind",           "127.0.0.11",
                            "--range",          "100",
                            "--snapshot",       picture,
                            "--snapshot-after", "1",
                            "--snapshot-every", "0.5"},
                 dir.path());
  ASSERT_TRUE(client.WaitFor("joined (Blue)")) << client.Output().toStdString();

  // A friendly frigate and a hostile radar site: always shown while on the
  // scope, whatever the sensors.
  const geo::GeoPoint frigate{45.25, 38.70};
  const geo::GeoPoint site{44.90, 39.25};
  QTcpSocket feed;
  feed.connectToHost(QHostAddress::LocalHost, feedPort);
  ASSERT_TRUE(feed.waitForConnected(5000));
  for (int batch = 0; batch < 3; ++batch) {
    const double drift = 0.0005 * batch;
    feed.write(
        FeedRecord(20000001, 'C', "Frigate Pytlivy", "USA", {frigate.latitude + drift, frigate.longitude}, 0.0, 0.0) +
        FeedRecord(20000002, 'A', "SA-2 HAWK SR", "Allies", site, 120.0, 0.0));
    feed.flush();
    vantor::test::WaitUntil([] { return false; }, 300ms);
  }
  ASSERT_TRUE(client.WaitFor("table 2 contacts")) << client.Output().toStdString();
  ASSERT_TRUE(client.WaitFor("scope picture written")) << client.Output().toStdString();
  const QDateTime before = QFileInfo(picture).lastModified();
  ASSERT_TRUE(vantor::test::WaitUntil([&] { return QFileInfo(picture).lastModified() > before; }, 10s));
  const QImage image(picture);
  ASSERT_FALSE(image.isNull());

  // Where the scope puts them: centred on Krasnodar center at 100 km.
  ScopeGeometry geometry;
  const PixelRect rect{0, 0, image.width(), image.height()};
  geometry.UpdateGeometry(rect, rect);
  geometry.SetRangeKm(100);
  geometry.OnCentringCommand(kHomeAirfieldCommand, FixedCentre(kSeaCentre));
  const ScreenPoint ship = geometry.GeoToScreen(frigate.latitude + 0.001, frigate.longitude);
  const ScreenPoint radar = geometry.GeoToScreen(site.latitude, site.longitude);
  EXPECT_TRUE(ColourNear(image, {ship.x - 5, ship.y}, QColor(90, 174, 235), 1));
  EXPECT_TRUE(ColourNear(image, {ship.x + 5, ship.y}, QColor(90, 174, 235), 1));
  EXPECT_TRUE(IsColour(image, radar.x, radar.y, QColor(255, 0, 0)));
  EXPECT_TRUE(ColourNear(image, {radar.x + 15, radar.y}, QColor(90, 174, 235), 1));
}

}  // namespace
}  // namespace vantor::scope::test
