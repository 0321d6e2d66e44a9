#pragma once

#include <cstdint>
#include <optional>
#include <span>

#include "model/row_rule.h"

namespace telpod {

// The check byte of `bytes`: their XOR, their sum modulo 256, or a CRC-8
// (SAE J1850: polynomial 0x1D; AUTOSAR's 8H2F: 0x2F; both start at 0xFF,
// end XORed with 0xFF, unreflected). A data ID enters a CRC first, low byte
// then high byte, as AUTOSAR's end-to-end profile 1 does; the XOR and the
// sum take none.
uint8_t Checksum(ChecksumAlgorithm algorithm, std::optional<uint16_t> data_id,
                 std::span<const uint8_t> bytes);

bool IsCrc(ChecksumAlgorithm algorithm);

}  // namespace telpod
