#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

#include "config/system_lookups.h"
#include "support/temp_folder.h"

namespace tessevar {
namespace {

namespace fs = std::filesystem;

struct Interface {
  std::string name;
  std::optional<std::string> type;  // nothing: no type file
  bool device = false;
  bool wireless = false;
};

// As the kernel shows them: each interface a link to its device's folder,
// beside a plain file that is no interface.
void makeNetFolder(const fs::path& root, const std::vector<Interface>& interfaces) {
  fs::create_directories(root / "net");
  testing::writeBytes(root / "net" / "bonding_masters", "");
  for (const Interface& interface : interfaces) {
    const fs::path folder = root / "devices" / interface.name;
    fs::create_directories(folder);
    if (interface.type) testing::writeBytes(folder / "type", *interface.type);
    if (interface.device) fs::create_directory(folder / "device");
    if (interface.wireless) fs::create_directory(folder / "wireless");
    fs::create_directory_symlink("../devices/" + interface.name, root / "net" / interface.name);
  }
}

// A wired Ethernet card and a Wi-Fi one, as the kernel describes them.
Interface wired(std::string name) { return {std::move(name), "1\n", true, false}; }
Interface wifi(std::string name) { return {std::move(name), "1\n", true, true}; }

struct SysfsCase {
  const char* name;
  std::vector<Interface> interfaces;
  std::string ethernet;
  std::string wifi;
};

class SysfsPortNames : public ::testing::TestWithParam<SysfsCase> {};

TEST_P(SysfsPortNames, NamesTheLastWifiAndWiredEthernetInterface) {
  testing::TempFolder sysfs;
  makeNetFolder(sysfs.path(), GetParam().interfaces);
  PortNames ports{.ethernetPortName = "old-eth", .wifiPortName = "old-wifi"};
  EXPECT_TRUE(readSysfsPortNames(sysfs.path() / "net", ports));
  EXPECT_EQ(ports.ethernetPortName, GetParam().ethernet);
  EXPECT_EQ(ports.wifiPortName, GetParam().wifi);
}

INSTANTIATE_TEST_SUITE_P(
    Folders, SysfsPortNames,
    ::testing::Values(
        SysfsCase{"Laptop",
                  {wifi("wlp2s0"), wired("enp3s0"), {"veth0", "1\n"}, {"ib0", "32\n", true}, {"lo", "772\n"}},
                  "enp3s0",
                  "wlp2s0"},
        // Made out of name order; names compare byte by byte, so eth9 is after eth10.
        SysfsCase{"LastInNameOrderWins",
                  {wired("eth9"), wired("eth10"), wired("enx00"), wifi("wlan1"), wifi("wlan0")},
                  "eth9",
                  "wlan1"},
        SysfsCase{"WirelessNeedsNothingElseAndIsNeverEthernet",
                  {{"wlan0", std::nullopt, false, true}, wifi("wlp1s0")},
                  "old-eth",
                  "wlp1s0"},
        SysfsCase{"TypeMustBeOneOnceTrimmed",
                  {{"a0", " 1 \n", true},
                   {"b0", "10\n", true},
                   {"c0", "1 0\n", true},
                   {"d0", std::nullopt, true},
                   {"e0", "", true}},
                  "a0",
                  "old-wifi"},
        SysfsCase{"NothingFoundKeepsBothNames", {{"lo", "772\n"}}, "old-eth", "old-wifi"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(SysfsPortNamesFolder, ThatCannotBeListedIsAFailureAndChangesNothing) {
  testing::TempFolder sysfs;
  PortNames ports{.ethernetPortName = "old-eth", .wifiPortName = "old-wifi"};
  EXPECT_FALSE(readSysfsPortNames(sysfs.path() / "missing", ports));
  testing::writeBytes(sysfs.path() / "file", "");
  EXPECT_FALSE(readSysfsPortNames(sysfs.path() / "file", ports));
  EXPECT_EQ(ports.ethernetPortName, "old-eth");
  EXPECT_EQ(ports.wifiPortName, "old-wifi");
}

}  // namespace
}  // namespace tessevar
