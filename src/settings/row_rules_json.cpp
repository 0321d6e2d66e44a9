#include "settings/row_rules_json.h"

#include <array>
#include <climits>
#include <initializer_list>
#include <nlohmann/json.hpp>

#include "model/row_rule_check.h"
#include "settings/json_position.h"

namespace telpod::RowRulesJson {
namespace {

using Json = nlohmann::ordered_json;
using Pointer = json_position::Pointer;
using platform::SourceText;

constexpr int kFormat = 1;

namespace reason {
constexpr SourceText kNotJson = TELPOD_TEXT("RowRulesFile", "JSON の書き方が正しくありません。");
constexpr SourceText kWrongType = TELPOD_TEXT("RowRulesFile", "「%1」の値の種類が違います。");
constexpr SourceText kMissing = TELPOD_TEXT("RowRulesFile", "「%1」が書かれていません。");
constexpr SourceText kUnknownKey = TELPOD_TEXT("RowRulesFile", "「%1」という項目はありません。");
constexpr SourceText kOutOfRange = TELPOD_TEXT("RowRulesFile", "「%1」の値が範囲の外です。");
constexpr SourceText kRowTwice = TELPOD_TEXT("RowRulesFile", "行 %1 の規則が二つあります。");
constexpr SourceText kByteName =
    TELPOD_TEXT("RowRulesFile", "データバイトは「D1」〜「D8」で書きます。");
constexpr SourceText kAlgorithm =
    TELPOD_TEXT("RowRulesFile",
                "「%1」というアルゴリズムはありません（XOR、SUM、CRC-8-SAE-J1850、CRC-8H2F）。");
constexpr SourceText kFormat =
    TELPOD_TEXT("RowRulesFile", "形式 %1 は、このプログラムでは読めません。");
}  // namespace reason

// The names the file gives the algorithms, in the enum's order.
constexpr std::array<const char*, 4> kAlgorithmNames = {"XOR", "SUM", "CRC-8-SAE-J1850",
                                                        "CRC-8H2F"};

// Thrown inside the reader only, to stop at the first refusal.
struct Refused {
  Pointer where;
  SourceText reason;
  std::string detail;
};

[[noreturn]] void Refuse(const Pointer& where, SourceText reason, std::string detail = "") {
  throw Refused{where, reason, std::move(detail)};
}

// What a message calls the value at `where`: its key, or for an element of
// a list the list's key ("rows" for /rows/2).
std::string Name(Pointer where) {
  while (!where.empty() && where.back().find_first_not_of("0123456789") == std::string::npos) {
    where.pop_back();
  }
  return where.empty() ? std::string() : where.back();
}

// The object at `where`, holding no keys but `keys`.
const Json& Object(const Json& value, const Pointer& where,
                   std::initializer_list<std::string> keys) {
  if (!value.is_object()) Refuse(where, reason::kWrongType, Name(where));
  for (const auto& [key, member] : value.items()) {
    if (std::find(keys.begin(), keys.end(), key) == keys.end()) {
      Refuse(where / key, reason::kUnknownKey, key);
    }
  }
  return value;
}

const Json* Member(const Json& object, const Pointer& where, const std::string& key,
                   bool required) {
  const auto found = object.find(key);
  if (found != object.end()) return &*found;
  if (required) Refuse(where, reason::kMissing, key);
  return nullptr;
}

int Integer(const Json& value, const Pointer& where, int low, int high) {
  const std::string key = Name(where);
  if (!value.is_number_integer()) Refuse(where, reason::kWrongType, key);
  const bool fits = value.is_number_unsigned()
                        ? value.get<uint64_t>() <= uint64_t(high) && value.get<int64_t>() >= low
                        : value.get<int64_t>() >= low && value.get<int64_t>() <= high;
  if (!fits) Refuse(where, reason::kOutOfRange, key);
  return value.get<int>();
}

// A member that is a whole number; `fallback` when it may be left out.
int IntegerMember(const Json& object, const Pointer& where, const std::string& key,
                  std::optional<int> fallback = std::nullopt) {
  const Json* value = Member(object, where, key, !fallback);
  return value ? Integer(*value, where / key, INT_MIN, INT_MAX) : *fallback;
}

// "D1".."D8" -> 1..8
int ByteNumber(const Json& value, const Pointer& where) {
  if (value.is_string()) {
    const std::string& name = value.get_ref<const std::string&>();
    if (name.size() == 2 && name[0] == 'D' && name[1] >= '1' && name[1] <= '8') {
      return name[1] - '0';
    }
  }
  Refuse(where, reason::kByteName);
}

CounterRule ReadCounter(const Json& value, const Pointer& where) {
  const Json& o = Object(value, where, {"byte", "first_bit", "bits", "start", "step", "wrap"});
  CounterRule counter;
  counter.byte = ByteNumber(*Member(o, where, "byte", true), where / "byte");
  counter.first_bit = IntegerMember(o, where, "first_bit");
  counter.bits = IntegerMember(o, where, "bits");
  counter.start = IntegerMember(o, where, "start", 0);
  counter.step = IntegerMember(o, where, "step", 1);
  counter.wrap = IntegerMember(o, where, "wrap", counter.MaxValue());
  return counter;
}

ChecksumAlgorithm Algorithm(const Json& value, const Pointer& where) {
  if (!value.is_string()) Refuse(where, reason::kWrongType, "algorithm");
  const std::string& name = value.get_ref<const std::string&>();
  for (size_t k = 0; k < kAlgorithmNames.size(); ++k) {
    if (name == kAlgorithmNames[k]) return static_cast<ChecksumAlgorithm>(k);
  }
  Refuse(where, reason::kAlgorithm, name);
}

uint8_t Covered(const Json& value, const Pointer& where) {
  if (!value.is_array()) Refuse(where, reason::kWrongType, "covers");
  uint8_t mask = 0;
  for (size_t k = 0; k < value.size(); ++k) {
    mask |= static_cast<uint8_t>(1u << (ByteNumber(value[k], where / k) - 1));
  }
  return mask;
}

ChecksumRule ReadChecksum(const Json& value, const Pointer& where) {
  const Json& o = Object(value, where, {"byte", "algorithm", "covers", "data_id"});
  ChecksumRule checksum;
  checksum.byte = ByteNumber(*Member(o, where, "byte", true), where / "byte");
  checksum.algorithm = Algorithm(*Member(o, where, "algorithm", true), where / "algorithm");
  if (const Json* covers = Member(o, where, "covers", false)) {
    checksum.covered = Covered(*covers, where / "covers");
  }
  if (const Json* id = Member(o, where, "data_id", false)) {
    checksum.data_id = static_cast<uint16_t>(Integer(*id, where / "data_id", 0, 0xFFFF));
  }
  return checksum;
}

// Where a fault of the rule at `where` shows: in its counter, its checksum,
// or (both together) the row.
Pointer FaultPlace(RuleFault fault, const RowRule& rule, const Pointer& where) {
  switch (fault) {
    case RuleFault::Overlap:
      return where;
    case RuleFault::CoversItself:
    case RuleFault::NothingCovered:
    case RuleFault::DataIdWithoutCrc:
      return where / "checksum";
    default:
      return rule.counter ? where / "counter" : where / "checksum";
  }
}

// One entry of "rows": the row it is for (0..7) and its rule.
std::pair<int16_t, RowRule> ReadRow(const Json& value, const Pointer& where) {
  const Json& o = Object(value, where, {"row", "counter", "checksum"});
  const Json* row = Member(o, where, "row", true);
  const auto i = static_cast<int16_t>(Integer(*row, where / "row", 1, CAN_SendDB::kRows) - 1);
  RowRule rule;
  if (const Json* c = Member(o, where, "counter", false))
    rule.counter = ReadCounter(*c, where / "counter");
  if (const Json* c = Member(o, where, "checksum", false)) {
    rule.checksum = ReadChecksum(*c, where / "checksum");
  }
  if (const auto fault = FirstFault(rule))
    Refuse(FaultPlace(*fault, rule, where), FaultText(*fault));
  return {i, rule};
}

RowRules ReadDocument(const Json& document) {
  const Pointer top;
  if (!document.is_object()) Refuse(top, reason::kMissing, "format");
  const Json& o = Object(document, top, {"format", "rows"});
  const Json& format = *Member(o, top, "format", true);
  if (!format.is_number_integer() || format.get<int64_t>() != kFormat) {
    Refuse(top / "format", reason::kFormat, format.dump());
  }
  const Json& rows = *Member(o, top, "rows", true);
  if (!rows.is_array()) Refuse(top / "rows", reason::kWrongType, "rows");
  RowRules rules;
  std::array<bool, CAN_SendDB::kRows> seen{};
  for (size_t k = 0; k < rows.size(); ++k) {
    const auto [i, rule] = ReadRow(rows[k], top / "rows" / k);
    if (std::exchange(seen[static_cast<size_t>(i)], true)) {
      Refuse(top / "rows" / k / "row", reason::kRowTwice, std::to_string(i + 1));
    }
    rules.Set(i, rule);
  }
  return rules;
}

std::string ByteName(int byte) {
  return "D" + std::to_string(byte);
}

Json CounterJson(const CounterRule& c) {
  return {{"byte", ByteName(c.byte)}, {"first_bit", c.first_bit}, {"bits", c.bits},
          {"start", c.start},         {"step", c.step},           {"wrap", c.wrap}};
}

Json ChecksumJson(const ChecksumRule& c) {
  Json json{{"byte", ByteName(c.byte)},
            {"algorithm", kAlgorithmNames[static_cast<size_t>(c.algorithm)]}};
  if (c.covered) {
    Json covers = Json::array();
    for (int n = 1; n <= CAN_SendDB::kDataBytes; ++n) {
      if (*c.covered & (1u << (n - 1))) covers.push_back(ByteName(n));
    }
    json["covers"] = covers;
  }
  if (c.data_id) json["data_id"] = *c.data_id;
  return json;
}

}  // namespace

std::optional<Refusal> Read(std::string_view text, RowRules& rules) {
  Json document;
  if (const auto line = json_position::ParseOrLine(text, document)) {
    return Refusal{*line, reason::kNotJson, ""};
  }
  try {
    rules = ReadDocument(document);
    return std::nullopt;
  } catch (const Refused& r) {
    return Refusal{std::max<size_t>(json_position::LineOfValue(text, r.where), 1), r.reason,
                   r.detail};
  }
}

std::string Text(const RowRules& rules) {
  Json rows = Json::array();
  for (int16_t i = 0; i < CAN_SendDB::kRows; ++i) {
    const RowRule& rule = rules.Of(i);
    if (rule.empty()) continue;
    Json row{{"row", i + 1}};
    if (rule.counter) row["counter"] = CounterJson(*rule.counter);
    if (rule.checksum) row["checksum"] = ChecksumJson(*rule.checksum);
    rows.push_back(row);
  }
  return Json{{"format", kFormat}, {"rows", rows}}.dump(2) + "\n";
}

std::string ReasonText(const Refusal& refusal) {
  return platform::Tr(refusal.reason, {refusal.detail});
}

}  // namespace telpod::RowRulesJson
