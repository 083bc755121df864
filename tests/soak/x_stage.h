#pragma once

#include <memory>
#include <string>
#include <vector>

#include "support/test_editor_client.h"
#include "support/window_manager.h"
#include "support/xvfb_server.h"

struct _XDisplay;

namespace tessevar::soak {

// The desktop of the soak: an X server, openbox managing it, and the test
// editor. Every editor started is kept, so its log can still be read after
// it has gone.
class XStage {
 public:
  XStage() = default;
  ~XStage();
  XStage(const XStage&) = delete;
  XStage& operator=(const XStage&) = delete;

  // Each returns false with `problem` set when something did not come up.
  bool start(std::string& problem);
  // Kills the editor and starts another.
  bool restartEditor(std::string& problem);
  // Kills the X server as a crash would (the editor and openbox go with
  // it), then starts a server on the same display, an editor and openbox.
  bool restartServer(std::string& problem);

  const std::string& display() const { return server_->display(); }
  // The editor started last.
  testing::EditorUnderTest& editor() { return *editors_.back(); }

 private:
  bool startDesktop(std::string& problem);
  bool startEditor(std::string& problem);

  std::unique_ptr<testing::XvfbServer> server_;
  std::unique_ptr<testing::WindowManager> windowManager_;
  _XDisplay* hold_ = nullptr;  // the soak's own connection (Xlib's Display)
  std::vector<std::unique_ptr<testing::EditorUnderTest>> editors_;
};

// Click ("button ...") and key ("key ...") lines an editor has logged.
struct EditorInput {
  int clicks = 0;
  int keys = 0;
};
EditorInput inputOf(const testing::EditorUnderTest& editor);

}  // namespace tessevar::soak
