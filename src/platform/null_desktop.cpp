#include "platform/desktop.h"

namespace tessevar {
namespace {

class NullDesktop final : public Desktop {
 public:
  std::vector<WindowInfo> listWindows(const OwnerFilter&) override { return {}; }
  bool activate(const std::string&, std::int64_t) override { return true; }
  std::optional<std::string> ownerAt(Point) override { return std::nullopt; }
  void postLeftButton(Point, bool) override {}
  void postKey(const KeyTarget&, Key, bool) override {}
};

}  // namespace

std::unique_ptr<Desktop> makeNullDesktop() { return std::make_unique<NullDesktop>(); }

}  // namespace tessevar
