#include "util/local_time.h"

namespace tessevar {

std::tm localTime(std::time_t seconds) {
  std::tm local{};
  localtime_r(&seconds, &local);
  return local;
}

}  // namespace tessevar
