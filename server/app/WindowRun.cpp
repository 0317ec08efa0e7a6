#include "WindowRun.h"

#include <QApplication>
#include <QSaveFile>
#include <QStyleFactory>
#include <QTimer>

#include <cstdio>
#include <cstdlib>

#include "CommandLine.h"
#include "vantor/platform/Display.h"
#include "vantor/platform/Notifier.h"
#include "vantor/server/ServerRuntime.h"
#include "vantor/server/gui/MapPage.h"
#include "vantor/server/gui/ServerStyle.h"
#include "vantor/server/gui/ServerWindow.h"
#include "vantor/texts/Texts.h"

namespace {

// Without a display the platform plug-in would abort the program; say what
// to do instead.
bool DisplayAvailable() {
#if defined(Q_OS_LINUX) || defined(Q_OS_FREEBSD)
  const auto set = [](const char* name) {
    const char* value = std::getenv(name);
    return value != nullptr && *value != '\0';
  };
  return set("DISPLAY") || set("WAYLAND_DISPLAY") || set("QT_QPA_PLATFORM");
#else
  return true;
#endif
}

bool SavePng(const QImage& image, const QString& file) {
  QSaveFile out(file);
  if (!out.open(QIODevice::WriteOnly) || !image.save(&out, "PNG") || !out.commit()) {
    std::fprintf(stderr, "vantorsrv: cannot write the picture %s\n", qPrintable(file));
    return false;
  }
  return true;
}

}  // namespace

int RunWindow(int argc, char** argv) {
  if (!DisplayAvailable()) {
    std::fprintf(stderr, "vantorsrv: no display for the control window; use --headless to serve without one\n");
    return 2;
  }
  QApplication app(argc, argv);
  const auto commandLine = ParseServerCommandLine();
  if (!commandLine) return 2;
  QApplication::setStyle(QStyleFactory::create(QStringLiteral("Fusion")));
  QApplication::setPalette(vantor::server::gui::ServerPalette());

  // Message boxes where someone can answer them; stderr on the offscreen
  // platform that pictures are taken on.
  const std::unique_ptr<vantor::Notifier> notifier = vantor::NotifierForDisplay(
      QStringLiteral("vantorsrv"),
      QString::fromUtf8(vantor::Text(vantor::TextId::SrvWindowTitle, vantor::kFallbackLanguage)));
  const std::unique_ptr<vantor::server::ServerRuntime> runtime = MakeServerRuntime(*commandLine, *notifier);
  vantor::server::gui::WindowOptions options;
  options.launchSimulator = !commandLine->noSimulator;
  vantor::server::gui::ServerWindow window(*runtime, *notifier, std::move(options));

  if (!commandLine->mapSnapshot.isEmpty()) {
    // The map page over the stored configuration, as "Map" shows it.
    vantor::server::ServerConfig config = runtime->Config();
    const vantor::server::gui::TheatreMapBase& base = window.MapBase();
    vantor::server::gui::MapPage page(base.picture, config, vantor::server::gui::MapSide::ViewOnly, runtime->Language(),
                                      base.coastlineFound);
    return SavePng(page.grab().toImage(), commandLine->mapSnapshot) ? 0 : 1;
  }

  QObject::connect(&window, &QDialog::finished, &app, &QCoreApplication::quit);
  window.show();
  if (commandLine->startAtOnce) window.Start();
  if (!commandLine->windowSnapshot.isEmpty()) {
    QTimer::singleShot(static_cast<int>(commandLine->snapshotAfterSeconds * 1000.0), &window,
                       [&window, file = commandLine->windowSnapshot] {
                         QCoreApplication::exit(SavePng(window.grab().toImage(), file) ? 0 : 1);
                       });
  }
  const int code = QApplication::exec();
  runtime->Stop();
  return code;
}
