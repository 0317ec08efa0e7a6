// vantor-missiongen: a live mission (or a recorded one) on a server's feed port.
#include "vantor/missiongen/BatchSource.h"
#include "vantor/missiongen/CommandLine.h"
#include "vantor/missiongen/FeedOutput.h"
#include "vantor/missiongen/FeedStreamer.h"
#include "vantor/missiongen/RecordingFile.h"
#include "vantor/missiongen/TerminationSignals.h"

#include <QCoreApplication>

#include <fstream>
#include <iostream>
#include <memory>
#include <optional>
#include <string>

using namespace vantor::missiongen;

int main(int argc, char** argv) {
  QCoreApplication app(argc, argv);
  QCoreApplication::setApplicationName("vantor-missiongen");
  QCoreApplication::setApplicationVersion(VANTOR_VERSION);

  int exitCode = 0;
  // argv[0] as given, not the resolved program path: a "falcrest" link in a
  // simulator folder must be recognised as such.
  const auto line =
      ParseCommandLine(QCoreApplication::arguments(), exitCode, ExportSettingsPathFor(QString::fromLocal8Bit(argv[0])));
  if (!line) return exitCode;

  std::unique_ptr<BatchSource> source;
  if (!line->replayPath.isEmpty()) {
    std::string error;
    auto feed = RecordedFeed::Load(line->replayPath.toStdString(), &error);
    if (!feed) {
      std::cerr << "vantor-missiongen: " << error << "\n";
      return 1;
    }
    if (feed->unfinishedTailBytes > 0)
      std::cerr << "vantor-missiongen: the last " << feed->unfinishedTailBytes
                << " bytes of the recording are an unfinished record and are not replayed\n";
    source = std::make_unique<ReplaySource>(std::move(*feed), line->BatchLimit());
  } else {
    MissionOptions options;
    options.seed = line->seed;
    options.rate = line->rate;
    options.objectCount = line->objects;
    source = std::make_unique<MissionSource>(options, line->BatchLimit());
  }

  // Written beside its name and moved into place at the end: a recording
  // that cannot be completed leaves the previous one as it was.
  std::optional<RecordingFile> record;
  if (!line->recordPath.isEmpty()) {
    record.emplace(line->recordPath.toStdString());
    if (!record->Open()) {
      std::cerr << "vantor-missiongen: cannot create " << record->PartialPath().string() << "\n";
      return 1;
    }
  }

  std::unique_ptr<FeedOutput> output;
  if (line->toStdout)
    output = std::make_unique<StdoutFeedOutput>();
  else
    output = std::make_unique<TcpFeedOutput>(line->host, line->port, 1000);

  StreamOptions streamOptions;
  streamOptions.rate = line->rate;
  streamOptions.paced = !line->fast;
  streamOptions.statusSeconds = line->statusSeconds;
  streamOptions.stamp = line->stamp;
  FeedStreamer streamer(*source, *output, streamOptions);
  if (record) streamer.SetRecord(&record->Stream());

  TerminationSignals stopRequests;
  QObject::connect(&stopRequests, &TerminationSignals::Requested, &streamer, &FeedStreamer::Stop);
  QObject::connect(&streamer, &FeedStreamer::Finished, &app, [&](int code) {
    if (streamer.BatchesSkipped() > 0)
      std::cerr << "vantor-missiongen: " << streamer.BatchesSkipped()
                << " batches were not sent because the server did not keep up\n";
    std::string error;
    if (record && !record->Commit(&error)) {
      std::cerr << "vantor-missiongen: the recording could not be completed (" << error << "); "
                << record->Path().string() << " is left as it was\n";
    }
    QCoreApplication::exit(code);
  });
  streamer.Start();
  return QCoreApplication::exec();
}
