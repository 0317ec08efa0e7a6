// Vantor: the controller's radar display.
#include <QApplication>
#include <QCommandLineOption>
#include <QCommandLineParser>

#include <cstdio>

#include "vantor/shell/CRivakApp.h"

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
  parser.addOption(settingsOption);
  parser.addOption(silentOption);
  // Connection options (server, password, ports) join here.

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

  QApplication application(argc, argv);
  vantor::shell::StartupOptions options;
  options.settingsFile = parser.value(settingsOption);
  options.sounds = !parser.isSet(silentOption);

  vantor::shell::CRivakApp client(std::move(options));
  if (!client.InitInstance()) return 1;
  const int result = QApplication::exec();
  client.ExitInstance();
  return result;
}
