// A datagram as the setup's device discovery receives it. Byte 0 picks the
// kind of input: odd, the rest is a datagram as it stands; even, the rest
// gives the four texts of a mixer's answer.
//
// Checks: a message read starts with "/", holds no zero byte in its texts
// and, written again, reads back the same; an answer read is "/xinfo" with
// at least four strings, decoded; a written answer (texts without zero
// bytes, well-formed UTF-8) reads back exactly; the query is no answer.

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
  require(message || !answer, "no message, no answer");
  if (!message) return;
  require(message->address.starts_with('/'), "an address starts with /");
  for (const std::string& text : message->arguments) require(text.find('\0') == text.npos, "no zero byte");
  require(message->address.find('\0') == std::string::npos, "no zero byte in the address");
  require(tessevar::parseOscMessage(tessevar::encodeOscMessage(*message)) == message, "a message reads back");
  if (!answer) return;
  const auto& a = message->arguments;
  require(message->address == "/xinfo" && a.size() >= 4 && answer->name == tessevar::decodeUtf8Lossy(a[1]),
          "an answer is /xinfo and its strings, decoded");
}

std::string field(tessevar::fuzz::Reader& in) {
  std::string text = in.text(in.byte() % 24);
  for (char& c : text) c = c == '\0' ? '0' : c;
  return tessevar::decodeUtf8Lossy(text);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  tessevar::fuzz::Reader in({data, size});
  if (in.byte() & 1) {
    const auto rest = in.bytes(size);
    checkAsItStands(rest);
    return 0;
  }
  const tessevar::MixerInfo info{field(in), field(in), field(in), field(in)};
  const auto bytes = tessevar::mixerAnswer(info);
  require(bytes.size() % 4 == 0 && tessevar::parseMixerAnswer(bytes) == info, "a written answer reads back");
  require(!tessevar::parseMixerAnswer(tessevar::mixerQuery()), "the query is no answer");
  return 0;
}
