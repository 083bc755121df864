#pragma once

#include <sys/types.h>

#include <chrono>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "support/temp_folder.h"

namespace tessevar::testing {

// The real binary as a child process, with a home folder of its own, its
// standard input and output on pipes, and no display unless one is given.
class TessevarProcess {
 public:
  struct Options {
    std::filesystem::path home;
    std::string display;  // empty: DISPLAY unset
    std::vector<std::string> arguments{};
    bool errorsToOutput = false;  // standard error read as output lines too
    bool noInput = false;         // standard input is /dev/null, as under a service manager
  };
  explicit TessevarProcess(const Options& options);
  ~TessevarProcess();
  TessevarProcess(const TessevarProcess&) = delete;
  TessevarProcess& operator=(const TessevarProcess&) = delete;

  void type(const std::string& text);
  void closeInput();
  // Stops reading the program's output, as `| head -1` would.
  void closeOutput();
  void signal(int number);
  // The next output line, or nullopt when none comes in time or output ended.
  std::optional<std::string> nextLine(std::chrono::milliseconds wait = std::chrono::seconds(10));
  // Lines until (and including) one equal to `last`; stops early at a timeout.
  std::vector<std::string> linesUntil(const std::string& last,
                                      std::chrono::milliseconds wait = std::chrono::seconds(10));
  // The start-up up to the end of the console banner, which comes once both
  // links are ready; stops early at a timeout.
  std::vector<std::string> readStartUp(std::chrono::milliseconds wait = std::chrono::seconds(10));
  // The exit status, or nullopt when the process is still running after `wait`.
  std::optional<int> waitForExit(std::chrono::milliseconds wait = std::chrono::seconds(10));
  pid_t pid() const { return pid_; }

 private:
  pid_t pid_ = -1;
  int input_ = -1;
  int output_ = -1;
  std::string pending_;
  std::optional<int> status_;
};

// The binary under test: the one built here, or another build named by
// TESSEVAR_UNDER_TEST (benchmarks measure before and after, and the Windows
// build runs through scripts/wine-tessevar).
std::string tessevarProgram();

// The signals that end the program as "q" does: SIGTERM and SIGINT; for the
// Windows build under Wine only SIGINT, which Wine turns into Ctrl+C.
std::vector<int> quitSignals();

// A home folder for one run of the program, removed at the end of a test.
class TempHome {
 public:
  const std::filesystem::path& path() const { return folder_.path(); }
  std::filesystem::path configFile() const { return path() / "Documents" / "Tessevar.cfg"; }
  // The settings file as the program names it: that path, or the Windows
  // build's own under Wine (TESSEVAR_WINE_DOCUMENTS, its Documents folder).
  std::string shownConfigFile() const;
  void writeConfig(const std::string& bytes) const;
  std::string readConfig() const;

 private:
  TempFolder folder_;
};

}  // namespace tessevar::testing
