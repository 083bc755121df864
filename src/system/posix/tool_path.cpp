#include "system/command_runner.h"
#include "util/text_pieces.h"

namespace tessevar {

namespace {

constexpr const char* whereisPath = "/usr/bin/whereis";

}  // namespace

Result<std::string> locateTool(const std::string& name) {
  const Result<std::string> output = runCommand(whereisPath, {name});
  if (!output) return Failure{output.reason()};
  std::optional<std::string> path = toolPathFromWhereis(*output, name);
  if (!path) return Failure{"whereis does not know " + name};
  return std::move(*path);
}

std::optional<std::string> toolPathFromWhereis(std::string_view output, std::string_view name) {
  const std::string_view trimmed = trimWhitespace(output);
  if (trimmed.empty()) return std::nullopt;
  if (!trimmed.starts_with(name) || trimmed.substr(name.size()).substr(0, 1) != ":") {
    return std::string(trimmed);
  }
  const std::string_view paths = trimWhitespace(trimmed.substr(name.size() + 1));
  const std::size_t end = paths.find_first_of(" \t\n\r\v\f");
  // Words end at ASCII whitespace, but the path, like a bare one, is also
  // trimmed of the Unicode spaces at its ends.
  const std::string_view first = trimWhitespace(paths.substr(0, end));
  if (first.empty()) return std::nullopt;
  return std::string(first);
}

}  // namespace tessevar
