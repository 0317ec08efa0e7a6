#include "vantor/shell/TaskBar.h"

namespace vantor::shell {

std::unique_ptr<TaskBar> CreatePlatformTaskBar() {
  // Only Windows has a task bar whose auto-hide state a program can set; a
  // Windows build adds its SHAppBarMessage implementation here.
  return std::make_unique<NoTaskBar>();
}

}  // namespace vantor::shell
