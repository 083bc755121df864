// A datagram as the setup's device discovery receives it. Byte 0 picks the
// kind of input: odd, the rest is a datagram as it stands; even, the rest
// gives four texts that a mixer's answer is written from.
//
// Checks: a message read holds no zero byte in its address or arguments,
// starts with "/", and written again reads back the same; a datagram read
// as a mixer's answer is an "/xinfo" message with at least four strings
// whose fields are those strings, decoded; written answers read back
// exactly (texts without zero bytes, well-formed UTF-8), and the query is
// never taken for an answer.

#include <cstdint>
#include <string>

#include "config/osc_message.h"
#include "fuzz/fuzz_support.h"
#include "util/utf8.h"

namespace {

using tessevar::fuzz::require;

void checkAsItStands(std::span<const std::uint8_t> datagram) {
  const auto message = tessevar::parseOscMessage(datagram);
  const auto answer = tessevar::parseMixerAnswer(datagram);
  if (!message) {
    require(!answer, "no message, no answer");
    return;
  }
  require(message->address.starts_with('/'), "an address starts with /");
  require(message->address.find('\0') == std::string::npos, "no zero byte in the address");
  for (const std::string& argument : message->arguments) {
    require(argument.find('\0') == std::string::npos, "no zero byte in an argument");
  }
  require(tessevar::parseOscMessage(tessevar::encodeOscMessage(*message)) == message, "a message reads back");
  if (answer) {
    const auto& a = message->arguments;
    require(message->address == "/xinfo" && a.size() >= 4, "an answer is /xinfo with four strings");
    require(answer->name == tessevar::decodeUtf8Lossy(a[1]) && answer->firmware == tessevar::decodeUtf8Lossy(a[3]),
            "the fields are the strings, decoded");
  }
}

// A text as a mixer would send it: no zero bytes, well-formed.
std::string field(tessevar::fuzz::Reader& in) {
  std::string text = in.text(in.byte() % 24);
  for (char& c : text) {
    if (c == '\0') c = '0';
  }
  return tessevar::decodeUtf8Lossy(text);
}

void checkWritten(tessevar::fuzz::Reader& in) {
  const tessevar::MixerInfo info{field(in), field(in), field(in), field(in)};
  const auto bytes = tessevar::mixerAnswer(info);
  require(bytes.size() % 4 == 0, "an answer is padded to four bytes");
  require(tessevar::parseMixerAnswer(bytes) == info, "a written answer reads back");
  require(!tessevar::parseMixerAnswer(tessevar::mixerQuery()), "the query is no answer");
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  tessevar::fuzz::Reader in({data, size});
  if (in.byte() & 1) {
    const std::string rest = in.rest();
    checkAsItStands({reinterpret_cast<const std::uint8_t*>(rest.data()), rest.size()});
  } else {
    checkWritten(in);
  }
  return 0;
}
