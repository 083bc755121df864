#include "support/tessevar_process.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <stdexcept>
#include <thread>

#include "support/console_banner.h"

extern char** environ;

namespace tessevar::testing {
namespace {

std::vector<std::string> childEnvironment(const TessevarProcess::Options& options) {
  std::vector<std::string> env;
  for (char** e = environ; *e != nullptr; ++e) {
    const std::string entry(*e);
    if (entry.rfind("HOME=", 0) == 0 || entry.rfind("DISPLAY=", 0) == 0 ||
        entry.rfind("XDG_CONFIG_HOME=", 0) == 0 || entry.rfind("XDG_RUNTIME_DIR=", 0) == 0) {
      continue;
    }
    env.push_back(entry);
  }
  env.push_back("HOME=" + options.home.string());
  // The one-copy lock lives there: runs of different tests never meet.
  env.push_back("XDG_RUNTIME_DIR=" + options.home.string());
  if (!options.display.empty()) env.push_back("DISPLAY=" + options.display);
  return env;
}

}  // namespace

std::string tessevarProgram() {
  const char* other = std::getenv("TESSEVAR_UNDER_TEST");
  return other != nullptr ? other : TESSEVAR_BINARY;
}

TessevarProcess::TessevarProcess(const Options& options) {
  int in[2], out[2];
  // Close-on-exec: no other child the test starts may hold the program's
  // input open (closing it must reach the program) or its output.
  if (pipe2(in, O_CLOEXEC) != 0 || pipe2(out, O_CLOEXEC) != 0) throw std::runtime_error("pipe failed");
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  if (options.noInput) {
    posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
  } else {
    posix_spawn_file_actions_adddup2(&actions, in[0], 0);
  }
  posix_spawn_file_actions_adddup2(&actions, out[1], 1);
  if (options.errorsToOutput) posix_spawn_file_actions_adddup2(&actions, out[1], 2);
  for (int fd : {in[0], in[1], out[0], out[1]}) posix_spawn_file_actions_addclose(&actions, fd);

  std::vector<std::string> env = childEnvironment(options);
  std::vector<char*> envp;
  for (auto& e : env) envp.push_back(e.data());
  envp.push_back(nullptr);
  std::string binary = tessevarProgram();
  std::vector<std::string> arguments = options.arguments;
  std::vector<char*> argv{binary.data()};
  for (std::string& a : arguments) argv.push_back(a.data());
  argv.push_back(nullptr);
  const int rc = posix_spawn(&pid_, binary.c_str(), &actions, nullptr, argv.data(), envp.data());
  posix_spawn_file_actions_destroy(&actions);
  close(in[0]);
  close(out[1]);
  input_ = in[1];
  output_ = out[0];
  if (rc != 0) throw std::runtime_error("cannot start " + binary);
}

TessevarProcess::~TessevarProcess() {
  // Wine's server can keep the sockets of a program killed outright: the
  // Windows build is asked to quit first.
  if (!status_ && std::getenv("TESSEVAR_WINE_DOCUMENTS") != nullptr) {
    kill(pid_, SIGINT);
    waitForExit(std::chrono::seconds(5));
  }
  if (!status_) {
    kill(pid_, SIGKILL);
    waitpid(pid_, nullptr, 0);
  }
  if (input_ >= 0) close(input_);
  if (output_ >= 0) close(output_);
}

void TessevarProcess::type(const std::string& text) {
  if (write(input_, text.data(), text.size()) != static_cast<ssize_t>(text.size())) {
    throw std::runtime_error("cannot type to the program");
  }
}

void TessevarProcess::closeInput() {
  close(input_);
  input_ = -1;
}

void TessevarProcess::closeOutput() {
  close(output_);
  output_ = -1;
}

void TessevarProcess::signal(int number) { kill(pid_, number); }

std::optional<std::string> TessevarProcess::nextLine(std::chrono::milliseconds wait) {
  const auto deadline = std::chrono::steady_clock::now() + wait;
  for (;;) {
    const auto end = pending_.find('\n');
    if (end != std::string::npos) {
      std::string line = pending_.substr(0, end);
      pending_.erase(0, end + 1);
      return line;
    }
    const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
        deadline - std::chrono::steady_clock::now());
    if (left.count() <= 0) return std::nullopt;
    pollfd p{output_, POLLIN, 0};
    if (poll(&p, 1, static_cast<int>(left.count())) <= 0) continue;
    char buffer[4096];
    const ssize_t n = read(output_, buffer, sizeof buffer);
    if (n <= 0) return std::nullopt;
    pending_.append(buffer, static_cast<std::size_t>(n));
  }
}

std::vector<std::string> TessevarProcess::linesUntil(const std::string& last,
                                                     std::chrono::milliseconds wait) {
  std::vector<std::string> lines;
  while (auto line = nextLine(wait)) {
    lines.push_back(*line);
    if (*line == last) break;
  }
  return lines;
}

std::vector<std::string> TessevarProcess::readStartUp(std::chrono::milliseconds wait) {
  std::vector<std::string> lines = linesUntil(consoleBanner().front(), wait);
  for (std::size_t i = 1; i < consoleBanner().size(); ++i) {
    if (auto line = nextLine(wait)) lines.push_back(*line);
  }
  return lines;
}

std::optional<int> TessevarProcess::waitForExit(std::chrono::milliseconds wait) {
  const auto deadline = std::chrono::steady_clock::now() + wait;
  while (!status_) {
    int status = 0;
    if (waitpid(pid_, &status, WNOHANG) == pid_) {
      status_ = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
      break;
    }
    if (std::chrono::steady_clock::now() > deadline) break;
    std::this_thread::sleep_for(std::chrono::milliseconds(5));
  }
  return status_;
}

namespace {

const char* wineDocuments() { return std::getenv("TESSEVAR_WINE_DOCUMENTS"); }

}  // namespace

std::vector<int> quitSignals() {
  if (wineDocuments() != nullptr) return {SIGINT};
  return {SIGTERM, SIGINT};
}

std::string TempHome::shownConfigFile() const {
  if (const char* documents = wineDocuments()) return std::string(documents) + "\\" + configFile().filename().string();
  return configFile().string();
}

void TempHome::writeConfig(const std::string& bytes) const {
  std::filesystem::create_directories(configFile().parent_path());
  writeBytes(configFile(), bytes);
}

std::string TempHome::readConfig() const { return readBytes(configFile()); }

}  // namespace tessevar::testing
