#include <windows.h>
#include <knownfolders.h>
#include <shlobj.h>

#include <cstdlib>
#include <filesystem>
#include <string>

#include "app/process_guards.h"
#include "util/windows/system_errors.h"

namespace tessevar {

namespace {

namespace fs = std::filesystem;
using windows::windowsFailure;

// The byte locked lies past the id, which the others must be able to read
// (Windows' locks keep even readers out of the bytes they cover).
constexpr DWORD lockedByte = 1u << 30;

HANDLE handleOf(std::intptr_t handle) { return reinterpret_cast<HANDLE>(handle); }

// Tessevar\ in the user's local application data: a folder of the user's
// own that no other user can write.
Result<fs::path> lockFolder() {
  wchar_t* path = nullptr;
  const HRESULT found = SHGetKnownFolderPath(FOLDERID_LocalAppData, KF_FLAG_CREATE, nullptr, &path);
  const fs::path local = SUCCEEDED(found) && path != nullptr ? fs::path(path) : fs::path();
  CoTaskMemFree(path);
  if (local.empty()) return Failure{"the local application data folder is not known"};
  const fs::path folder = local / "Tessevar";
  if (!CreateDirectoryW(folder.c_str(), nullptr) && GetLastError() != ERROR_ALREADY_EXISTS) {
    return windowsFailure("cannot make " + folder.string());
  }
  return folder;
}

long pidIn(HANDLE file) {
  char text[32] = {};
  OVERLAPPED at{};
  DWORD length = 0;
  if (!ReadFile(file, text, sizeof text - 1, &length, &at)) return 0;
  return std::strtol(text, nullptr, 10);
}

// Opened as itself: a link named like the lock is never followed.
Result<HANDLE> openLockFile(const fs::path& file) {
  const HANDLE handle = CreateFileW(file.c_str(), GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                    nullptr, OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL | FILE_FLAG_OPEN_REPARSE_POINT, nullptr);
  if (handle == INVALID_HANDLE_VALUE) return windowsFailure("cannot open " + file.string());
  BY_HANDLE_FILE_INFORMATION information{};
  if (GetFileInformationByHandle(handle, &information) &&
      (information.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0) {
    CloseHandle(handle);
    return Failure{file.string() + " is a symbolic link"};
  }
  return handle;
}

}  // namespace

InstanceLock::~InstanceLock() {
  if (handle_ != -1) CloseHandle(handleOf(handle_));
}

Result<InstanceLock> takeInstanceLock() {
  const Result<fs::path> folder = lockFolder();
  if (!folder) return Failure{folder.reason()};
  const fs::path file = *folder / "tessevar.lock";
  const Result<HANDLE> opened = openLockFile(file);
  if (!opened) return Failure{opened.reason()};
  const HANDLE handle = *opened;
  OVERLAPPED at{};
  at.Offset = lockedByte;
  if (!LockFileEx(handle, LOCKFILE_EXCLUSIVE_LOCK | LOCKFILE_FAIL_IMMEDIATELY, 0, 1, 0, &at)) {
    const DWORD error = GetLastError();
    if (error != ERROR_LOCK_VIOLATION) {
      CloseHandle(handle);
      return windowsFailure("cannot lock " + file.string(), error);
    }
    InstanceLock held = heldByAnotherCopy([handle] { return pidIn(handle); });
    CloseHandle(handle);
    return held;
  }
  const std::string pid = std::to_string(GetCurrentProcessId()) + "\n";
  DWORD written = 0;
  if (SetEndOfFile(handle)) WriteFile(handle, pid.data(), static_cast<DWORD>(pid.size()), &written, nullptr);
  return InstanceLock(reinterpret_cast<std::intptr_t>(handle), 0);
}

}  // namespace tessevar
