#pragma once

#include <cstdint>
#include <string>

#include "devices/family_set.h"
#include "model/can_senddb.h"
#include "platform/window_services.h"

namespace telpod {

// What a program shows while start-up searches the devices: the window its
// progress window and device list, a program without a window its list.
class DiscoveryProgress {
 public:
  virtual ~DiscoveryProgress() = default;
  // The search has come to fraction `p` of start-up.
  virtual void Progress(double p) = 0;
  // Every family has been searched; the results are judged next.
  virtual void Judging() = 0;
  // The next entry of the device list.
  virtual void AddEntry(const std::string& text) = 0;
};

// Param_ALL_Clear on every shared object in start-up's order: the
// application information object, each family's objects in the family
// table's order, the send table.
void Reset_Shared_Objects(FamilySet& families, CAN_SendDB& Tx_CANDATA);

// Searches the devices of each family whose bit is set in the driver check's
// `mask`, then lists them in the family table's order, reporting progress
// 0.15 to 0.7 on the way. False, with no entry listed, when no family found
// a device. A step that fails is skipped and the next one runs.
bool Find_Devices(int32_t mask, FamilySet& families, platform::EventPump& pump,
                  DiscoveryProgress& progress);

}  // namespace telpod
