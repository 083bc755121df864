#include "util/progress_log.h"

namespace tessevar {

// Windows has no journal for JOURNAL_STREAM to name.
bool isJournalStream(const char*, int) { return false; }

}  // namespace tessevar
