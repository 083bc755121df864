// Standard input cannot be waited on beside a socket on Windows (a pipe
// offers nothing to wait for, and a console must echo as the operator
// types), so one reader thread of the process reads it and hands each piece
// over; ConsoleInput waits for the hand-over and for the stop together. The
// reader blocks in its read until input comes and ends with the process.
#include <windows.h>

#include <algorithm>
#include <condition_variable>
#include <iterator>
#include <mutex>
#include <optional>
#include <string>

#include "util/console_input.h"
#include "util/wake_up.h"
#include "util/windows/wide_text.h"

namespace tessevar {
namespace {

class InputFeed {
 public:
  // Read ahead at most this much while nobody takes it.
  static constexpr std::size_t readAhead = 64 * 1024;

  // Made at the first read; never destroyed, since its thread may still be
  // blocked in a read when the process ends.
  static InputFeed& instance() {
    static InputFeed* const feed = new InputFeed;
    return *feed;
  }

  PollHandle arrivals() const { return arrived_.handle(); }
  void drain() { arrived_.drain(); }

  // Moves what has arrived into `room`: the count, 0 when nothing has yet,
  // or nullopt once the input has ended and all of it was taken.
  std::optional<std::size_t> take(std::span<char> room) {
    std::lock_guard lock(mutex_);
    if (pending_.empty()) return ended_ ? std::nullopt : std::optional<std::size_t>(0);
    const std::size_t count = std::min(room.size(), pending_.size());
    pending_.copy(room.data(), count);
    pending_.erase(0, count);
    taken_.notify_one();
    return count;
  }

 private:
  InputFeed() {
    const HANDLE thread = CreateThread(nullptr, 0, &InputFeed::run, this, 0, nullptr);
    if (thread == nullptr) {
      ended_ = true;  // no standard input, as if it were closed
      return;
    }
    CloseHandle(thread);
  }

  static DWORD WINAPI run(void* self) {
    static_cast<InputFeed*>(self)->readAll();
    return 0;
  }

  void readAll() {
    const HANDLE input = GetStdHandle(STD_INPUT_HANDLE);
    DWORD mode = 0;
    const bool console = GetConsoleMode(input, &mode) != 0;
    std::string piece;
    while (console ? readConsole(input, piece) : readFile(input, piece)) hand(piece);
    std::lock_guard lock(mutex_);
    if (pendingReturn_) pending_ += '\r';
    ended_ = true;
    arrived_.raise();
  }

  // The console speaks UTF-16; ^Z at the start of a read ends the input, as
  // the C runtime has it.
  static bool readConsole(HANDLE input, std::string& piece) {
    wchar_t text[1024];
    for (;;) {
      DWORD got = 0;
      // A Ctrl+C ends the read with nothing (its handler acts on it): read on.
      if (!ReadConsoleW(input, text, static_cast<DWORD>(std::size(text)), &got, nullptr)) {
        if (GetLastError() == ERROR_OPERATION_ABORTED) continue;
        return false;
      }
      if (got == 0) continue;
      if (text[0] == L'\x1a') return false;
      piece = windows::utf8FromWide({text, got});
      return true;
    }
  }

  static bool readFile(HANDLE input, std::string& piece) {
    char bytes[4096];
    DWORD got = 0;
    if (!ReadFile(input, bytes, sizeof bytes, &got, nullptr) || got == 0) return false;  // ended, or broken
    piece.assign(bytes, got);
    return true;
  }

  // Line ends arrive as "\r\n" on Windows; the program reads "\n", as a C++
  // stream in text mode would.
  void hand(const std::string& piece) {
    std::unique_lock lock(mutex_);
    taken_.wait(lock, [this] { return pending_.size() < readAhead; });
    for (const char c : piece) {
      if (pendingReturn_ && c != '\n') pending_ += '\r';
      pendingReturn_ = c == '\r';
      if (!pendingReturn_) pending_ += c;
    }
    lock.unlock();
    arrived_.raise();
  }

  std::mutex mutex_;
  std::condition_variable taken_;
  std::string pending_;
  bool pendingReturn_ = false;  // the piece ended in "\r": is "\n" next?
  bool ended_ = false;
  WakeUp arrived_;
};

}  // namespace

ConsoleInput::int_type ConsoleInput::underflow() {
  if (gptr() < egptr()) return traits_type::to_int_type(*gptr());
  InputFeed& feed = InputFeed::instance();
  while (!stop_.raised()) {
    const std::optional<std::size_t> got = feed.take(buffer_);
    if (!got) return traits_type::eof();
    if (*got > 0) {
      setg(buffer_.data(), buffer_.data(), buffer_.data() + *got);
      return traits_type::to_int_type(*gptr());
    }
    std::array<Readable, 2> wanted{Readable{feed.arrivals()}, Readable{stop_.handle()}};
    waitReadable(wanted, std::nullopt);
    if (wanted[0].ready) feed.drain();
  }
  return traits_type::eof();
}

}  // namespace tessevar
