#include <windows.h>

#include <string>

#include "config/setup_steps.h"

namespace tessevar {

// A console can answer; so can a pipe or file that has not ended. Nothing
// can answer on no input at all or on the NUL device, as under a service or
// a scheduled task.
bool answersMayCome(std::istream& input) {
  const HANDLE handle = GetStdHandle(STD_INPUT_HANDLE);
  if (handle == nullptr || handle == INVALID_HANDLE_VALUE) return false;
  DWORD mode = 0;
  switch (GetFileType(handle)) {
    case FILE_TYPE_CHAR: return GetConsoleMode(handle, &mode) != 0;
    case FILE_TYPE_PIPE: {
      // Only a pipe whose writer has gone may have ended; what it still
      // holds may be an answer. (Wine cannot look into a pipe at all.)
      DWORD waiting = 0;
      if (PeekNamedPipe(handle, nullptr, 0, nullptr, &waiting, nullptr) || GetLastError() != ERROR_BROKEN_PIPE) {
        return true;
      }
      return input.peek() != std::char_traits<char>::eof();
    }
    case FILE_TYPE_DISK: return input.peek() != std::char_traits<char>::eof();
    default: return false;
  }
}

}  // namespace tessevar
