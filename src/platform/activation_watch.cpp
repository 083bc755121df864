#include "platform/activation_watch.h"

namespace tessevar {

bool ActivationWatch::judge(std::int64_t window, bool inFront, Clock::time_point now) {
  if (inFront) {
    pending_.reset();
    return true;
  }
  if (pending_ && pending_->window == window) {
    if (now - pending_->since < patience_) return true;
    pending_ = Request{window, now};
    return false;
  }
  pending_ = Request{window, now};
  return true;
}

}  // namespace tessevar
