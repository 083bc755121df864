// On Windows every editor window names its process, so keys never need a
// process listing: there is nothing to look up.
#include "editor/editor.h"

namespace tessevar {

EditorProcessLookup systemEditorProcessLookup() { return {}; }

Result<std::int64_t> findEditorProcess() { return 0; }

}  // namespace tessevar
