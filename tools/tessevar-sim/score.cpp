#include "score.h"

#include <algorithm>

namespace tessevar::sim {
namespace {

std::string key(const Bytes& bytes) { return {bytes.begin(), bytes.end()}; }

double milliseconds(std::int64_t nanoseconds) { return static_cast<double>(nanoseconds) / 1e6; }

}  // namespace

void DirectionScore::sent(const Bytes& bytes, Clock::time_point at) {
  auto slot = slots_.try_emplace(key(bytes)).first;
  slot->second.waiting.insert(sent_.size());
  sent_.push_back({at, std::nullopt, &slot->first});
}

// The waiting copy sent first after the latest arrival, passing over copies
// sent while the receiver was away (they never come); else the first after
// the latest arrival anyway; else the latest one sent before it (a late arrival).
std::optional<std::uint64_t> DirectionScore::claim(Slot& slot) {
  if (slot.waiting.empty()) return std::nullopt;
  const auto after = highest_ ? slot.waiting.upper_bound(*highest_) : slot.waiting.begin();
  auto it = after;
  while (it != slot.waiting.end() && excused(sent_[*it].at)) ++it;
  if (it == slot.waiting.end()) it = after != slot.waiting.end() ? after : std::prev(after);
  const std::uint64_t sequence = *it;
  slot.waiting.erase(it);
  ++slot.arrived;
  return sequence;
}

DirectionScore::Arrival DirectionScore::received(const Bytes& bytes, Clock::time_point at) {
  auto found = slots_.find(key(bytes));
  if (found != slots_.end()) {
    if (std::optional<std::uint64_t> sequence = claim(found->second)) {
      Sent& entry = sent_[*sequence];
      entry.arrived = at;
      latencies_.push_back(std::chrono::duration_cast<std::chrono::nanoseconds>(at - entry.at).count());
      if (highest_ && *sequence < *highest_) {
        // The network may hold what was sent while the link was down (waiting
        // for the address of the other end) and let newer datagrams pass.
        if (excused(entry.at)) {
          ++late_;
          return Arrival::lateAfterOutage;
        }
        ++reordered_;
        return Arrival::reordered;
      }
      highest_ = sequence;
      return Arrival::inOrder;
    }
  }
  if (ownMessage_ && ownMessage_(bytes)) {
    ++own_;
    return Arrival::ownMessage;
  }
  if (found != slots_.end() && found->second.arrived > 0) {
    ++duplicated_;
    return Arrival::duplicate;
  }
  ++unexpected_;
  return Arrival::unexpected;
}

void DirectionScore::excuse(Clock::time_point from, Clock::time_point to) { excused_.emplace_back(from, to); }

void DirectionScore::markReturn(std::string what, Clock::time_point at) { returns_.emplace_back(std::move(what), at); }

bool DirectionScore::excused(Clock::time_point at) const {
  return std::any_of(excused_.begin(), excused_.end(),
                     [at](const auto& window) { return window.first <= at && at <= window.second; });
}

std::optional<Clock::duration> DirectionScore::recoveryAfter(Clock::time_point at) const {
  auto first = std::lower_bound(sent_.begin(), sent_.end(), at,
                                [](const Sent& entry, Clock::time_point t) { return entry.at < t; });
  std::optional<Clock::time_point> earliest;
  for (auto it = first; it != sent_.end(); ++it) {
    if (it->arrived && (!earliest || *it->arrived < *earliest)) earliest = it->arrived;
  }
  if (!earliest) return std::nullopt;
  return *earliest - at;
}

DirectionSummary DirectionScore::summary() const {
  DirectionSummary s;
  s.sent = sent_.size();
  Clock::duration slowest{};
  bool inLossRun = false;
  bool inSlowRun = false;
  for (const Sent& entry : sent_) {
    const bool lost = !entry.arrived && !excused(entry.at);
    const Clock::duration took = entry.arrived ? *entry.arrived - entry.at : Clock::duration{};
    if (entry.arrived) {
      ++s.received;
      if (!s.slowestSentAt || took > slowest) {
        slowest = took;
        s.slowestSentAt = entry.at;
        s.slowest.assign(entry.bytes->begin(), entry.bytes->end());
      }
      if (took > slow) {
        if (!inSlowRun) s.slowRuns.push_back({0, entry.at, entry.at, {}});
        SlowRun& run = s.slowRuns.back();
        ++run.count;
        run.to = entry.at;
        run.longest = std::max(run.longest, took);
      }
      inSlowRun = took > slow;
    } else if (!lost) {
      ++s.notCarried;
    } else {
      ++s.lost;
      if (!inLossRun) s.lossRuns.push_back({0, entry.at, entry.at, Bytes(entry.bytes->begin(), entry.bytes->end())});
      ++s.lossRuns.back().count;
      s.lossRuns.back().to = entry.at;
    }
    inLossRun = lost;
  }
  s.duplicated = duplicated_;
  s.reordered = reordered_;
  s.lateAfterOutage = late_;
  s.ownMessages = own_;
  s.unexpected = unexpected_;
  s.latency = latencyFigures(latencies_);
  for (const auto& [what, at] : returns_) s.recoveries.push_back({what, recoveryAfter(at)});
  return s;
}

bool isOwnLamp(const Bytes& bytes) {
  return bytes.size() == 3 && bytes[0] == 0x90 && (bytes[1] == 0x59 || bytes[1] == 0x5A) &&
         (bytes[2] == 0x00 || bytes[2] == 0x7F);
}

LatencyFigures latencyFigures(std::vector<std::int64_t> nanoseconds) {
  LatencyFigures f;
  f.samples = nanoseconds.size();
  if (nanoseconds.empty()) return f;
  std::sort(nanoseconds.begin(), nanoseconds.end());
  auto at = [&](double q) {
    const auto index = static_cast<std::size_t>(q * static_cast<double>(nanoseconds.size() - 1));
    return milliseconds(nanoseconds[index]);
  };
  f.p50 = at(0.50);
  f.p90 = at(0.90);
  f.p99 = at(0.99);
  f.p999 = at(0.999);
  f.max = milliseconds(nanoseconds.back());
  return f;
}

}  // namespace tessevar::sim
