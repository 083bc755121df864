#include "link/interface_address.h"

#include <gtest/gtest.h>

#include <memory>
#include <vector>

namespace tessevar {
namespace {

constexpr unsigned upRunning = interfaceUp | interfaceRunning;
constexpr unsigned broadcastAndMulticast = 0x2 | 0x1000;  // flags the choice does not read

// Owns the socket addresses the entries point at.
class FakeInterfaces {
 public:
  FakeInterfaces& ipv4(const char* name, unsigned flags, const char* text) {
    auto address = std::make_shared<sockaddr_in>();
    address->sin_family = AF_INET;
    inet_pton(AF_INET, text, &address->sin_addr);
    return add(name, flags, address, reinterpret_cast<const sockaddr*>(address.get()));
  }
  FakeInterfaces& ipv6(const char* name, unsigned flags, const char* text) {
    auto address = std::make_shared<sockaddr_in6>();
    address->sin6_family = AF_INET6;
    inet_pton(AF_INET6, text, &address->sin6_addr);
    return add(name, flags, address, reinterpret_cast<const sockaddr*>(address.get()));
  }
  FakeInterfaces& other(const char* name, unsigned flags, int family) {
    auto address = std::make_shared<sockaddr_storage>();
    address->ss_family = static_cast<decltype(address->ss_family)>(family);
    return add(name, flags, address, reinterpret_cast<const sockaddr*>(address.get()));
  }
  FakeInterfaces& bare(const char* name, unsigned flags) { return add(name, flags, nullptr, nullptr); }

  std::vector<InterfaceEntry> entries;

 private:
  FakeInterfaces& add(const char* name, unsigned flags, std::shared_ptr<void> owner, const sockaddr* address) {
    owners_.push_back(std::move(owner));
    entries.push_back({name, flags, address});
    return *this;
  }
  std::vector<std::shared_ptr<void>> owners_;
};

struct Case {
  const char* what;
  FakeInterfaces interfaces;
  const char* port;
  PeerAddresses peers;
  std::optional<std::string> expected;
};

TEST(ChooseInterfaceAddress, FollowsTheMatchingRules) {
  std::vector<Case> cases = {
      {"plain IPv4", FakeInterfaces().ipv4("en0", upRunning, "192.0.2.1"), "en0", {AF_INET}, "192.0.2.1"},
      {"name differs in case", FakeInterfaces().ipv4("en0", upRunning, "192.0.2.1"), "EN0", {AF_INET}, std::nullopt},
      {"up but not running", FakeInterfaces().ipv4("en0", interfaceUp, "192.0.2.1"), "en0", {AF_INET}, std::nullopt},
      {"running but down", FakeInterfaces().ipv4("en0", interfaceRunning, "192.0.2.1"), "en0", {AF_INET}, std::nullopt},
      {"loopback", FakeInterfaces().ipv4("lo", upRunning | interfaceLoopback, "127.0.0.1"), "lo", {AF_INET}, std::nullopt},
      {"extra flags do not matter", FakeInterfaces().ipv4("en0", upRunning | broadcastAndMulticast, "192.0.2.1"),
       "en0", {AF_INET}, "192.0.2.1"},
      {"link-layer and nameless entries pass over",
       FakeInterfaces().other("en0", upRunning, AF_UNIX).bare("en0", upRunning).bare(nullptr, upRunning)
           .ipv4("en0", upRunning, "192.0.2.7"),
       "en0", {AF_INET}, "192.0.2.7"},
      {"only link-layer", FakeInterfaces().other("en0", upRunning, AF_UNIX), "en0", {AF_INET}, std::nullopt},
      {"last of a family wins",
       FakeInterfaces().ipv4("en0", upRunning, "192.0.2.1").ipv4("en1", upRunning, "198.51.100.1")
           .ipv4("en0", upRunning, "192.0.2.2"),
       "en0", {AF_INET}, "192.0.2.2"},
      {"IPv4 peers keep the IPv4 address listed before IPv6",
       FakeInterfaces().ipv4("en0", upRunning, "192.0.2.1").ipv6("en0", upRunning, "2001:db8::1"), "en0", {AF_INET},
       "192.0.2.1"},
      {"IPv6 peers take the IPv6 address",
       FakeInterfaces().ipv6("en0", upRunning, "2001:db8::1").ipv4("en0", upRunning, "192.0.2.1"), "en0", {AF_INET6},
       "2001:db8::1"},
      {"peers of no known family: the last listed wins",
       FakeInterfaces().ipv4("en0", upRunning, "192.0.2.1").ipv6("en0", upRunning, "2001:db8::1"), "en0", {AF_UNSPEC},
       "2001:db8::1"},
      {"no address of the peers' family: the last listed wins",
       FakeInterfaces().ipv6("en0", upRunning, "2001:db8::1").ipv6("en0", upRunning, "2001:db8::2"), "en0", {AF_INET},
       "2001:db8::2"},
      {"IPv6 peers beyond link-local take a global address listed before the link-local one",
       FakeInterfaces().ipv4("en0", upRunning, "192.0.2.1").ipv6("en0", upRunning, "fd00::1")
           .ipv6("en0", upRunning, "fe80::1"),
       "en0", {AF_INET6, true}, "fd00::1"},
      {"link-local peers keep the last IPv6 address",
       FakeInterfaces().ipv6("en0", upRunning, "2001:db8::1").ipv6("en0", upRunning, "fe80::1"), "en0",
       {AF_INET6, false}, "fe80::1"},
      {"a link-local address is still better than none",
       FakeInterfaces().ipv4("en0", upRunning, "192.0.2.1").ipv6("en0", upRunning, "fe80::1"), "en0",
       {AF_INET6, true}, "fe80::1"},
      {"empty list", FakeInterfaces(), "en0", {AF_INET}, ""},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(chooseInterfaceAddress(c.interfaces.entries, c.port, c.peers), c.expected) << c.what;
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
