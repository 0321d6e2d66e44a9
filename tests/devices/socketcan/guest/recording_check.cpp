#include "guest/recording_check.h"

#include <algorithm>
#include <regex>

#include "model/row_fields.h"

namespace telpod::guest {
namespace {

struct RecordedFrame {
  double time_ms;
  bool extended;
  uint32_t id;
  std::vector<uint8_t> data;
};

// nullopt for a line that is not a classic data frame of candump -L: no
// remote frame, no CAN FD, no more than eight bytes.
std::optional<RecordedFrame> ParseCandumpLine(const std::string& line) {
  static const std::regex kFrame(
      R"(\((\d+\.\d+)\) \S+ ([0-9A-Fa-f]{3}|[0-9A-Fa-f]{8})#((?:[0-9A-Fa-f]{2}){0,8})\s*)");
  std::smatch m;
  if (!std::regex_match(line, m, kFrame)) return std::nullopt;
  RecordedFrame f{std::stod(m[1]) * 1000.0, m[2].length() == 8, *ParseHex(m[2].str()), {}};
  const std::string data = m[3].str();
  for (size_t n = 0; n < data.size(); n += 2) {
    f.data.push_back(static_cast<uint8_t>(*ParseHex(data.substr(n, 2))));
  }
  return f;
}

std::string Describe(const GuestRow& r) {
  return "row " + std::to_string(r.row) + (r.extended ? " ext " : " std ") + FormatHex(r.id);
}

void CheckTimes(const GuestRow& r, const std::vector<double>& times, double run_ms,
                std::optional<double> gap_tolerance_ms, std::ostream& report,
                std::vector<std::string>& faults) {
  double min_gap = times.size() > 1 ? times[1] - times[0] : 0;
  for (size_t n = 2; n < times.size(); ++n) min_gap = std::min(min_gap, times[n] - times[n - 1]);
  report << Describe(r) << ": " << times.size() << " frames";
  if (r.period_ms > 0) report << ", period " << r.period_ms << " ms, shortest gap " << min_gap;
  report << "\n";
  const auto fault = [&](const std::string& what) { faults.push_back(Describe(r) + ": " + what); };
  if (!r.reaches_bus) {
    if (!times.empty()) fault("reached the bus");
  } else if (r.period_ms <= 0) {
    if (times.size() != r.one_shot_at.size()) fault("one-shot count");
  } else {
    if (gap_tolerance_ms && times.size() > 1 && min_gap < r.period_ms - *gap_tolerance_ms) {
      fault("gap below the period");
    }
    // The first frame goes out at once, then at most one per period. The
    // accumulator drops the excess over the period, so a busy guest sends
    // somewhat fewer; half of them is plenty.
    const double count = static_cast<double>(times.size());
    if (count > run_ms / r.period_ms + 1.5) fault("too many frames");
    if (count < 0.5 * run_ms / r.period_ms) fault("too few frames");
  }
}

}  // namespace

const std::vector<GuestRow>& GuestRows() {
  static const std::vector<GuestRow> rows{
      {0, 0, 0x123, 8, {0x11, 0x22, 0x33, 0x44, 0x55, 0x66, 0x77, 0x88}, 100, {}, true},
      {1, 1, 0x1ABCDEF0, 3, {0xA1, 0xA2, 0xA3, 0xA4, 0xA5, 0xA6, 0xA7, 0xA8}, 250, {}, true},
      {2, 0, 0x7FF, 2, {0xDE, 0xAD, 0xBE, 0xEF, 0, 0, 0, 0}, 0, {1000, 2000}, true},
      {3, 1, 0x00000001, 8, {1, 2, 3, 4, 5, 6, 7, 8}, 0, {1500}, true},
      // No standard frame can carry 0x800: neither the periodic row nor the
      // one-shot request may put anything (least of all 0x000) on the bus.
      {4, 0, 0x800, 8, {0x44, 0x44, 0x44, 0x44, 0x44, 0x44, 0x44, 0x44}, 100, {}, false},
      {5, 0, 0x800, 1, {0x55, 0, 0, 0, 0, 0, 0, 0}, 0, {1000}, false},
      // Nine bytes: the kernel refuses the frame, the loop goes on.
      {6, 0, 0x456, 9, {0x66, 0x66, 0x66, 0x66, 0x66, 0x66, 0x66, 0x66}, 200, {}, false},
      {7, 1, 0x18DAF110, 1, {0x3E, 0, 0, 0, 0, 0, 0, 0}, 150, {}, true},
  };
  return rows;
}

void LoadGuestRows(CAN_SendDB& SendDB) {
  for (const GuestRow& r : GuestRows()) {
    SendDB.set_CAN_Send29(r.row, r.extended);
    SendDB.set_CAN_ID(r.row, r.id);
    SendDB.set_CAN_DLC(r.row, r.dlc);
    for (int n = 1; n <= 8; ++n) SendDB.set_CAN_Data(n, r.row, r.data[static_cast<size_t>(n - 1)]);
    SendDB.set_CAN_SendCycleOperation(r.row, r.period_ms > 0 ? 1 : 0);
    if (r.period_ms > 0) SendDB.set_CAN_SendCycleTime(r.row, r.period_ms);
  }
  SendDB.Timer_Clear();
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
    const auto row = std::find_if(rows.begin(), rows.end(), [&](const GuestRow& r) {
      return f && r.reaches_bus && (r.extended == 1) == f->extended &&
             static_cast<uint32_t>(r.id) == f->id;
    });
    if (!f || row == rows.end()) {
      faults.push_back("not a frame of a row: " + line);
    } else if (!std::equal(f->data.begin(), f->data.end(), row->data.begin(),
                           row->data.begin() + std::min<uint8_t>(row->dlc, 8))) {
      faults.push_back(Describe(*row) + ": wrong length or data in " + line);
    } else {
      times[static_cast<size_t>(row - rows.begin())].push_back(f->time_ms);
    }
  }
  for (size_t n = 0; n < rows.size(); ++n) {
    CheckTimes(rows[n], times[n], run_ms, gap_tolerance_ms, report, faults);
  }
  return faults;
}

}  // namespace telpod::guest
