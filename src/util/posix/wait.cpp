#include <poll.h>

#include <algorithm>
#include <array>
#include <climits>

#include "util/wait.h"

namespace tessevar {

bool waitReadable(std::span<Readable> handles, std::optional<std::chrono::milliseconds> timeout) {
  std::array<pollfd, 8> fds{};
  const std::size_t count = std::min(handles.size(), fds.size());
  for (std::size_t i = 0; i < count; ++i) fds[i] = {static_cast<int>(handles[i].handle), POLLIN, 0};
  int milliseconds = -1;
  if (timeout) milliseconds = static_cast<int>(std::clamp<std::chrono::milliseconds::rep>(timeout->count(), 0, INT_MAX));
  const int ready = poll(fds.data(), count, milliseconds);
  for (std::size_t i = 0; i < count; ++i) handles[i].ready = ready > 0 && fds[i].revents != 0;
  return ready > 0;
}

}  // namespace tessevar
