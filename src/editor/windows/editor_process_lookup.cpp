// On Windows every editor window names its process, so keys never need a
// process listing: there is nothing to look up.
#include "editor/editor.h"
#include "editor/editor_process.h"

namespace tessevar {

EditorProcessLookup systemEditorProcessLookup() { return {}; }

std::optional<std::int64_t> findEditorProcess() { return 0; }

}  // namespace tessevar
