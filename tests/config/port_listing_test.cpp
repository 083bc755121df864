#include <gtest/gtest.h>

#include "config/port_discovery.h"
#include "support/temp_folder.h"

namespace tessevar {
namespace {

struct ListingCase {
  const char* name;
  std::string_view listing;
  std::string ethernet;
  std::string wifi;
};

class HardwarePortListing : public ::testing::TestWithParam<ListingCase> {};

TEST_P(HardwarePortListing, KeepsTheSecondWordAfterEachHeader) {
  PortNames ports{"old-eth", "old-wifi"};
  readHardwarePortListing(GetParam().listing, ports);
  EXPECT_EQ(ports.ethernetPortName, GetParam().ethernet);
  EXPECT_EQ(ports.wifiPortName, GetParam().wifi);
}

INSTANTIATE_TEST_SUITE_P(
    Listings, HardwarePortListing,
    ::testing::Values(
        ListingCase{"Both",
                    "\nHardware Port: Ethernet\nDevice: en0\nEthernet Address: 00:11\n\n"
                    "Hardware Port: Wi-Fi\nDevice: en1 extra\n",
                    "en0", "en1"},
        ListingCase{"LaterHeaderOverwrites",
                    "Hardware Port: Ethernet\nDevice: en0\nHardware Port: Ethernet Adaptor (en5)\n"
                    "Device: en5\n",
                    "en5", "old-wifi"},
        ListingCase{"MarkerMustBeContiguousAndCased",
                    "Hardware Port: USB Ethernet\nDevice: en7\nhardware port: wi-fi\nDevice: en8\n",
                    "old-eth", "old-wifi"},
        ListingCase{"HeaderOnLastLine", "Device: en9\nHardware Port: Wi-Fi", "old-eth", "old-wifi"},
        ListingCase{"TwoSpacesGiveEmptyName", "Hardware Port: Ethernet\nDevice:  en0\n", "",
                    "old-wifi"},
        ListingCase{"LineWithoutSpaceSkipped", "Hardware Port: Wi-Fi\nen0\n", "old-eth",
                    "old-wifi"}),
    [](const auto& info) { return std::string(info.param.name); });

void addInterface(const std::filesystem::path& root, const std::string& name,
                  std::string_view type, std::initializer_list<const char*> entries) {
  std::filesystem::create_directories(root / name);
  testing::writeBytes(root / name / "type", type);
  for (const char* entry : entries) std::filesystem::create_directory(root / name / entry);
}

TEST(SysfsHardwarePortListing, NamesWirelessAndDeviceBackedEthernetPorts) {
  testing::TempFolder sysfs;
  addInterface(sysfs.path(), "wlp2s0", "1\n", {"device", "wireless"});
  addInterface(sysfs.path(), "enp3s0", "1\n", {"device"});
  addInterface(sysfs.path(), "veth0", "1\n", {});
  addInterface(sysfs.path(), "ib0", "32\n", {"device"});
  EXPECT_EQ(sysfsHardwarePortListing(sysfs.path()),
            "Hardware Port: Ethernet\nDevice: enp3s0\n\n"
            "Hardware Port: Wi-Fi\nDevice: wlp2s0\n\n");
  EXPECT_FALSE(sysfsHardwarePortListing(sysfs.path() / "missing"));
}

}  // namespace
}  // namespace tessevar
