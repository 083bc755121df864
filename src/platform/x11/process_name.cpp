#include "platform/x11/process_name.h"

#include <fstream>

namespace tessevar {

std::optional<std::string> processName(long pid) {
  if (pid <= 0) return std::nullopt;
  std::ifstream comm("/proc/" + std::to_string(pid) + "/comm");
  std::string name;
  if (!std::getline(comm, name) || name.empty()) return std::nullopt;
  return name;
}

}  // namespace tessevar
