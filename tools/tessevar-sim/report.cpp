#include "report.h"

#include <cstdio>

namespace tessevar::sim {

std::vector<std::string> describe(const DirectionSummary& s, Side from) {
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
                "  not carried while a peer or the link was down %llu, refused at the sender %llu, program's own lamps %llu",
                static_cast<unsigned long long>(s.notCarried), static_cast<unsigned long long>(s.refused),
                static_cast<unsigned long long>(s.ownMessages));
  lines.emplace_back(line);
  const LatencyFigures& l = s.latency;
  std::snprintf(line, sizeof line, "  latency ms (%zu datagrams): p50 %.3f, p90 %.3f, p99 %.3f, p99.9 %.3f, max %.3f",
                l.samples, l.p50, l.p90, l.p99, l.p999, l.max);
  lines.emplace_back(line);
  for (const Recovery& r : s.recoveries) lines.push_back("  relaying again " + describe(r) + " after " + r.what);
  return lines;
}

std::string describe(const Recovery& recovery) {
  if (!recovery.after) return "never";
  char text[32];
  std::snprintf(text, sizeof text, "%.3f s", std::chrono::duration<double>(*recovery.after).count());
  return text;
}

}  // namespace tessevar::sim
