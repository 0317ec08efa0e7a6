#pragma once
// A client's document, settings and real scope for the side panels' widget
// tests: the scope is shown at 800 x 600 with no map files, centred on
// Krasnodar Center at 50 km as at start-up.

#include <gtest/gtest.h>

#include <QTemporaryDir>

#include <memory>

#include "vantor/model/CRivakDoc.h"
#include "vantor/model/ClientSettings.h"
#include "vantor/platform/SettingsStore.h"
#include "vantor/scope/CRivakView.h"
#include "vantor/scope/ScopeMapData.h"
#include "vantor/shell/ShellContext.h"

namespace vantor::shell::test {

class InfoIlsScene : public ::testing::Test {
 protected:
  InfoIlsScene() {
    scope.SetMapData(std::make_unique<scope::ScopeMapData>());
    scope.resize(800, 600);
    scope.show();
  }
  // A contact's screen point as the scope's last frame placed it.
  QPoint OnScope(int id) {
    scope.RenderImage();
    const model::CContact* contact = document.FindContact(id);
    return contact != nullptr ? QPoint(contact->screenX, contact->screenY) : QPoint();
  }

 public:
  QTemporaryDir folder;
  std::unique_ptr<SettingsStore> store = SettingsStore::OpenFile(folder.filePath("vantor.ini"));
  model::ClientState state;
  model::CRivakDoc document{state};
  model::ClientSettings settings;
  ShellContext context{document, settings, *store, Language::English};
  scope::CRivakView scope{scope::CRivakView::Environment{document, settings, store.get(), {}}};
};

}  // namespace vantor::shell::test
