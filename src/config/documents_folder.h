#pragma once

#include <filesystem>
#include <optional>
#include <string_view>

namespace tessevar {

// The current user's Documents folder, or nothing when the user's home
// cannot be found. The folder itself need not exist.
std::optional<std::filesystem::path> documentsFolder();

// The home folder: $HOME when set and not empty, else the passwd entry.
std::optional<std::filesystem::path> homeFolder();

// XDG_DOCUMENTS_DIR from the content of a user-dirs.dirs file, with a
// leading $HOME replaced by `home`; nothing when the file does not set it
// to a "$HOME/..." or "/..." path. The last valid assignment wins.
std::optional<std::filesystem::path> documentsFolderFromUserDirs(std::string_view content,
                                                                 const std::filesystem::path& home);

}  // namespace tessevar
