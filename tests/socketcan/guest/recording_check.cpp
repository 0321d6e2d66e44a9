#include "guest/recording_check.h"

#include <algorithm>
#include <cstdio>
#include <sstream>

#include "guest/guest_rows.h"

namespace telpod::guest {

namespace {

bool ParseHex(const std::string& text, uint32_t& value) {
  if (text.empty() || text.size() > 8) return false;
  value = 0;
  for (char c : text) {
    const int digit = c >= '0' && c <= '9' ? c - '0' : c >= 'A' && c <= 'F' ? c - 'A' + 10 : -1;
    if (digit < 0) return false;
    value = value * 16 + static_cast<uint32_t>(digit);
  }
  return true;
}

std::string Describe(const GuestRow& r) {
  char text[64];
  std::snprintf(text, sizeof text, "row %d %s %X", r.row, r.extended ? "ext" : "std",
                static_cast<unsigned>(r.id));
  return text;
}

void CheckFrame(const GuestRow& r, const RecordedFrame& f, const std::string& line,
                std::vector<std::string>& faults) {
  const size_t length = std::min<size_t>(r.dlc, 8);
  if (f.data.size() != length) {
    faults.push_back(Describe(r) + ": length " + std::to_string(f.data.size()) + " in " + line);
  } else if (!std::equal(f.data.begin(), f.data.end(), r.data.begin())) {
    faults.push_back(Describe(r) + ": wrong data in " + line);
  }
}

void CheckTimes(const GuestRow& r, const std::vector<double>& times, double run_ms,
                std::optional<double> gap_tolerance_ms, std::ostream& report,
                std::vector<std::string>& faults) {
  double min_gap = 0;
  for (size_t n = 1; n < times.size(); ++n) {
    const double gap = times[n] - times[n - 1];
    if (n == 1 || gap < min_gap) min_gap = gap;
  }
  report << Describe(r) << ": " << times.size() << " frames";
  if (r.period_ms > 0) report << ", period " << r.period_ms << " ms, shortest gap " << min_gap;
  report << "\n";
  if (!r.reaches_bus) {
    if (!times.empty()) faults.push_back(Describe(r) + ": reached the bus");
    return;
  }
  if (r.period_ms <= 0) {
    if (times.size() != r.one_shot_at.size()) faults.push_back(Describe(r) + ": one-shot count");
    return;
  }
  if (gap_tolerance_ms && times.size() > 1 && min_gap < r.period_ms - *gap_tolerance_ms) {
    faults.push_back(Describe(r) + ": gap below the period");
  }
  // The first frame goes out at once, then at most one per period. The
  // accumulator drops the excess over the period, so a busy guest sends
  // somewhat fewer; half of them is plenty.
  const double count = static_cast<double>(times.size());
  if (count > run_ms / r.period_ms + 1.5) {
    faults.push_back(Describe(r) + ": too many frames");
  }
  if (count < 0.5 * run_ms / r.period_ms) faults.push_back(Describe(r) + ": too few frames");
}

}  // namespace

std::optional<RecordedFrame> ParseCandumpLine(const std::string& line) {
  std::istringstream words(line);
  std::string stamp, interface, frame;
  if (!(words >> stamp >> interface >> frame)) return std::nullopt;
  if (stamp.size() < 3 || stamp.front() != '(' || stamp.back() != ')') return std::nullopt;
  RecordedFrame f{};
  try {
    f.time_ms = std::stod(stamp.substr(1, stamp.size() - 2)) * 1000.0;
  } catch (...) {
    return std::nullopt;
  }
  const size_t hash = frame.find('#');
  if (hash == std::string::npos) return std::nullopt;
  const std::string id = frame.substr(0, hash);
  const std::string data = frame.substr(hash + 1);
  if ((id.size() != 3 && id.size() != 8) || !ParseHex(id, f.id)) return std::nullopt;
  f.extended = id.size() == 8;
  if (data.size() % 2 != 0 || data.size() > 16) return std::nullopt;  // also refuses R and ##
  for (size_t n = 0; n < data.size(); n += 2) {
    uint32_t byte = 0;
    if (!ParseHex(data.substr(n, 2), byte)) return std::nullopt;
    f.data.push_back(static_cast<uint8_t>(byte));
  }
  return f;
}

std::vector<std::string> CheckRecording(const std::vector<std::string>& lines, double run_ms,
                                        std::optional<double> gap_tolerance_ms,
                                        std::ostream& report) {
  std::vector<std::string> faults;
  const auto& rows = GuestRows();
  std::vector<std::vector<double>> times(rows.size());
  for (const std::string& line : lines) {
    if (line.empty()) continue;
    const auto f = ParseCandumpLine(line);
    if (!f) {
      faults.push_back("not a data frame: " + line);
      continue;
    }
    const auto row = std::find_if(rows.begin(), rows.end(), [&](const GuestRow& r) {
      return r.reaches_bus && (r.extended == 1) == f->extended &&
             static_cast<uint32_t>(r.id) == f->id;
    });
    if (row == rows.end()) {
      faults.push_back("frame of no row: " + line);
      continue;
    }
    CheckFrame(*row, *f, line, faults);
    times[static_cast<size_t>(row - rows.begin())].push_back(f->time_ms);
  }
  for (size_t n = 0; n < rows.size(); ++n) {
    CheckTimes(rows[n], times[n], run_ms, gap_tolerance_ms, report, faults);
  }
  return faults;
}

}  // namespace telpod::guest
