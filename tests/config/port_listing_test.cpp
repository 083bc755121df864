#include <gtest/gtest.h>

#include "config/system_lookups.h"

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
  PortNames ports{.ethernetPortName = "old-eth", .wifiPortName = "old-wifi"};
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

}  // namespace
}  // namespace tessevar
