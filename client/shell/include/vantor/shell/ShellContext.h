#pragma once
// What a panel of the main window needs of the client, and nothing more:
// the document, the settings in memory, the settings store and the language
// of the user interface. Panels never reach for the application object.

#include "vantor/texts/Language.h"

namespace vantor {
class SettingsStore;
}
namespace vantor::model {
class CRivakDoc;
struct ClientSettings;
}  // namespace vantor::model

namespace vantor::shell {

struct ShellContext {
  model::CRivakDoc& doc;            // contacts, airfields, callsigns, ConfigBlock, lock
  model::ClientSettings& settings;  // in-memory settings (font size, metric, ...)
  SettingsStore& store;             // the persisted settings ("config" / "Config")
  Language language;
};

}  // namespace vantor::shell
