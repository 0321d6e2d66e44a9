#include "settings/row_rules_file.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <string>
#include <tuple>

#include "platform/program_folder.h"
#include "settings/file_size_limit.h"
#include "settings/row_rules_json.h"
#include "support/scoped_environment.h"
#include "support/temp_folder.h"

namespace telpod {
namespace {

using Kind = RowRulesFile::Outcome::Kind;
using A = ChecksumAlgorithm;

class RowRulesFileTest : public ::testing::Test {
 protected:
  test::TempFolder program;
  platform::ScopedProgramFolder scope{program.path()};
  const std::string path = program.File("rules.json");
};

// Row 2: an alive counter in the low nibble of D7 (0..14), a CRC-8H2F in D8
// over the default bytes; row 5: the XOR of D1 and D3 in D2 alone; row 8:
// an eight-bit counter alone; row 3: a CRC with a data ID. Written
// key by key, read back the same.
TEST_F(RowRulesFileTest, RulesGoOutAsReadableJsonAndComeBackTheSame) {
  RowRules rules;
  rules.Set(1, {CounterRule{7, 0, 4, 0, 1, 14}, ChecksumRule{8, A::Crc8H2F, {}, {}}});
  rules.Set(4, {{}, ChecksumRule{2, A::Xor, 0b101, {}}});
  rules.Set(7, {CounterRule{1, 0, 8, 5, 3, 200}, {}});
  rules.Set(2, {{}, ChecksumRule{1, A::Crc8SaeJ1850, 0b1111'1110, 0xBEEF}});
  std::string reason;
  ASSERT_EQ(RowRulesFile::Save(rules, reason), 0) << reason;
  EXPECT_EQ(RowRulesFile::Path(), path);
  const std::string text = test::ReadFile(path);
  EXPECT_TRUE(text.starts_with(R"({
  "format": 1,
  "rows": [
    {
      "row": 2,
      "counter": {
        "byte": "D7",
        "first_bit": 0,
        "bits": 4,
        "start": 0,
        "step": 1,
        "wrap": 14
      },
      "checksum": {
        "byte": "D8",
        "algorithm": "CRC-8H2F"
      }
    },
)"));
  EXPECT_NE(text.find(R"("covers": [
          "D1",
          "D3"
        ])"),
            std::string::npos);
  EXPECT_NE(text.find(R"("algorithm": "CRC-8-SAE-J1850")"), std::string::npos);
  EXPECT_NE(text.find(R"("data_id": 48879)"), std::string::npos);
  RowRules read;
  EXPECT_EQ(RowRulesFile::Load(path, read).kind, Kind::Read);
  EXPECT_EQ(read, rules);
  // No rules at all is a file of its own, and reads back as none.
  ASSERT_EQ(RowRulesFile::Save(RowRules(), reason), 0);
  EXPECT_EQ(test::ReadFile(path), "{\n  \"format\": 1,\n  \"rows\": []\n}\n");
  EXPECT_EQ(RowRulesFile::Load(path, read).kind, Kind::Read);
  EXPECT_FALSE(read.Any());
}

// A hand-written file may leave out a counter's start, step and wrap, and
// write its keys in any order and layout.
TEST_F(RowRulesFileTest, AHandWrittenFileTakesTheDefaults) {
  test::WriteFile(path, R"({"rows": [{"counter": {"bits": 3, "first_bit": 5, "byte": "D1"},
                                      "row": 8}], "format": 1})");
  RowRules rules;
  EXPECT_EQ(RowRulesFile::Load(path, rules).kind, Kind::Read);
  EXPECT_EQ(rules.Of(7), (RowRule{CounterRule{1, 5, 3, 0, 1, 7}, {}}));
}

// What a damaged file says: the line where reading stopped and why; the
// rules stay as they were, and the file as it is.
TEST_F(RowRulesFileTest, ADamagedFileNamesItsLineAndLeavesTheRulesAlone) {
  const std::string head = "{\n  \"format\": 1,\n  \"rows\": [\n    {\n      \"row\": 1,\n";
  const auto row = [&](const std::string& rest) { return head + rest + "\n    }\n  ]\n}\n"; };
  const std::string counter = "      \"counter\": {\"byte\": \"D1\", \"first_bit\": 0, \"bits\": 4";
  const std::tuple<std::string, size_t, std::string> cases[] = {
      {"", 1, "JSON の書き方が正しくありません。"},
      {head + "      \"counter\": {,\n", 6, "JSON の書き方が正しくありません。"},
      {row("      \"colour\": 1"), 6, "「colour」という項目はありません。"},
      {row(counter + ", \"wrap\": 15, \"start\": 16}"), 6,
       "カウンターの開始値と折り返し値は、そのビット数に収まる値です。"},
      {row(counter + ",\n \"start\": 9, \"wrap\": 8}"), 6,
       "カウンターの開始値が折り返し値より大きくなっています。"},
      {row(counter + ", \"step\": \"1\"}"), 6, "「step」の値の種類が違います。"},
      {row(counter + ", \"step\": 99999999999}"), 6, "「step」の値が範囲の外です。"},
      // Beyond a double: the parser stops there.
      {row(counter + ",\n \"step\": 1e400}"), 7, "JSON の書き方が正しくありません。"},
      {row("      \"counter\": {\"byte\": \"D1\", \"bits\": 4}"), 6,
       "「first_bit」が書かれていません。"},
      {row("\n\n      \"checksum\": {\"byte\": \"D9\", \"algorithm\": \"XOR\"}"), 8,
       "データバイトは「D1」〜「D8」で書きます。"},
      {row("      \"checksum\": {\"byte\": \"D8\",\n \"algorithm\": \"CRC-16\"}"), 7,
       "「CRC-16」というアルゴリズムはありません（XOR、SUM、CRC-8-SAE-J1850、CRC-8H2F）。"},
      {row("      \"checksum\": {\"byte\": \"D8\", \"algorithm\": \"SUM\", \"data_id\": 1}"), 6,
       "データIDを使えるのは CRC だけです。"},
      {row("      \"checksum\": {\"byte\": \"D8\", \"algorithm\": \"CRC-8H2F\",\n"
           "        \"data_id\": 65536}"),
       7, "「data_id」の値が範囲の外です。"},
      {row(counter + "},\n      \"checksum\": {\"byte\": \"D1\", \"algorithm\": \"XOR\"}"), 4,
       "カウンターとチェックサムが同じビットを使っています。"},
      {"{\"format\": 1, \"rows\": [\n  {\"row\": 3},\n  {\"row\": 3}\n]}", 3,
       "行 3 の規則が二つあります。"},
      {"{\"format\": 1, \"rows\": [\n  {\"row\": 9}\n]}", 2, "「row」の値が範囲の外です。"},
      {"{\"format\": 1, \"rows\": [\n  {\"row\": 0}\n]}", 2, "「row」の値が範囲の外です。"},
      {"{\"format\": 1, \"rows\": [\n  7\n]}", 2, "「rows」の値の種類が違います。"},
      {"{\n\"format\": 2, \"rows\": []}", 2, "形式 2 は、このプログラムでは読めません。"},
      {"[]", 1, "「format」が書かれていません。"},
  };
  for (const auto& [text, line, reason] : cases) {
    SCOPED_TRACE(text);
    test::WriteFile(path, text);
    RowRules rules;
    rules.Set(0, {{}, ChecksumRule{8, A::Sum, {}, {}}});
    const RowRules before = rules;
    const auto outcome = RowRulesFile::Load(path, rules);
    EXPECT_EQ(outcome.kind, Kind::Damaged);
    EXPECT_EQ(outcome.line, line);
    EXPECT_EQ(outcome.reason, reason);
    EXPECT_EQ(rules, before);
    EXPECT_EQ(test::ReadFile(path), text);
  }
}

TEST_F(RowRulesFileTest, AMissingFileIsNoFaultAnOversizedOneIsNotOurs) {
  RowRules rules;
  EXPECT_EQ(RowRulesFile::Load(path, rules).kind, Kind::Missing);
  test::WriteFile(path, std::string(64 * 1024 + 1, ' '));
  auto outcome = RowRulesFile::Load(path, rules);
  EXPECT_EQ(outcome.line, 0u);
  EXPECT_EQ(RowRulesFile::DamagedMessage(path, outcome),
            "行の規則のファイル " + path +
                " を読めません：ファイルが大きすぎます。\r\nどの行も規則なしで送ります。"
                "ファイルは、規則を変えるまでそのまま残します。");
  outcome.line = 12;
  outcome.reason = "理由";
  EXPECT_TRUE(RowRulesFile::DamagedMessage(path, outcome)
                  .starts_with("行の規則のファイル " + path + " の 12 行目を読めません：理由\r\n"));
}

// A save that cannot be made says why and leaves the old file whole:
// the window tells the user at close that the rules were not kept.
TEST_F(RowRulesFileTest, AFailedSaveSaysWhyAndLeavesTheOldFileWhole) {
  RowRules rules;
  rules.Set(0, {CounterRule{1, 0, 4, 0, 1, 15}, {}});
  std::string reason;
  ASSERT_EQ(RowRulesFile::Save(RowRules(), reason), 0) << reason;
  const std::string old = test::ReadFile(path);
  {
    test::ScopedFileSizeLimit full_disk(10);
    EXPECT_EQ(RowRulesFile::Save(rules, reason), -1);
  }
  EXPECT_EQ(reason, std::strerror(EFBIG));
  EXPECT_EQ(test::ReadFile(path), old);
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(program.path()), {}), 1);

  // Neither the program folder nor the user's own can take it.
  test::TempFolder user;
  test::ScopedEnvironment xdg{"XDG_CONFIG_HOME", user.File("config")};
  test::WriteFile(user.File("config"), "a file where the folder should be");
  ::chmod(program.path().c_str(), 0555);
  EXPECT_EQ(RowRulesFile::Save(rules, reason), -1);
  ::chmod(program.path().c_str(), 0755);
  EXPECT_EQ(reason, "設定を保存するフォルダーを作れませんでした。");
  EXPECT_EQ(test::ReadFile(path), old);
}

}  // namespace
}  // namespace telpod
