#include "vantor/shell/FrameLayout.h"

namespace vantor::shell {

QList<QKeySequence> AcceleratorKeys(Language language, FrameCommand command) {
  const bool french = language == Language::French;
  switch (command) {
    case FrameCommand::Paste:
      if (french) return {QKeySequence(Qt::CTRL | Qt::Key_V), QKeySequence(Qt::CTRL | Qt::Key_Y)};
      return {QKeySequence(Qt::CTRL | Qt::Key_V), QKeySequence(Qt::SHIFT | Qt::Key_Insert)};
    case FrameCommand::Undo:
      if (french) return {QKeySequence(Qt::ALT | Qt::Key_Backspace)};
      return {QKeySequence(Qt::CTRL | Qt::Key_Z), QKeySequence(Qt::ALT | Qt::Key_Backspace)};
  }
  return {};
}

}  // namespace vantor::shell
