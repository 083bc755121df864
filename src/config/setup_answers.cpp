#include "config/setup_steps.h"

#include <algorithm>
#include <limits>

#include "util/utf8.h"

namespace tessevar {

std::optional<AnswerLine> readAnswerLine(std::istream& input) {
  std::string line;
  bool endedByLineFeed = false;
  for (char c; input.get(c);) {
    if (c == '\n') {
      endedByLineFeed = true;
      break;
    }
    if (line.size() > longestAnswer) {  // one byte more than allowed: a "\r" may still go
      input.ignore(std::numeric_limits<std::streamsize>::max(), '\n');
      return AnswerLine{.text = {}, .tooLong = true};
    }
    line.push_back(c);
  }
  if (!endedByLineFeed && line.empty()) return std::nullopt;
  if (endedByLineFeed && !line.empty() && line.back() == '\r') line.pop_back();
  if (line.size() > longestAnswer) return AnswerLine{.text = {}, .tooLong = true};
  return AnswerLine{.text = decodeUtf8Lossy(line), .tooLong = false};
}

namespace {

constexpr std::string_view takeItAnyway = "; enter it again to keep it anyway";

bool onlyDigitsAndDots(const std::string& text) {
  return !text.empty() && text.find_first_not_of("0123456789.") == std::string::npos;
}

}  // namespace

std::string chooseListed(const std::string& answer, const std::vector<std::string>& listed) {
  if (answer.empty() || answer.size() > 3 || answer[0] == '0' ||
      answer.find_first_not_of("0123456789") != std::string::npos) {
    return answer;
  }
  const std::size_t number = std::stoul(answer);
  return number <= listed.size() ? listed[number - 1] : answer;
}

std::optional<std::string> unstorable(const std::string& answer, bool address) {
  if (escapeControls(answer) != answer) return "control characters cannot be kept in a setting; please enter it again";
  if (answer.find('-') == std::string::npos) return std::nullopt;
  if (address) return "Tessevar.cfg separates its values with - so a host name with - cannot be kept; please enter its IP address";
  return "a value must not contain - please enter it again";
}

std::optional<std::string> doubtAboutInterface(const std::string& answer,
                                               const std::vector<NetworkInterface>& interfaces) {
  if (interfaces.empty()) return std::nullopt;
  const bool known = std::any_of(interfaces.begin(), interfaces.end(),
                                 [&answer](const NetworkInterface& i) { return i.name == answer; });
  if (known) return std::nullopt;
  return "this computer has no interface named \"" + answer + "\"" + std::string(takeItAnyway);
}

std::optional<std::string> doubtAboutAddress(const std::string& answer, HostKind kind) {
  if (onlyDigitsAndDots(answer) && kind != HostKind::ipv4) {
    return answer + " is not an IPv4 address (four numbers from 0 to 255 with dots between)" +
           std::string(takeItAnyway);
  }
  if (kind != HostKind::unknown) return std::nullopt;
  return "\"" + answer + "\" is neither an IPv4 or IPv6 address nor a name that resolves" + std::string(takeItAnyway);
}

}  // namespace tessevar
