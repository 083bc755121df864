#pragma once

#include <cstddef>
#include <cstdint>

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
  // A key press (macOS virtual key code) in the editor's process.
  virtual void pressKey(std::uint16_t keyCode) = 0;
};

}  // namespace tessevar
