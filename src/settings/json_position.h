#pragma once

#include <cstddef>
#include <nlohmann/json.hpp>
#include <optional>
#include <string_view>

// Where in a JSON text something stands, as a line number (1 for the first
// line), so that a message can send the user to it.
namespace telpod::json_position {

using Pointer = nlohmann::ordered_json::json_pointer;

// Parses `text` into `document`; when it is not JSON (or holds a number
// beyond a double's range), the line where the parser stopped instead.
std::optional<size_t> ParseOrLine(std::string_view text, nlohmann::ordered_json& document);

// The line where the value at `where` begins (for an object's member, its
// key); 0 when the text holds no such value.
size_t LineOfValue(std::string_view text, const Pointer& where);

}  // namespace telpod::json_position
