// Vantor: the controller's radar display.
#include <QApplication>
#include <QCommandLineOption>
#include <QCommandLineParser>

#include "vantor/shell/CRivakApp.h"

int main(int argc, char** argv) {
  QApplication application(argc, argv);
  QApplication::setApplicationName("Vantor");
  QApplication::setOrganizationName("VANTOR");
  QApplication::setApplicationVersion(VANTOR_VERSION);

  QCommandLineParser parser;
  parser.setApplicationDescription("Radar and air-traffic-control display of a Vantor server's mission.");
  parser.addHelpOption();
  parser.addVersionOption();
  const QCommandLineOption settingsOption(
      "settings", "Read and write the settings in the INI file <FILE> instead of the user's settings.", "FILE");
  const QCommandLineOption silentOption("no-sound", "Play no sounds.");
  parser.addOption(settingsOption);
  parser.addOption(silentOption);
  // Connection options (server, password, ports) join here.
  parser.process(application);

  vantor::shell::StartupOptions options;
  options.settingsFile = parser.value(settingsOption);
  options.sounds = !parser.isSet(silentOption);

  vantor::shell::CRivakApp client(std::move(options));
  if (!client.InitInstance()) return 1;
  const int result = QApplication::exec();
  client.ExitInstance();
  return result;
}
