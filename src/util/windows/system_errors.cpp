#include "util/windows/system_errors.h"

#include <winsock2.h>
#include <windows.h>

#include <array>
#include <utility>

#include "util/windows/wide_text.h"

namespace tessevar::windows {
namespace {

struct KnownError {
  unsigned long code;
  const char* text;
};

// The same failures as the POSIX systems report them.
constexpr std::array<KnownError, 22> knownErrors{{
    {ERROR_FILE_NOT_FOUND, "No such file or directory"},
    {ERROR_PATH_NOT_FOUND, "No such file or directory"},
    {ERROR_DIRECTORY, "Not a directory"},
    {ERROR_ACCESS_DENIED, "Permission denied"},
    {ERROR_SHARING_VIOLATION, "Device or resource busy"},
    {ERROR_DISK_FULL, "No space left on device"},
    {WSAEACCES, "Permission denied"},
    {WSAEADDRINUSE, "Address already in use"},
    {WSAEADDRNOTAVAIL, "Cannot assign requested address"},
    {WSAEAFNOSUPPORT, "Address family not supported by protocol"},
    {WSAENETDOWN, "Network is down"},
    {WSAENETUNREACH, "Network is unreachable"},
    {WSAEHOSTUNREACH, "No route to host"},
    {WSAECONNREFUSED, "Connection refused"},
    {WSAECONNRESET, "Connection reset by peer"},
    {WSAEMSGSIZE, "Message too long"},
    {WSAENOBUFS, "No buffer space available"},
    {WSAEMFILE, "Too many open files"},
    {WSAHOST_NOT_FOUND, "Name or service not known"},
    {WSATRY_AGAIN, "Temporary failure in name resolution"},
    {WSANO_RECOVERY, "Non-recoverable failure in name resolution"},
    {WSANO_DATA, "No address associated with hostname"},
}};

}  // namespace

std::string errorText(unsigned long error) {
  for (const KnownError& known : knownErrors) {
    if (known.code == error) return known.text;
  }
  wchar_t* text = nullptr;
  const DWORD length = FormatMessageW(
      FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr, error, 0,
      reinterpret_cast<wchar_t*>(&text), 0, nullptr);
  std::string said = length > 0 ? utf8FromWide({text, length}) : std::string();
  LocalFree(text);
  // Windows ends its sentences with ".\r\n"; the lines here go on after it.
  while (!said.empty() && (said.back() == '\n' || said.back() == '\r' || said.back() == '.' || said.back() == ' ')) {
    said.pop_back();
  }
  return said.empty() ? "error " + std::to_string(error) : said;
}

Failure windowsFailure(std::string what) { return windowsFailure(std::move(what), GetLastError()); }

Failure windowsFailure(std::string what, unsigned long error) {
  return {std::move(what) + " (" + errorText(error) + ")"};
}

Failure socketFailure(std::string what) {
  return windowsFailure(std::move(what), static_cast<unsigned long>(WSAGetLastError()));
}

}  // namespace tessevar::windows
