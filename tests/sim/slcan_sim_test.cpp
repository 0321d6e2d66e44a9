#include <gtest/gtest.h>

#include <chrono>
#include <string>
#include <utility>
#include <vector>

#include "platform/serial_port.h"
#include "support/slcan_sim_process.h"

namespace telpod {
namespace {

using namespace std::chrono_literals;
using Script = std::vector<std::pair<std::string, std::string>>;

// The answer to `command`: everything up to and with its CR or BEL, or what
// came before the deadline when no such end came.
std::string Answer(platform::SerialPort& port, const std::string& command,
                   std::chrono::milliseconds patience = 5s) {
  const auto deadline = platform::Deadline::clock::now() + patience;
  EXPECT_TRUE(port.WriteAll(command + "\r", deadline));
  std::string answer;
  while (answer.find_first_of("\r\a") == std::string::npos && port.ReadSome(answer, deadline)) {
  }
  return answer;
}

// Runs each script over the first adapter of its configuration: every
// command with the answer expected.
void Expect(const std::string& config, const Script& script) {
  test::SlcanSimProcess sim(config);
  ASSERT_EQ(sim.ports().size(), 1u);
  platform::SerialPort port;
  ASSERT_TRUE(port.Open(sim.ports()[0], 115200).ok());
  for (const auto& [command, answer] : script) EXPECT_EQ(Answer(port, command), answer) << command;
}

TEST(SlcanSimTest, AnswersTheCommandSetAsTheAdapterDoes) {
  Expect("slcan serial=A1B2 version=1013",
         {
             {"V", "V1013\r"},
             {"N", "NA1B2\r"},
             // Frames, flags and close only on an open channel, which needs a rate.
             {"t1230", "\a"},
             {"F", "\a"},
             {"C", "\a"},
             {"O", "\a"},
             {"S9", "\a"},
             {"S6", "\r"},
             {"O", "\r"},
             {"S5", "\a"},
             {"O", "\a"},
             {"t7DF3112233", "z\r"},
             {"T18DAF1108A1A2A3A4A5A6A7A8", "Z\r"},
             {"r1234", "z\r"},
             {"R1FFFFFFF0", "Z\r"},
             {"t8000", "\a"},       // identifier too large for 11 bits
             {"T200000000", "\a"},  // ... and for 29 bits
             {"t1239", "\a"},       // length above 8
             {"t123211", "\a"},     // fewer data than the length
             {"t12311122", "\a"},   // more
             {"t12G0", "\a"},       // not hex
             {"F", "F00\r"},
             {"X", "\a"},
             {"", "\r"},
             {std::string(65, 't'), "\a"},
             {"C", "\r"},
             {"S8", "\r"},
         });
}

TEST(SlcanSimTest, ConfiguredFaultsAndALonelyBus) {
  const std::pair<std::string, Script> cases[] = {
      {"slcan serial=", {{"N", "\a"}, {"V", "V1013\r"}}},
      {"slcan open=fail", {{"S6", "\r"}, {"O", "\a"}}},
      {"slcan write=fail", {{"S6", "\r"}, {"O", "\r"}, {"t1230", "\a"}, {"F", "F00\r"}}},
      {"slcan ack=cr", {{"S6", "\r"}, {"O", "\r"}, {"t1230", "\r"}, {"T000001230", "\r"}}},
      // Two frames fill the queue; then error passive, and after a new open
      // the queue is empty again.
      {"slcan txqueue=2",
       {{"S6", "\r"},
        {"O", "\r"},
        {"t1230", "z\r"},
        {"t1230", "z\r"},
        {"t1230", "\a"},
        {"F", "F26\r"},
        {"C", "\r"},
        {"O", "\r"},
        {"t1230", "z\r"},
        {"F", "F00\r"}}},
      {"slcan busoff", {{"S6", "\r"}, {"O", "\r"}, {"t1230", "\a"}, {"F", "FA6\r"}}},
      {"slcan garbage", {{"V", "\xfe#?!~\r"}, {"S6", "\xfe#?!~\r"}}},
  };
  for (const auto& [config, script] : cases) {
    SCOPED_TRACE(config);
    Expect(config, script);
  }
}

TEST(SlcanSimTest, ASilentAdapterAnswersNothing) {
  test::SlcanSimProcess sim("slcan silent");
  platform::SerialPort port;
  ASSERT_TRUE(port.Open(sim.ports()[0], 115200).ok());
  EXPECT_EQ(Answer(port, "V", 200ms), "");
}

// Each adapter on its own line, with its own frames in the log and every
// command in the command log, written out by the close.
TEST(SlcanSimTest, SeveralAdaptersKeepTheirLinesApart) {
  test::SlcanSimProcess sim("slcan serial=A001\nslcan serial=A002\n");
  ASSERT_EQ(sim.ports().size(), 2u);
  platform::SerialPort first, second;
  ASSERT_TRUE(first.Open(sim.ports()[0], 115200).ok());
  ASSERT_TRUE(second.Open(sim.ports()[1], 115200).ok());
  EXPECT_EQ(Answer(second, "N"), "NA002\r");
  for (const char* command : {"S6", "O", "t7DF10A", "C"}) Answer(second, command);
  EXPECT_EQ(Answer(first, "N"), "NA001\r");
  EXPECT_EQ(sim.Frames(), std::vector<std::string>{"slcan1 7DF#0A"});
  EXPECT_EQ(sim.Commands(), (std::vector<std::string>{"slcan1 N", "slcan1 S6", "slcan1 O",
                                                      "slcan1 t7DF10A", "slcan1 C", "slcan0 N"}));
}

}  // namespace
}  // namespace telpod
