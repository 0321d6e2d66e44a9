#pragma once

#include <cstdint>
#include <string>

#include "model/can_senddb.h"
#include "model/elm327_info.h"
#include "platform/window_services.h"

namespace telpod::Setting_import_export {

// Row line n (row index i = n - 1), fields lined up under the header:
// "  1 , 0 ,      7FF , 8 , 00 , 11 , 22 , 33 , 44 , 55 , 66 , 77 ,    100 , 0".
std::string CsvRowLine(const CAN_SendDB& SendDB, int16_t i);

// The twelve lines of an exported file as UTF-8: the title line, the
// marker, an empty line, the header and the eight rows, CR LF between them.
std::string CsvText(const ELM327_Info& device, const CAN_SendDB& SendDB);

// Writes the rows to folder + file_name in CP932 (the program folder when
// `folder` is gone), replacing an existing file atomically so a failure
// leaves it whole, then tells the user how it went.
void Export_CSV(ELM327_Info& device, const std::string& file_name, const std::string& folder,
                CAN_SendDB& SendDB, platform::MessageBoxes& messages);

}  // namespace telpod::Setting_import_export
