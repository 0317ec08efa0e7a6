// parlix-sim: a stand-in for the Parlix voice client. It owns the named
// objects that PxRemote talks to and answers its commands from a simulated
// voice server, until SIGINT or SIGTERM (or a QUIT command); its objects are
// removed when it ends.
#include "ParlixHost.h"
#include "SimRunner.h"
#include "VoiceServer.h"

#include <vantor/voice/ParlixObjectNames.h>

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QFile>

#include <csignal>
#include <iostream>
#include <optional>
#include <stdexcept>

namespace {

// Set from signal handlers only; the service loop polls it.
volatile std::sig_atomic_t stopRequested = 0;

void RequestStop(int) { stopRequested = 1; }

constexpr long long kDefaultAreaSize = 16384;
constexpr long long kMinAreaSize = 16;
constexpr long long kMaxAreaSize = 16LL * 1024 * 1024;
// Longer waits are typing errors; much longer ones overflow the clock.
constexpr long long kMaxMilliseconds = 24LL * 3600 * 1000;

int UsageError(const QString& message) {
  std::cerr << "parlix-sim: " << message.toStdString() << '\n';
  return 2;
}

std::optional<long long> Number(const QCommandLineParser& parser, const QCommandLineOption& option) {
  bool ok = false;
  const long long value = parser.value(option).toLongLong(&ok);
  if (!ok || value < 0) return std::nullopt;
  return value;
}

}  // namespace

int main(int argc, char** argv) {
  QCoreApplication app(argc, argv);
  QCoreApplication::setApplicationName("parlix-sim");
  QCoreApplication::setApplicationVersion(VANTOR_VERSION);

  QCommandLineParser parser;
  parser.setApplicationDescription(
      "Stand-in for the Parlix voice client: creates Parlix's shared memory, operation mutex and events and answers "
      "PxRemote's commands from a simulated voice server until SIGINT or SIGTERM.");
  parser.addHelpOption();
  parser.addVersionOption();
  const QCommandLineOption prefixOption(
      "prefix", "Text put in front of every object name (default: $VANTOR_PARLIX_PREFIX, else none).", "text");
  const QCommandLineOption channelsOption("channels",
                                          "Channel list: lines id;name[;flags[;password[;parent[;max]]]] and "
                                          "player;id;channel;name[;flags[;channel privileges[;privileges]]].",
                                          "file");
  const QCommandLineOption sizeOption("size", "Size of the shared text area in bytes (default 16384).", "bytes",
                                      QString::number(kDefaultAreaSize));
  const QCommandLineOption delayOption("delay", "Wait this long before each answer.", "ms", "0");
  const QCommandLineOption dropOption("drop", "Read commands but never answer them.");
  const QCommandLineOption holdOption("hold-mutex", "Hold the operation mutex for this long after start.", "ms", "0");
  const QCommandLineOption controlOption(
      "control", "Control file read before each command: delay <ms>, drop, hold, fill <char>, answer <cmd>TAB<reply>.",
      "file");
  const QCommandLineOption logOption("log", "Append each command received, escaped, one a line.", "file");
  const QCommandLineOption verboseOption("verbose", "Print each command and reply.");
  parser.addOptions({prefixOption, channelsOption, sizeOption, delayOption, dropOption, holdOption, controlOption,
                     logOption, verboseOption});
  parser.process(app);
  if (!parser.positionalArguments().isEmpty())
    return UsageError("unexpected argument " + parser.positionalArguments().front());

  const auto areaSize = Number(parser, sizeOption);
  if (!areaSize || *areaSize < kMinAreaSize || *areaSize > kMaxAreaSize) {
    return UsageError(QString("--size must be between %1 and %2").arg(kMinAreaSize).arg(kMaxAreaSize));
  }
  const auto delay = Number(parser, delayOption);
  if (!delay || *delay > kMaxMilliseconds) return UsageError("--delay needs a number of milliseconds up to a day");
  const auto hold = Number(parser, holdOption);
  if (!hold || *hold > kMaxMilliseconds) return UsageError("--hold-mutex needs a number of milliseconds up to a day");

  vantor::parlixsim::ServerSetup setup = vantor::parlixsim::DefaultServerSetup();
  if (parser.isSet(channelsOption)) {
    QFile file(parser.value(channelsOption));
    if (!file.open(QIODevice::ReadOnly)) return UsageError("cannot read " + file.fileName());
    const QByteArray text = file.readAll();
    if (const auto error =
            vantor::parlixsim::ParseServerSetup(std::string_view(text.constData(), text.size()), setup)) {
      return UsageError(file.fileName() + ": " + QString::fromStdString(*error));
    }
  }

  const std::string prefix =
      parser.isSet(prefixOption) ? parser.value(prefixOption).toStdString() : vantor::voice::PrefixFromEnvironment();
  const auto names = vantor::voice::ParlixObjectNames::ForPrefix(prefix);

  vantor::parlixsim::RunOptions options;
  options.base.delay = std::chrono::milliseconds(*delay);
  options.base.drop = parser.isSet(dropOption);
  options.holdAtStart = std::chrono::milliseconds(*hold);
  options.controlFile = parser.value(controlOption).toStdString();
  options.commandLog = parser.value(logOption).toStdString();
  options.verbose = parser.isSet(verboseOption);

  std::signal(SIGINT, RequestStop);
  std::signal(SIGTERM, RequestStop);

  try {
    const auto host = vantor::parlixsim::CreateParlixHost(names, static_cast<std::size_t>(*areaSize));
    vantor::parlixsim::VoiceServer server(std::move(setup));
    vantor::parlixsim::SimRunner runner(*host, server, std::move(options));
    std::cout << "parlix-sim: ready, mutex " << names.operationMutex << ", area " << names.sharedMemory << " ("
              << *areaSize << " bytes)" << std::endl;
    runner.Run(stopRequested);
  } catch (const std::exception& failure) {
    std::cerr << "parlix-sim: " << failure.what() << '\n';
    return 1;
  }
  std::cout << "parlix-sim: stopped, objects removed" << std::endl;
  return 0;
}
