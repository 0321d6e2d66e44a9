#include "cli/run_summary.h"

#include <cstdio>

#include "model/bus_load.h"

namespace telpod {

bool RunFailedOnTheBus(const RunFigures& figures) {
  return figures.failed_writes > 0 || figures.worst_bus_state == BusState::ErrorPassive ||
         figures.worst_bus_state == BusState::BusOff;
}

std::string SummaryLine(const RunFigures& figures) {
  char text[96];
  std::snprintf(text, sizeof text, "%lld frames written, %lld failed writes, %.3f seconds",
                static_cast<long long>(figures.frames_written),
                static_cast<long long>(figures.failed_writes), figures.seconds);
  std::string line = text;
  if (figures.achieved_bus_load) {
    line += ", achieved bus load " + PercentText(*figures.achieved_bus_load);
  }
  if (const auto state = BusStateText(figures.worst_bus_state)) line += ", " + platform::Tr(*state);
  return line;
}

}  // namespace telpod
