#pragma once

#include "abi/canlib_abi.h"

namespace cansim {

// What canGetErrorText says about a status, in CANlib's words.
const char* ErrorText(canStatus status);

}  // namespace cansim
