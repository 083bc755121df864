#pragma once

namespace tessevar {

// A self-pipe that breaks a loop out of poll(): any thread may raise it; the
// loop drains it after waking.
class WakeUp {
 public:
  WakeUp();
  ~WakeUp();
  WakeUp(const WakeUp&) = delete;
  WakeUp& operator=(const WakeUp&) = delete;

  void raise();
  void drain();
  int descriptor() const { return readEnd_; }

 private:
  int readEnd_ = -1;
  int writeEnd_ = -1;
};

}  // namespace tessevar
