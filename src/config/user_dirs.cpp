#include "config/system_lookups.h"
#include "util/text_pieces.h"

#include <string>

namespace tessevar {

namespace {

constexpr std::string_view documentsKey = "XDG_DOCUMENTS_DIR";
constexpr std::string_view homeVariable = "$HOME";

std::string_view skipBlanks(std::string_view text) {
  while (!text.empty() && (text.front() == ' ' || text.front() == '\t')) text.remove_prefix(1);
  return text;
}

// The text of a double-quoted value with its backslash escapes undone;
// nothing when the closing quote is missing.
std::optional<std::string> unquote(std::string_view text) {
  if (text.empty() || text.front() != '"') return std::nullopt;
  std::string value;
  for (std::size_t i = 1; i < text.size(); ++i) {
    if (text[i] == '"') return value;
    if (text[i] == '\\' && i + 1 < text.size()) ++i;
    value.push_back(text[i]);
  }
  return std::nullopt;
}

// The value assigned to XDG_DOCUMENTS_DIR on this line, if any.
std::optional<std::string> documentsAssignment(std::string_view line) {
  line = skipBlanks(line);
  if (!line.starts_with(documentsKey)) return std::nullopt;
  line = skipBlanks(line.substr(documentsKey.size()));
  if (!line.starts_with('=')) return std::nullopt;
  return unquote(skipBlanks(line.substr(1)));
}

std::optional<std::filesystem::path> resolve(std::string_view value,
                                             const std::filesystem::path& home) {
  if (value.starts_with(homeVariable)) {
    std::string_view rest = value.substr(homeVariable.size());
    if (!rest.empty() && rest.front() != '/') return std::nullopt;  // $HOMEWORK is no $HOME
    while (rest.starts_with('/')) rest.remove_prefix(1);
    return rest.empty() ? home : home / std::string(rest);
  }
  if (value.starts_with('/')) return std::filesystem::path(std::string(value));
  return std::nullopt;
}

}  // namespace

std::optional<std::filesystem::path> documentsFolderFromUserDirs(std::string_view content,
                                                                 const std::filesystem::path& home) {
  std::optional<std::filesystem::path> folder;
  for (std::string_view line : splitAt(content, '\n')) {
    if (auto value = documentsAssignment(line)) {
      if (auto resolved = resolve(*value, home)) folder = std::move(resolved);
    }
  }
  return folder;
}

}  // namespace tessevar
