#pragma once
// The desktop task bar's auto-hide / always-on-top state, which the client
// clears on small screens so its window gets the whole screen.

#include <memory>

namespace vantor::shell {

class TaskBar {
 public:
  virtual ~TaskBar() = default;
  virtual int State() const = 0;
  virtual void SetState(int state) = 0;
};

// Desktops without a task bar interface (X11, Wayland, offscreen): nothing to
// save or change.
class NoTaskBar final : public TaskBar {
 public:
  int State() const override { return 0; }
  void SetState(int) override {}
};

std::unique_ptr<TaskBar> CreatePlatformTaskBar();

}  // namespace vantor::shell
