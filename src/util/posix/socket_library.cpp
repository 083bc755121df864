#include "util/socket_library.h"

namespace tessevar {

void useSocketLibrary() {}

}  // namespace tessevar
