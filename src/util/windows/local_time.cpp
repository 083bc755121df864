#include "util/local_time.h"

namespace tessevar {

std::tm localTime(std::time_t seconds) {
  std::tm local{};
  localtime_s(&local, &seconds);  // the arguments the other way round from C11's
  return local;
}

}  // namespace tessevar
