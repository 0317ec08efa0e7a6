// vantor-load: radar clients on a running vantorsrv, counted.
#include <QCoreApplication>
#include <QFile>
#include <QJsonDocument>

#include <cstdio>
#include <iostream>

#include "vantor/load/LoadOptions.h"
#include "vantor/load/LoadRun.h"

using namespace vantor::load;

int main(int argc, char** argv) {
  QCoreApplication app(argc, argv);
  QCoreApplication::setApplicationName("vantor-load");
  QCoreApplication::setApplicationVersion(VANTOR_VERSION);

  int exitCode = 0;
  const auto options = ParseLoadOptions(QCoreApplication::arguments(), exitCode);
  if (!options) return exitCode;

  LoadRun run(*options);
  QObject::connect(&run, &LoadRun::Finished, &app, [&](int code) {
    const LoadReport& report = run.Report();
    const QByteArray json = QJsonDocument(ToJson(report)).toJson(QJsonDocument::Indented);
    if (options->jsonPath == QLatin1String("-")) {
      std::fwrite(json.constData(), 1, static_cast<std::size_t>(json.size()), stdout);
    } else {
      std::cout << FormatTable(report).toStdString() << std::flush;
      if (!options->jsonPath.isEmpty()) {
        QFile file(options->jsonPath);
        if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate) || file.write(json) != json.size()) {
          std::cerr << "vantor-load: cannot write " << options->jsonPath.toStdString() << "\n";
          if (code == 0) code = 2;
        }
      }
    }
    QCoreApplication::exit(code);
  });
  run.Start();
  return QCoreApplication::exec();
}
