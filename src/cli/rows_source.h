#pragma once

#include <optional>
#include <string>

#include "cli/terminal_messages.h"
#include "model/can_senddb.h"
#include "model/elm327_info.h"

namespace telpod {

// The rows and common settings telpod-send runs with. config.dat is read as
// the window reads it at start-up, but no file is changed (a window may be
// running); when it cannot be read the defaults stay, and a note says so.
// `rows_file` (a .csv or .xls export) then replaces the rows, those it does
// not hold keeping their defaults. False, after the import's failure
// message and with the table untouched, when the rows file cannot be read.
bool TakeRows(ELM327_Info& device, CAN_SendDB& SendDB, const std::optional<std::string>& rows_file,
              TerminalMessages& messages);

// Switches every row's periodic sending off, for a run that plays a log
// alone.
void SwitchPeriodicRowsOff(CAN_SendDB& SendDB);

// True when at least one row is switched to periodic sending.
bool AnyPeriodicRow(const CAN_SendDB& SendDB);

}  // namespace telpod
