#include <sys/stat.h>

#include <cstdio>

#include "util/progress_log.h"

namespace tessevar {

bool isJournalStream(const char* journalStream, int descriptor) {
  unsigned long long device = 0;
  unsigned long long inode = 0;
  int used = 0;
  if (journalStream == nullptr ||
      std::sscanf(journalStream, "%llu:%llu%n", &device, &inode, &used) != 2 || journalStream[used] != '\0') {
    return false;
  }
  struct stat file {};
  return fstat(descriptor, &file) == 0 && file.st_dev == device && file.st_ino == inode;
}

}  // namespace tessevar
