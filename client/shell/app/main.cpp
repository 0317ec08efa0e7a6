// Vantor: the controller's radar display.
#include <QApplication>
#include <QCommandLineOption>
#include <QCommandLineParser>

#include <QHostAddress>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <functional>
#include <memory>
#include <optional>
#include <vector>

#include "vantor/platform/PortOption.h"
#include "vantor/record/ReplayController.h"
#include "vantor/scope/CRivakView.h"
#include "vantor/shell/CButtonView.h"
#include "vantor/shell/CInfoView.h"
#include "vantor/shell/CMainFrame.h"
#include "vantor/shell/CRivakApp.h"
#include "vantor/shell/ConnectionShell.h"
#include "vantor/shell/ScopeSnapshots.h"

int main(int argc, char** argv) {
  QApplication::setApplicationName("Vantor");
  QApplication::setOrganizationName("VANTOR");
  QApplication::setApplicationVersion(VANTOR_VERSION);

  QCommandLineParser parser;
  parser.setApplicationDescription("Radar and air-traffic-control display of a Vantor server's mission.");
  const QCommandLineOption helpOption = parser.addHelpOption();
  const QCommandLineOption versionOption = parser.addVersionOption();
  const QCommandLineOption settingsOption(
      "settings", "Read and write the settings in the INI file <FILE> instead of the user's settings.", "FILE");
  const QCommandLineOption silentOption("no-sound", "Play no sounds.");
  const QCommandLineOption dataOption(
      "data",
      "Look for the map data files and the drawing in <FOLDER> (default: the working folder, then the "
      "program's folder).",
      "FOLDER");
  const QCommandLineOption snapshotOption(
      "snapshot", "After a few seconds of normal running, save the scope's picture as a PNG image in <FILE> and exit.",
      "FILE");
  const QCommandLineOption windowSnapshotOption(
      "snapshot-window",
      "After a few seconds of normal running, save the whole main window, all panes, as a PNG image in <FILE> and "
      "exit.",
      "FILE");
  const QCommandLineOption snapshotAfterOption(
      "snapshot-after", "Seconds of running before --snapshot or --snapshot-window saves the picture (default 3).",
      "SECONDS", "3");
  const QCommandLineOption snapshotEveryOption(
      "snapshot-every",
      "With --snapshot or --snapshot-window: keep running and save the picture again every <SECONDS> seconds.",
      "SECONDS");
  parser.addOption(settingsOption);
  parser.addOption(silentOption);
  parser.addOption(dataOption);
  parser.addOption(snapshotOption);
  parser.addOption(windowSnapshotOption);
  parser.addOption(snapshotAfterOption);
  parser.addOption(snapshotEveryOption);
  // The scope's view at start, as the wheel and the panel's buttons would set it.
  const QCommandLineOption rangeOption(
      "range", "Start the scope at <KM> across (2, 5, 10, 20, 50, 100, 200 or 300; default 50).", "KM");
  const QCommandLineOption labelsOption("labels", "Start with the contact labels shown.");
  const QCommandLineOption coverageOption("coverage", "Start with the radar coverage circles shown.");
  const QCommandLineOption atcOption(
      "atc",
      "Start in ATC mode, as the panel's AWACS/ATC button sets it: the scope at 50 km on the airfield, the "
      "approach view open.");
  parser.addOption(rangeOption);
  parser.addOption(labelsOption);
  parser.addOption(coverageOption);
  const QCommandLineOption compareOption(
      "compare",
      "Compare two contacts in the information panel's first block (two track ids), or in both blocks (four).",
      "ID,ID[,ID,ID]");
  parser.addOption(atcOption);
  parser.addOption(compareOption);
  // The controller's aids, as the display settings dialog and the scope's
  // context menu set them (for this run; the bullseye is stored).
  const QCommandLineOption cursorReadoutOption("cursor-readout", "Show the cursor readout in the scope's corner.");
  const QCommandLineOption bullseyeOption(
      "bullseye",
      "Place the bullseye at <LAT,LON> (decimal degrees) and give hostile labels bearing and range from it.",
      "LAT,LON");
  const QCommandLineOption braaOption(
      "braa", "Give BRAA calls on hostile labels from the friendly contact with track id <ID>.", "ID");
  const QCommandLineOption declutterOption("declutter", "Place the contact labels apart, with leader lines.");
  const QCommandLineOption conflictAlertOption("conflict-alert",
                                               "Warn of friendly aircraft predicted to come too close.");
  parser.addOption(cursorReadoutOption);
  parser.addOption(bullseyeOption);
  parser.addOption(braaOption);
  parser.addOption(declutterOption);
  parser.addOption(conflictAlertOption);
  const QCommandLineOption serverOption(
      "server", "Connect to <HOST> without the server address dialog (it joins the remembered addresses).", "HOST");
  const QCommandLineOption passwordOption(
      "password", "Answer the first password question with <PW>; a wrong one brings up the dialog.", "PW");
  const QCommandLineOption clientPortOption(
      "client-port", "The server's control port and the local port of the track datagrams (default 10310).", "N",
      "10310");
  const QCommandLineOption bindOption(
      "bind", "Local address of both sockets (default: the track port on every local address).", "ADDR");
  const QCommandLineOption anySenderOption(
      "accept-any-track-sender",
      "Take track datagrams from any sender, not only from the server's address (for a server whose datagrams leave "
      "from another address; also the setting AcceptAnyTrackSender=1).");
  const QCommandLineOption logTracksOption(
      "log-tracks", "Write a line per track datagram and per connection change on stderr (also VANTOR_LOG_TRACKS=1).");
  parser.addOption(serverOption);
  parser.addOption(passwordOption);
  parser.addOption(clientPortOption);
  parser.addOption(bindOption);
  parser.addOption(anySenderOption);
  parser.addOption(logTracksOption);
  const QCommandLineOption recordOption(
      "record", "Record what the client receives (log-on, tracks, chat) into <FILE> for a later --replay.", "FILE");
  const QCommandLineOption replayOption(
      "replay", "Replay the recording <FILE> in the window, with a timeline, instead of connecting to a server.",
      "FILE");
  const QCommandLineOption seekOption(
      "seek", "With --replay: start at mission time <H:MM:SS> of the recording (with --snapshot: show that moment).",
      "H:MM:SS");
  parser.addOption(recordOption);
  parser.addOption(replayOption);
  parser.addOption(seekOption);

  // Parsed before the window system is opened, so --help and --version work
  // without a display.
  QStringList arguments;
  for (int i = 0; i < argc; ++i) arguments << QString::fromLocal8Bit(argv[i]);
  if (!parser.parse(arguments)) {
    std::fprintf(stderr, "Vantor: %s\n", qPrintable(parser.errorText()));
    return 2;
  }
  if (parser.isSet(helpOption) || parser.isSet("help-all")) {
    // Without an application object the parser cannot know the program's name.
    std::fputs(qPrintable(parser.helpText().replace("<executable_name>", "Vantor")), stdout);
    return 0;
  }
  if (parser.isSet(versionOption)) {
    std::printf("Vantor %s\n", VANTOR_VERSION);
    return 0;
  }

  // The scope's picture and the whole window's, each with the same timing.
  std::optional<vantor::shell::SnapshotOptions> snapshot;
  std::optional<vantor::shell::SnapshotOptions> windowSnapshot;
  if (parser.isSet(snapshotOption) || parser.isSet(windowSnapshotOption)) {
    vantor::shell::SnapshotOptions timing;
    const auto after = vantor::shell::ParseSnapshotSeconds(parser.value(snapshotAfterOption));
    if (!after) {
      std::fprintf(stderr, "Vantor: --snapshot-after needs a number of seconds\n");
      return 2;
    }
    timing.after = *after;
    if (parser.isSet(snapshotEveryOption)) {
      timing.every = vantor::shell::ParseSnapshotSeconds(parser.value(snapshotEveryOption));
      if (!timing.every) {
        std::fprintf(stderr, "Vantor: --snapshot-every needs a number of seconds\n");
        return 2;
      }
    }
    if (parser.isSet(snapshotOption)) {
      snapshot = timing;
      snapshot->file = parser.value(snapshotOption);
    }
    if (parser.isSet(windowSnapshotOption)) {
      windowSnapshot = timing;
      windowSnapshot->file = parser.value(windowSnapshotOption);
    }
  } else if (parser.isSet(snapshotAfterOption) || parser.isSet(snapshotEveryOption)) {
    std::fprintf(stderr,
                 "Vantor: --snapshot-after and --snapshot-every need --snapshot FILE or --snapshot-window FILE\n");
    return 2;
  }

  std::optional<unsigned> startRange;
  if (parser.isSet(rangeOption)) {
    bool ok = false;
    const unsigned range = parser.value(rangeOption).toUInt(&ok);
    if (!ok || range > vantor::scope::kNarrowScopeMaxRangeKm || vantor::scope::RangeLegendBitmap(range, false) == 0) {
      std::fprintf(stderr, "Vantor: --range needs one of 2, 5, 10, 20, 50, 100, 200 or 300\n");
      return 2;
    }
    startRange = range;
  }

  std::vector<int> compared;
  if (parser.isSet(compareOption)) {
    for (const QString& part : parser.value(compareOption).split(u',')) {
      bool ok = false;
      const int id = part.trimmed().toInt(&ok);
      if (!ok) {
        compared.clear();
        break;
      }
      compared.push_back(id);
    }
    if (compared.size() != 2 && compared.size() != 4) {
      std::fprintf(stderr, "Vantor: --compare needs two or four track ids, separated by commas\n");
      return 2;
    }
  }

  std::optional<vantor::geo::GeoPoint> bullseye;
  if (parser.isSet(bullseyeOption)) {
    const QStringList parts = parser.value(bullseyeOption).split(u',');
    bool latitudeOk = false, longitudeOk = false;
    const double latitude = parts.size() == 2 ? parts[0].trimmed().toDouble(&latitudeOk) : 0.0;
    const double longitude = parts.size() == 2 ? parts[1].trimmed().toDouble(&longitudeOk) : 0.0;
    if (!latitudeOk || !longitudeOk || std::fabs(latitude) > 90.0 || std::fabs(longitude) > 180.0 ||
        (latitude == 0.0 && longitude == 0.0)) {
      std::fprintf(stderr, "Vantor: --bullseye needs a latitude and a longitude in degrees, e.g. 45.08,38.95\n");
      return 2;
    }
    bullseye = vantor::geo::GeoPoint{latitude, longitude};
  }
  std::optional<int> braaFriendly;
  if (parser.isSet(braaOption)) {
    bool ok = false;
    braaFriendly = parser.value(braaOption).trimmed().toInt(&ok);
    if (!ok) {
      std::fprintf(stderr, "Vantor: --braa needs the track id of a friendly contact\n");
      return 2;
    }
  }

  vantor::net::ConnectionOptions connection;
  const auto clientPort = vantor::ParsePortOption(parser.value(clientPortOption));
  if (!clientPort) {
    std::fprintf(stderr, "Vantor: --client-port needs a port number from 1 to 65535\n");
    return 2;
  }
  connection.serverPort = *clientPort;
  connection.datagramPort = *clientPort;
  if (parser.isSet(bindOption) && !connection.bindAddress.setAddress(parser.value(bindOption))) {
    std::fprintf(stderr, "Vantor: --bind needs a local IP address, not \"%s\"\n", qPrintable(parser.value(bindOption)));
    return 2;
  }
  std::optional<std::uint32_t> seek;
  if (parser.isSet(seekOption)) {
    if (!parser.isSet(replayOption)) {
      std::fprintf(stderr, "Vantor: --seek needs --replay FILE\n");
      return 2;
    }
    seek = vantor::record::ParseReplayTime(parser.value(seekOption));
    if (!seek) {
      std::fprintf(stderr, "Vantor: --seek needs a mission time as H:MM:SS, M:SS or seconds\n");
      return 2;
    }
  }
  if (parser.isSet(replayOption) && (parser.isSet(recordOption) || parser.isSet(serverOption))) {
    std::fprintf(stderr, "Vantor: --replay connects to no server; it goes without --record and --server\n");
    return 2;
  }
  if (parser.isSet(serverOption)) connection.presetServer = parser.value(serverOption);
  if (parser.isSet(passwordOption)) connection.presetPassword = parser.value(passwordOption);
  connection.acceptAnyTrackSender = parser.isSet(anySenderOption);

  QApplication application(argc, argv);
  vantor::shell::StartupOptions options;
  options.settingsFile = parser.value(settingsOption);
  options.sounds = !parser.isSet(silentOption);
  if (parser.isSet(dataOption)) options.dataFolders = QStringList{parser.value(dataOption)};
  options.connection = std::move(connection);
  options.logTracks = vantor::shell::TrackLogRequested(parser.isSet(logTracksOption));
  options.recordFile = parser.value(recordOption);
  options.replayFile = parser.value(replayOption);
  options.seekMs = seek.value_or(0);
  // A picture of a past moment shows that moment: the replay waits there.
  options.replayPlays = !snapshot && !windowSnapshot;

  vantor::shell::CRivakApp client(std::move(options));
  if (!client.InitInstance()) return 1;
  vantor::scope::CRivakView* scope = client.MainWindow()->Scope();
  if (startRange) scope->SetRangeKm(*startRange);
  if (parser.isSet(labelsOption)) scope->Options().labelsShown = scope->Options().labelsOption = true;
  if (parser.isSet(coverageOption)) scope->Options().coverageShown = true;
  client.MainWindow()->ButtonView()->ShowScopeSwitches();
  if (parser.isSet(atcOption)) client.MainWindow()->ButtonView()->PressAtcButton();
  vantor::model::ClientSettings& settings = client.Settings();
  if (parser.isSet(cursorReadoutOption)) settings.showCursorReadout = true;
  if (parser.isSet(declutterOption)) settings.declutter = true;
  if (parser.isSet(conflictAlertOption)) settings.conflictAlert = true;
  if (bullseye) scope->SetBullseye(*bullseye);
  if (braaFriendly) {
    settings.showBraa = true;
    scope->Options().braaFriendly = braaFriendly;
  }
  for (std::size_t block = 0; 2 * block < compared.size(); ++block)
    client.MainWindow()->InfoView()->Compare(static_cast<int>(block), compared[2 * block], compared[2 * block + 1]);

  std::vector<std::unique_ptr<vantor::shell::ScopeSnapshots>> snapshots;
  auto takeSnapshots = [&snapshots, &application](const vantor::shell::SnapshotOptions& options, const char* what,
                                                  std::function<QImage()> render) {
    auto taker = std::make_unique<vantor::shell::ScopeSnapshots>(options, std::move(render));
    vantor::shell::ScopeSnapshots* self = taker.get();
    QObject::connect(self, &vantor::shell::ScopeSnapshots::Written, [self, what](const QString& file) {
      // Said once; a repeated snapshot keeps the same file.
      if (self->WrittenCount() == 1) std::printf("Vantor: %s picture written to %s\n", what, qPrintable(file));
      std::fflush(stdout);
    });
    // The program ends once every single snapshot is taken, or at the first
    // failure.
    QObject::connect(self, &vantor::shell::ScopeSnapshots::Finished, &application, [&snapshots, self](int code) {
      self->setProperty("done", true);
      const bool allDone = std::all_of(snapshots.begin(), snapshots.end(),
                                       [](const auto& taker) { return taker->property("done").toBool(); });
      if (code != 0 || allDone) QCoreApplication::exit(code);
    });
    snapshots.push_back(std::move(taker));
  };
  if (snapshot) takeSnapshots(*snapshot, "scope", [&client] { return client.MainWindow()->Scope()->RenderImage(); });
  if (windowSnapshot)
    takeSnapshots(*windowSnapshot, "window", [&client] { return client.MainWindow()->grab().toImage(); });
  for (const auto& taker : snapshots) taker->Start();
  const int result = QApplication::exec();
  client.ExitInstance();
  return result;
}
