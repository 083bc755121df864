// Arbitrary bytes as the content of Tessevar.cfg: decoding, splitting at
// "-" and reading the three values.
//
// Checks: the decoded text is well-formed UTF-8 and equals the input when
// the input already was; the pieces join back into the text; values are
// read exactly when there are three pieces, hold no "-", and written back
// they give the start of the text (nothing in them that is not in it) and
// read back the same.

#include <algorithm>
#include <cstdint>
#include <string>

#include "config/configuration.h"
#include "fuzz/fuzz_support.h"
#include "util/text_pieces.h"
#include "util/utf8.h"

namespace {

using tessevar::fuzz::require;

// A strict check written apart from the decoder: every sequence complete,
// shortest form, no surrogates, nothing above U+10FFFF.
bool isWellFormedUtf8(std::string_view text) {
  static constexpr std::uint32_t shortest[] = {0, 0, 0x80, 0x800, 0x10000};
  for (std::size_t i = 0; i < text.size();) {
    const auto lead = static_cast<unsigned char>(text[i]);
    std::size_t length = 1;
    std::uint32_t point = lead;
    if (lead >= 0x80) {
      if ((lead & 0xE0) == 0xC0) {
        length = 2;
      } else if ((lead & 0xF0) == 0xE0) {
        length = 3;
      } else if ((lead & 0xF8) == 0xF0) {
        length = 4;
      } else {
        return false;
      }
      point = lead & (0x7F >> length);
      if (i + length > text.size()) return false;
      for (std::size_t k = 1; k < length; ++k) {
        const auto next = static_cast<unsigned char>(text[i + k]);
        if ((next & 0xC0) != 0x80) return false;
        point = (point << 6) | (next & 0x3F);
      }
      if (point < shortest[length] || point > 0x10FFFF || (point >= 0xD800 && point <= 0xDFFF)) {
        return false;
      }
    }
    i += length;
  }
  return true;
}

void checkDecoding(std::string_view bytes, const std::string& text) {
  require(isWellFormedUtf8(text), "decoded text is well-formed UTF-8");
  if (isWellFormedUtf8(bytes)) {
    require(text == bytes, "well-formed input decodes unchanged");
  } else {
    require(text.find("\xEF\xBF\xBD") != std::string::npos, "malformed input shows U+FFFD");
  }
  require(tessevar::decodeUtf8Lossy(text) == text, "decoding is idempotent");
}

void checkPieces(std::string_view text) {
  const auto pieces = tessevar::splitAt(text, '-');
  std::string joined;
  for (std::size_t i = 0; i < pieces.size(); ++i) {
    require(pieces[i].find('-') == std::string_view::npos, "no piece holds the separator");
    require(tessevar::fuzz::isViewInto(pieces[i], text), "pieces lie inside the text");
    if (i > 0) joined.push_back('-');
    joined.append(pieces[i]);
  }
  require(joined == text, "pieces join back into the text");
}

void checkValues(std::string_view text) {
  const auto values = tessevar::parseConfiguration(text);
  const auto hyphens = std::count(text.begin(), text.end(), '-');
  require(values.has_value() == (hyphens >= 2), "values read exactly when three pieces exist");
  if (!values) return;
  for (const std::string* value : {&values->networkPortName, &values->mixerAddress, &values->surfaceAddress}) {
    require(value->find('-') == std::string::npos, "no value holds a '-'");
  }
  const std::string written = tessevar::formatConfiguration(*values);
  // The text may lack the third "-": the third value then runs to its end.
  const std::string_view withoutLast(written.data(), written.size() - 1);
  require(std::string_view(text).starts_with(hyphens >= 3 ? std::string_view(written) : withoutLast),
          "written values are the start of the text");
  const auto reread = tessevar::parseConfiguration(written);
  require(reread && reread->networkPortName == values->networkPortName &&
              reread->mixerAddress == values->mixerAddress &&
              reread->surfaceAddress == values->surfaceAddress,
          "written values read back the same");
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view bytes = tessevar::fuzz::asText(data, size);
  const std::string text = tessevar::decodeUtf8Lossy(bytes);
  checkDecoding(bytes, text);
  checkPieces(text);
  checkValues(text);
  return 0;
}
