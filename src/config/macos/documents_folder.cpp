#include "config/documents_folder.h"

namespace tessevar {

// The user domain's Documents directory is always ~/Documents.
std::optional<std::filesystem::path> documentsFolder() {
  const auto home = homeFolder();
  if (!home) return std::nullopt;
  return *home / "Documents";
}

}  // namespace tessevar
