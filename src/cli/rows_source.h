#pragma once

#include "cli/send_options.h"
#include "cli/terminal_messages.h"
#include "model/can_senddb.h"
#include "model/elm327_info.h"

namespace telpod {

// The rows and common settings telpod-send runs with. config.dat is read as
// the window reads it at start-up, but no file is changed (a window may be
// running); when it cannot be read the defaults stay, and a note names what
// the run takes instead. The rows file of --rows (a .csv or .xls export, or
// one written by hand) then replaces the rows, those it does not hold
// keeping their defaults; each field it holds that is no valid value is
// named with the default that takes its place, and unless --lenient such a
// file is refused. False, after one line that says why and with the table
// untouched, when the rows file is not taken.
bool TakeRows(ELM327_Info& device, CAN_SendDB& SendDB, const SendOptions& options,
              TerminalMessages& messages);

// Switches every row's periodic sending off, for a run that plays a log
// alone.
void SwitchPeriodicRowsOff(CAN_SendDB& SendDB);

// Names each periodic row that cannot go out (a standard-format identifier
// above 7FF, which the loop skips), and says so when nothing goes out.
void NoteRowsNotSent(const CAN_SendDB& SendDB, TerminalMessages& messages);

}  // namespace telpod
