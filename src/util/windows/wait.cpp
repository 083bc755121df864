#include <algorithm>
#include <array>
#include <climits>
#include <thread>

#include "util/wait.h"
#include "util/windows/socket_calls.h"

namespace tessevar {

bool waitReadable(std::span<Readable> handles, std::optional<std::chrono::milliseconds> timeout) {
  // WSAPoll reports a socket that is none as ready (POLLNVAL); poll() passes
  // negative descriptors over, and so do we.
  std::array<WSAPOLLFD, 8> fds{};
  std::array<std::size_t, 8> of{};
  std::size_t count = 0;
  for (std::size_t i = 0; i < handles.size(); ++i) {
    handles[i].ready = false;
    if (handles[i].handle < 0 || count == fds.size()) continue;
    fds[count] = {static_cast<SOCKET>(handles[i].handle), POLLRDNORM, 0};
    of[count++] = i;
  }
  int milliseconds = -1;
  if (timeout) milliseconds = static_cast<int>(std::clamp<std::chrono::milliseconds::rep>(timeout->count(), 0, INT_MAX));
  if (count == 0) {  // WSAPoll refuses an empty set
    if (timeout) std::this_thread::sleep_for(std::chrono::milliseconds(milliseconds));
    return false;
  }
  // The count WSAPoll returns is not to be trusted (Wine's counts some twice).
  if (WSAPoll(fds.data(), static_cast<ULONG>(count), milliseconds) <= 0) return false;
  bool any = false;
  for (std::size_t i = 0; i < count; ++i) {
    handles[of[i]].ready = fds[i].revents != 0;
    any = any || handles[of[i]].ready;
  }
  return any;
}

}  // namespace tessevar
