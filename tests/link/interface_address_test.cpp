#include "link/interface_address.h"

#include <gtest/gtest.h>

#include <memory>
#include <vector>

namespace tessevar {
namespace {

constexpr unsigned upRunning = interfaceUp | interfaceRunning;
constexpr unsigned broadcastAndMulticast = 0x2 | 0x1000;  // flags the choice does not read

constexpr const char* linkLayer = "link-layer";  // an address of a family the choice passes over

// One listed address: IPv4 or IPv6 text, `linkLayer`, or nullptr for none.
struct Listed {
  const char* address;
  unsigned flags = upRunning;
  const char* name = "en0";
};

// The entries for `listed`, owning the socket addresses they point at.
class FakeInterfaces {
 public:
  explicit FakeInterfaces(const std::vector<Listed>& listed) {
    for (const Listed& l : listed) {
      auto address = std::make_shared<sockaddr_storage>();
      const std::string text = l.address ? l.address : "";
      if (text == linkLayer) {
        address->ss_family = AF_UNIX;
      } else if (text.find(':') != std::string::npos) {
        auto* in6 = reinterpret_cast<sockaddr_in6*>(address.get());
        in6->sin6_family = AF_INET6;
        inet_pton(AF_INET6, l.address, &in6->sin6_addr);
      } else if (l.address) {
        auto* in = reinterpret_cast<sockaddr_in*>(address.get());
        in->sin_family = AF_INET;
        inet_pton(AF_INET, l.address, &in->sin_addr);
      }
      entries.push_back({l.name, l.flags, l.address ? reinterpret_cast<const sockaddr*>(address.get()) : nullptr});
      owners_.push_back(std::move(address));
    }
  }
  std::vector<InterfaceEntry> entries;

 private:
  std::vector<std::shared_ptr<sockaddr_storage>> owners_;
};

struct Case {
  const char* what;
  std::vector<Listed> listed;
  const char* port;
  PeerAddresses peers;
  std::optional<std::string> expected;
};

TEST(ChooseInterfaceAddress, FollowsTheMatchingRules) {
  const std::vector<Case> cases = {
      {"plain IPv4", {{"192.0.2.1"}}, "en0", {AF_INET}, "192.0.2.1"},
      {"name differs in case", {{"192.0.2.1"}}, "EN0", {AF_INET}, std::nullopt},
      {"up but not running", {{"192.0.2.1", interfaceUp}}, "en0", {AF_INET}, std::nullopt},
      {"running but down", {{"192.0.2.1", interfaceRunning}}, "en0", {AF_INET}, std::nullopt},
      {"loopback", {{"127.0.0.1", upRunning | interfaceLoopback, "lo"}}, "lo", {AF_INET}, std::nullopt},
      {"extra flags do not matter", {{"192.0.2.1", upRunning | broadcastAndMulticast}}, "en0", {AF_INET}, "192.0.2.1"},
      {"link-layer and nameless entries pass over",
       {{linkLayer}, {nullptr}, {nullptr, upRunning, nullptr}, {"192.0.2.7"}}, "en0", {AF_INET}, "192.0.2.7"},
      {"only link-layer", {{linkLayer}}, "en0", {AF_INET}, std::nullopt},
      {"last of a family wins", {{"192.0.2.1"}, {"198.51.100.1", upRunning, "en1"}, {"192.0.2.2"}}, "en0", {AF_INET},
       "192.0.2.2"},
      {"IPv4 peers keep the IPv4 address listed before IPv6", {{"192.0.2.1"}, {"2001:db8::1"}}, "en0", {AF_INET},
       "192.0.2.1"},
      {"IPv6 peers take the IPv6 address", {{"2001:db8::1"}, {"192.0.2.1"}}, "en0", {AF_INET6}, "2001:db8::1"},
      {"peers of no known family: the last listed wins", {{"192.0.2.1"}, {"2001:db8::1"}}, "en0", {AF_UNSPEC},
       "2001:db8::1"},
      {"no address of the peers' family: the last listed wins", {{"2001:db8::1"}, {"2001:db8::2"}}, "en0", {AF_INET},
       "2001:db8::2"},
      {"IPv6 peers beyond link-local take a global address listed before the link-local one",
       {{"192.0.2.1"}, {"fd00::1"}, {"fe80::1"}}, "en0", {AF_INET6, true}, "fd00::1"},
      {"link-local peers keep the last IPv6 address", {{"2001:db8::1"}, {"fe80::1"}}, "en0", {AF_INET6, false},
       "fe80::1"},
      {"a link-local address is still better than none", {{"192.0.2.1"}, {"fe80::1"}}, "en0", {AF_INET6, true},
       "fe80::1"},
      {"empty list", {}, "en0", {AF_INET}, ""},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(chooseInterfaceAddress(FakeInterfaces(c.listed).entries, c.port, c.peers), c.expected) << c.what;
  }
}

TEST(InterfaceAddress, NeverUsesTheLoopbackInterface) {
  EXPECT_EQ(interfaceAddress("lo", {AF_INET}), std::nullopt);
  EXPECT_EQ(interfaceAddress("no-such-port0", {AF_INET}), std::nullopt);
}

// Each peer's addresses as the resolver would give them.
std::vector<sockaddr_storage> resolved(const std::vector<const char*>& texts) {
  std::vector<sockaddr_storage> addresses;
  for (const char* text : texts) {
    const auto one = resolveHost(text);
    addresses.insert(addresses.end(), one.begin(), one.end());
  }
  return addresses;
}

TEST(DescribePeers, TakesTheFamilyEveryPeerCanBeReachedIn) {
  struct Row {
    std::vector<const char*> surface, mixer;
    int family;
    bool beyondLinkLocal;
  };
  const std::vector<Row> rows = {
      {{"192.0.2.20"}, {"192.0.2.10"}, AF_INET, false},
      {{"2001:db8::20"}, {"fe80::1"}, AF_INET6, true},
      {{"fe80::2"}, {"fe80::3"}, AF_INET6, false},
      {{"192.0.2.20"}, {}, AF_INET, false},
      {{}, {}, AF_UNSPEC, false},
      {{"192.0.2.20"}, {"fd00::10"}, AF_UNSPEC, true},
      {{"2001:db8::20", "192.0.2.20"}, {"192.0.2.10", "2001:db8::10"}, AF_INET6, true},
      {{"2001:db8::20", "192.0.2.20"}, {"192.0.2.10"}, AF_INET, true},
  };
  for (std::size_t i = 0; i < rows.size(); ++i) {
    const std::vector<sockaddr_storage> peers[] = {resolved(rows[i].surface), resolved(rows[i].mixer)};
    const PeerAddresses described = describePeers(peers);
    EXPECT_EQ(described.family, rows[i].family) << "row " << i;
    EXPECT_EQ(described.beyondLinkLocal, rows[i].beyondLinkLocal) << "row " << i;
  }
}

TEST(PeerAddresses, NamesAreResolvedBeforeTheFamilyIsTaken) {
  EXPECT_TRUE(resolveHost("").empty());
  EXPECT_NE(peerAddresses("localhost", "localhost").family, AF_UNSPEC);
}

}  // namespace
}  // namespace tessevar
