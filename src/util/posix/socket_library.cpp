#include "util/socket_library.h"

#include <netdb.h>

namespace tessevar {

void useSocketLibrary() {}

std::string resolverErrorText(int error) { return gai_strerror(error); }

}  // namespace tessevar
