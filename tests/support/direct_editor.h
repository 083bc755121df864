#pragma once

// Carries out what the mapping asks of the editor at once, on the caller's
// thread, through a real Editor: the mapping's tests see the clicks and keys
// without the automation thread between.

#include "editor/editor.h"
#include "editor/editor_actions.h"

namespace tessevar::testing {

class DirectEditor final : public EditorActions {
 public:
  explicit DirectEditor(Editor& editor) : editor_(editor) {}
  bool refreshEditorWindow() override { return editor_.refreshEditorWindow(); }
  void clickEntry(std::size_t index) override { editor_.clickEntry(index); }
  void pressKey(Key key) override { editor_.pressKey(key); }

 private:
  Editor& editor_;
};

}  // namespace tessevar::testing
