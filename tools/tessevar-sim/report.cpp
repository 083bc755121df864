#include "report.h"

#include <cstdio>

namespace tessevar::sim {

namespace {

constexpr std::size_t runsShown = 10;

double since(Clock::time_point origin, Clock::time_point at) {
  return std::chrono::duration<double>(at - origin).count();
}

std::string hex(const Bytes& bytes) {
  std::string text;
  char byte[4];
  for (std::size_t i = 0; i < bytes.size() && i < 8; ++i) {
    std::snprintf(byte, sizeof byte, i == 0 ? "%02X" : " %02X", bytes[i]);
    text += byte;
  }
  return bytes.size() > 8 ? text + " ..." : text;
}

}  // namespace

std::vector<std::string> describe(const DirectionSummary& s, Side from, Clock::time_point origin) {
  char line[512];
  std::vector<std::string> lines;
  std::snprintf(line, sizeof line,
                "%s -> %s: sent %llu, received %llu, lost %llu, duplicated %llu, reordered %llu, unexpected %llu",
                sideName(from), sideName(otherSide(from)), static_cast<unsigned long long>(s.sent),
                static_cast<unsigned long long>(s.received), static_cast<unsigned long long>(s.lost),
                static_cast<unsigned long long>(s.duplicated), static_cast<unsigned long long>(s.reordered),
                static_cast<unsigned long long>(s.unexpected));
  lines.emplace_back(line);
  std::snprintf(line, sizeof line,
                "  while a peer or the link was down: not carried %llu, overtaken %llu; refused at the sender %llu; "
                "program's own lamps %llu",
                static_cast<unsigned long long>(s.notCarried), static_cast<unsigned long long>(s.lateAfterOutage),
                static_cast<unsigned long long>(s.refused), static_cast<unsigned long long>(s.ownMessages));
  lines.emplace_back(line);
  const LatencyFigures& l = s.latency;
  std::snprintf(line, sizeof line, "  latency ms (%zu datagrams): p50 %.3f, p90 %.3f, p99 %.3f, p99.9 %.3f, max %.3f",
                l.samples, l.p50, l.p90, l.p99, l.p999, l.max);
  lines.emplace_back(line);
  if (s.slowestSentAt) {
    std::snprintf(line, sizeof line, "  the slowest was sent at %.3f s: %s", since(origin, *s.slowestSentAt),
                  hex(s.slowest).c_str());
    lines.emplace_back(line);
  }
  for (const Recovery& r : s.recoveries) lines.push_back("  relaying again " + describe(r) + " after " + r.what);
  for (std::size_t i = 0; i < s.lossRuns.size() && i < runsShown; ++i) {
    const LossRun& run = s.lossRuns[i];
    std::snprintf(line, sizeof line, "  lost %llu sent from %.3f s to %.3f s, the first: %s",
                  static_cast<unsigned long long>(run.count), since(origin, run.from), since(origin, run.to),
                  hex(run.first).c_str());
    lines.emplace_back(line);
  }
  for (std::size_t i = 0; i < s.slowRuns.size() && i < runsShown; ++i) {
    const SlowRun& run = s.slowRuns[i];
    std::snprintf(line, sizeof line, "  slow: %llu sent from %.3f s to %.3f s took up to %.3f s",
                  static_cast<unsigned long long>(run.count), since(origin, run.from), since(origin, run.to),
                  std::chrono::duration<double>(run.longest).count());
    lines.emplace_back(line);
  }
  if (s.slowRuns.size() > runsShown) {
    lines.push_back("  and " + std::to_string(s.slowRuns.size() - runsShown) + " more slow runs");
  }
  if (s.lossRuns.size() > runsShown) {
    lines.push_back("  and " + std::to_string(s.lossRuns.size() - runsShown) + " more runs of losses");
  }
  return lines;
}

std::string describe(const Recovery& recovery) {
  if (!recovery.after) return "never";
  char text[32];
  std::snprintf(text, sizeof text, "%.3f s", std::chrono::duration<double>(*recovery.after).count());
  return text;
}

}  // namespace tessevar::sim
