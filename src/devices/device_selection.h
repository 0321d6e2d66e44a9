#pragma once

#include "devices/family_set.h"
#include "devices/selected_device_info.h"

namespace telpod {

// Resolves the device list's position t_CmbBOX_device_SelectNo to a family
// (t_select_Vender: its number, 0 for none) and a device of that family,
// walking the families' counts in the family table's order, then reads the
// chosen device's information line. A position outside the list resolves
// to no family: result 0, the text box left alone. Errors are trapped here.
SelectedDeviceInfo Show_SelectedDevice_Info(FamilySet& families);

}  // namespace telpod
