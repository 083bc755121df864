#include "system/file_io.h"

#include <windows.h>

#include <algorithm>
#include <atomic>
#include <string>

#include "util/windows/system_errors.h"

namespace tessevar {
namespace {

using windows::windowsFailure;

class FileHandle {
 public:
  explicit FileHandle(HANDLE handle) : handle_(handle) {}
  FileHandle(const FileHandle&) = delete;
  FileHandle& operator=(const FileHandle&) = delete;
  ~FileHandle() { close(); }
  HANDLE get() const { return handle_; }
  bool valid() const { return handle_ != INVALID_HANDLE_VALUE; }
  bool close() {
    if (!valid()) return true;
    const bool closed = CloseHandle(handle_) != 0;
    handle_ = INVALID_HANDLE_VALUE;
    return closed;
  }

 private:
  HANDLE handle_;
};

bool writeAll(HANDLE file, std::string_view bytes) {
  while (!bytes.empty()) {
    const DWORD chunk = static_cast<DWORD>(std::min<std::size_t>(bytes.size(), 1 << 20));
    DWORD written = 0;
    if (!WriteFile(file, bytes.data(), chunk, &written, nullptr) || written == 0) return false;
    bytes.remove_prefix(written);
  }
  return true;
}

Failure tooLarge(const std::filesystem::path& path, HANDLE file, std::size_t limit) {
  LARGE_INTEGER size{};
  const std::string said = GetFileSizeEx(file, &size) ? std::to_string(size.QuadPart) + " bytes" : "larger";
  return {path.string() + " is " + said + ", more than the " + std::to_string(limit) + " bytes it may hold"};
}

// A new file beside `target` that no other program has open, or an invalid
// handle (GetLastError says why).
HANDLE createTemporary(const std::filesystem::path& target, std::filesystem::path& name) {
  static std::atomic<unsigned> made{0};
  for (int attempt = 0; attempt < 100; ++attempt) {
    name = target.native() + L"." + std::to_wstring(GetCurrentProcessId()) + L"-" + std::to_wstring(made++);
    const HANDLE file = CreateFileW(name.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file != INVALID_HANDLE_VALUE || GetLastError() != ERROR_FILE_EXISTS) return file;
  }
  return INVALID_HANDLE_VALUE;
}

// The rename does not replace a read-only file; its owner can write the
// settings again here, as on every other system, so the mark goes first
// (only on the file itself: a link's target is not ours to change).
void allowReplacing(const std::filesystem::path& target) {
  const DWORD attributes = GetFileAttributesW(target.c_str());
  if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_READONLY) != 0) {
    SetFileAttributesW(target.c_str(), attributes & ~DWORD{FILE_ATTRIBUTE_READONLY});
  }
}

// Windows says "path not found" where a file stands in the path in place
// of a folder; the other systems say "not a directory", and so does this.
bool fileInThePath(std::filesystem::path path) {
  while (path.has_relative_path() && path != path.parent_path()) {
    path = path.parent_path();
    const DWORD attributes = GetFileAttributesW(path.c_str());
    if (attributes != INVALID_FILE_ATTRIBUTES) return (attributes & FILE_ATTRIBUTE_DIRECTORY) == 0;
  }
  return false;
}

}  // namespace

Result<std::string> readWholeFile(const std::filesystem::path& path, std::size_t limit) {
  FileHandle file(CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                              nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!file.valid()) return windowsFailure("cannot read " + path.string());
  std::string content;
  char chunk[8192];
  for (;;) {
    DWORD got = 0;
    if (!ReadFile(file.get(), chunk, sizeof chunk, &got, nullptr)) return windowsFailure("cannot read " + path.string());
    if (got == 0) return content;
    if (got > limit - content.size()) return tooLarge(path, file.get(), limit);
    content.append(chunk, got);
  }
}

Result<void> writeFileAtomically(const std::filesystem::path& path, std::string_view bytes, AtLink atLink) {
  const auto target = atLink == AtLink::replaceTarget ? followLinks(path) : path;
  if (!target) return Failure{"cannot write " + path.string() + " (a loop of links, or a link that cannot be read)"};
  std::filesystem::path name;
  FileHandle temporary(createTemporary(*target, name));
  if (!temporary.valid()) return windowsFailure("cannot write in " + target->parent_path().string());
  if (!writeAll(temporary.get(), bytes) || !FlushFileBuffers(temporary.get())) {
    const Failure failure = windowsFailure("cannot write " + target->string());
    temporary.close();
    DeleteFileW(name.c_str());
    return failure;
  }
  if (atLink == AtLink::replaceTarget) allowReplacing(*target);
  // Write-through: the rename is on the disk when the call returns.
  if (!temporary.close() ||
      !MoveFileExW(name.c_str(), target->c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
    const Failure failure = windowsFailure("cannot replace " + target->string());
    DeleteFileW(name.c_str());
    return failure;
  }
  return {};
}

Result<Backup> keepPreviousContent(const std::filesystem::path& file, const std::filesystem::path& backup) {
  const auto target = followLinks(file);
  if (!target) return Failure{"cannot follow the links of " + file.string()};
  const DWORD attributes = GetFileAttributesW(target->c_str());
  if (attributes == INVALID_FILE_ATTRIBUTES) {
    DWORD error = GetLastError();
    if (error == ERROR_PATH_NOT_FOUND && fileInThePath(*target)) error = ERROR_DIRECTORY;
    if (error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND) return Backup::nothingToKeep;
    return windowsFailure("cannot read " + target->string(), error);
  }
  if ((attributes & (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_DEVICE)) != 0) return Backup::nothingToKeep;
  const auto content = readWholeFile(*target);
  if (!content) return Failure{content.reason()};
  // A link named like the backup is replaced by the rename, never followed.
  if (auto written = writeFileAtomically(backup, *content, AtLink::replaceLink); !written) {
    return Failure{written.reason()};
  }
  return Backup::kept;
}

}  // namespace tessevar
