#include "system/cloexec_pipe.h"

#include <fcntl.h>
#include <unistd.h>

namespace tessevar {

bool openCloexecPipe(int (&ends)[2]) { return ::pipe2(ends, O_CLOEXEC) == 0; }

}  // namespace tessevar
