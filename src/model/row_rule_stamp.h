#pragma once

#include <cstdint>

#include "model/can_frame.h"
#include "model/row_rule.h"

namespace telpod {

// Bit n - 1 for Dn; 0 outside D1..D8.
uint8_t ByteBit(int byte);
// The bytes a frame of length `dlc` carries: D1..Ddlc, at most all eight.
uint8_t LengthMask(int dlc);

// The bytes a checksum covers in a frame of length `dlc`, as a mask.
uint8_t CoveredBytes(const ChecksumRule& checksum, int dlc);

// The counter's value after `value`: the next step, or the start once that
// would pass the wrap value.
int NextCounterValue(const CounterRule& counter, int value);

// Writes the counter's `counter_value`, then the checksum over the bytes as
// they now are, into the frame. A part whose byte lies beyond the frame's
// length is left out, so a rule never touches bytes the frame does not carry.
void StampFrame(const RowRule& rule, int counter_value, CanFrame& frame);

}  // namespace telpod
