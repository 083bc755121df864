#pragma once

#include <cstddef>

#include "platform/desktop.h"

namespace tessevar {

// What the mapping asks of the editor, from the relay's thread. None of it
// may block: the work is carried out elsewhere, in the order asked.
class EditorActions {
 public:
  virtual ~EditorActions() = default;

  // Whether an editor window exists, as the desktop last announced it, and
  // if so brings the editor to the front.
  virtual bool refreshEditorWindow() = 0;
  // A click on entry `index` of the point table, at the window's place then.
  virtual void clickEntry(std::size_t index) = 0;
  // A key press in the editor.
  virtual void pressKey(Key key) = 0;
};

}  // namespace tessevar
