#include "config/osc_message.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace tessevar {
namespace {

// The bytes of a literal, zero bytes included.
template <std::size_t N>
std::vector<std::uint8_t> raw(const char (&text)[N]) {
  return {text, text + N - 1};
}

TEST(MixerDiscovery, QueryIsXinfoWithNoArgumentsAndAnAnswerReadsBack) {
  EXPECT_EQ(mixerQuery(), raw("/xinfo\0\0,\0\0\0"));
  // As a mixer sends it: each string padded to four bytes.
  EXPECT_EQ(parseMixerAnswer(raw("/xinfo\0\0,ssss\0\0\0" "192.168.1.20\0\0\0\0" "XR18-5E-91-4A\0\0\0" "XR18\0\0\0\0"
                                 "1.17\0\0\0\0")),
            (MixerInfo{"192.168.1.20", "XR18-5E-91-4A", "XR18", "1.17"}));
  const MixerInfo odd{"", "a\xff name", "abc", "12345678"};
  EXPECT_EQ(parseMixerAnswer(mixerAnswer(odd)), (MixerInfo{"", "a\xEF\xBF\xBD name", "abc", "12345678"}));
  // Only the padding of the very last string may be missing.
  EXPECT_TRUE(parseMixerAnswer(raw("/xinfo\0\0,ssss\0\0\0a\0\0\0b\0\0\0c\0\0\0d\0")));
}

TEST(MixerDiscovery, AnythingButXinfoWithFourStringsIsNoAnswer) {
  for (const std::vector<std::uint8_t>& datagram : {
           raw(""),
           raw("/xinfo\0\0"),                                          // no type tags
           raw("/info\0\0\0,ssss\0\0\0a\0\0\0b\0\0\0c\0\0\0d\0\0\0"),   // another message
           raw("xinfo\0\0\0,ssss\0\0\0a\0\0\0b\0\0\0c\0\0\0d\0\0\0"),   // no leading /
           raw("/xinfo\0\0,sss\0\0\0\0a\0\0\0b\0\0\0c\0\0\0"),          // three strings
           raw("/xinfo\0\0,ssis\0\0\0a\0\0\0b\0\0\0\0\0\0\x01" "d\0\0\0"),  // a number among them
           raw("/xinfo\0\0,ssss\0\0\0a\0\0\0b\0\0\0c\0\0\0d"),          // last string never ends
       }) {
    EXPECT_FALSE(parseMixerAnswer(datagram)) << datagram.size();
  }
}

}  // namespace
}  // namespace tessevar
