#include "PrintConfig.h"

#include <cstdio>

#include "CommandLine.h"
#include "vantor/platform/InstallerLanguage.h"
#include "vantor/platform/SettingsStore.h"
#include "vantor/server/ServerConfig.h"
#include "vantor/server/ServerRuntime.h"
#include "vantor/texts/Texts.h"

namespace {

const QString kLanguageSection = QString::fromLatin1(vantor::kInstallerLanguageSection);
const QString kLanguageName = QString::fromLatin1(vantor::kInstallerLanguageName);

}  // namespace

QString ConfigInEffect(const ServerCommandLine& commandLine) {
  using namespace vantor;
  const server::ServerStores stores = server::ServerStores::Open(commandLine.settingsFile);
  const SettingsStore& languageStore = stores.language ? *stores.language : *stores.server;
  const Language language = ReadLanguage(languageStore);
  const QString installerValue = languageStore.ReadString(kLanguageSection, kLanguageName, QString());

  server::ServerConfig config = server::DefaultServerConfig();
  server::LoadConfig(*stores.server, config);
  server::LoadStartSettings(*stores.server, config);
  // --feed-intake stands for the setting on this run.
  if (commandLine.feedIntakeBytes) config.feedIntakeBytes = *commandLine.feedIntakeBytes;

  QString text = QString::fromUtf8(Text(TextId::SrvPrintConfigHeader, language)).arg(stores.server->Location()) + '\n';
  if (stores.language) {
    text += QString::fromUtf8(Text(TextId::SrvPrintConfigLanguage, language))
                .arg(installerValue, stores.language->Location()) +
            '\n';
  }
  text += server::ConfigIniText(config);
  if (!stores.language) text += kLanguageName + '=' + server::QuotedIniValue(installerValue) + '\n';
  return text;
}

int PrintConfig(const ServerCommandLine& commandLine) {
  const QByteArray text = ConfigInEffect(commandLine).toUtf8();
  std::fwrite(text.constData(), 1, static_cast<std::size_t>(text.size()), stdout);
  return std::fflush(stdout) == 0 ? 0 : 1;
}
