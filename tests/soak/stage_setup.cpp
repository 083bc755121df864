#include "soak/stage_setup.h"

#include <fcntl.h>
#include <sys/mount.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <vector>

#include "soak/faults.h"
#include "support/tessevar_process.h"
#include "support/test_editor_client.h"

namespace tessevar::soak {

using namespace std::chrono_literals;

// The devices' end of the link in a network namespace of its own, so that
// their datagrams really cross the link (addresses of one namespace reach
// each other whatever becomes of en0). Neighbours are fixed: address
// resolution after the link's return would hold datagrams for up to a second
// and let newer ones pass, which is the network's doing, not the program's.
bool makeStageNamespace(std::string& problem) {
  const std::string programMac = "02:00:00:00:00:01";
  const std::string stageMac = "02:00:00:00:00:02";
  std::vector<std::vector<std::string>> commands{
      {"ip", "link", "set", "en0", "address", programMac},
      {"ip", "link", "set", "stage0", "address", stageMac},
      {"mkdir", "-p", "/run/netns"},
      {"mount", "-t", "tmpfs", "tmpfs", "/run/netns"},  // its name stays in this mount namespace
      {"ip", "netns", "add", stageNamespace},
      {"ip", "link", "set", "stage0", "netns", stageNamespace},
      {"ip", "-n", stageNamespace, "addr", "add", "198.18.0.2/24", "dev", "stage0"},
      {"ip", "-n", stageNamespace, "addr", "add", "198.18.0.3/24", "dev", "stage0"},
      {"ip", "-n", stageNamespace, "addr", "add", std::string(strangerAddress) + "/24", "dev", "stage0"},
      {"ip", "-n", stageNamespace, "link", "set", "lo", "up"},
      {"ip", "-n", stageNamespace, "link", "set", "stage0", "up"},
      {"ip", "-n", stageNamespace, "neigh", "replace", "198.18.0.1", "lladdr", programMac, "dev", "stage0", "nud",
       "permanent"}};
  for (const std::string device : {"198.18.0.2", "198.18.0.3", strangerAddress}) {
    commands.push_back({"ip", "neigh", "replace", device, "lladdr", stageMac, "dev", "en0", "nud", "permanent"});
  }
  for (const auto& command : commands) {
    if (!runCommand(command)) {
      problem = "cannot lay out the stage network (" + command[0] + " " + command[1] + " " + command[2] + " ...)";
      return false;
    }
  }
  if (!waitUntilOperational("en0", stageNamespace, "stage0", 10s)) {
    problem = "the stage network's link does not come up";
    return false;
  }
  return true;
}

bool privateTmp(std::string& problem) {
  std::vector<std::filesystem::path> folders;
  for (const std::string& program : {testing::tessevarProgram(), testing::testEditorProgram()}) {
    const std::filesystem::path folder = std::filesystem::absolute(program).parent_path();
    if (folder.string().starts_with("/tmp/") && std::find(folders.begin(), folders.end(), folder) == folders.end()) {
      folders.push_back(folder);
    }
  }
  std::vector<int> kept;
  for (const auto& folder : folders) kept.push_back(open(folder.c_str(), O_PATH | O_DIRECTORY | O_CLOEXEC));
  bool ok = mount("tmpfs", "/tmp", "tmpfs", 0, "mode=1777") == 0;
  if (!ok) problem = "cannot mount a private /tmp";
  for (std::size_t i = 0; ok && i < folders.size(); ++i) {
    std::error_code ignored;
    std::filesystem::create_directories(folders[i], ignored);
    const std::string source = "/proc/self/fd/" + std::to_string(kept[i]);
    ok = kept[i] >= 0 && mount(source.c_str(), folders[i].c_str(), nullptr, MS_BIND, nullptr) == 0;
    if (!ok) problem = "cannot bind " + folders[i].string() + " into the private /tmp";
  }
  for (int descriptor : kept) close(descriptor);
  return ok;
}

}  // namespace tessevar::soak
