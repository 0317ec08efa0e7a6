#pragma once
// What a panel of the client's window is given instead of the application
// object: the document, the settings in memory and as stored, the language.

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
  model::ClientSettings& settings;  // in-memory settings (font size, metric, …)
  SettingsStore& store;             // the persisted settings ("config" / "Config")
  Language language;
};

}  // namespace vantor::shell
