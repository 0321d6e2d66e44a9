// The serial-line adapters: the contract on their simulator, and what only
// they do.
#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "devices/contract/family_contract.h"
#include "devices/slcan/slcan_connection.h"
#include "devices/slcan/slcan_discovery.h"
#include "platform/serial_port_search.h"
#include "support/child_process.h"
#include "support/engine_fakes.h"
#include "support/scoped_environment.h"
#include "support/slcan_sim_process.h"
#include "support/temp_folder.h"

namespace telpod::slcan {
namespace {

using test::FamilyContract;
using test::SlcanSimProcess;
using Lines = std::vector<std::string>;

// Where the bench's ports are: links that keep their names while the
// simulator behind them starts anew for each situation, as /dev/serial/by-id
// names do while an adapter is plugged in again.
struct PortLinks {
  test::TempFolder folder;
  std::string Port(int n) const { return folder.File("ttyUSB" + std::to_string(n)); }
};

class SlcanBench final : private PortLinks, public test::FamilyBench {
 public:
  SlcanBench()
      : FamilyBench({"SLCAN",
                     {"SLCAN A001 " + Port(0), "SLCAN A002 " + Port(1)},
                     {"SLCAN " + Port(0) + " HW 1.0 SW 1.3 S/N A001",
                      "SLCAN " + Port(1) + " HW 0.1 SW 0.0 S/N A002"},
                     {"S8", "S7", "S6", "S5", "S3", "S2", "S1", "S0", "S4"},
                     {"slcan0 C"},
                     true}),
        ports_(platform::kSerialPortsVariable, Port(0) + ":" + Port(1)) {}

  void Prepare(test::Situation situation) override {
    const char* failing[] = {"", " write=fail", " txqueue=0", " busoff"};
    sim_.reset();
    sim_ = std::make_unique<SlcanSimProcess>("slcan serial=A001 version=1013" +
                                             std::string(failing[static_cast<int>(situation)]) +
                                             "\nslcan serial=A002 version=0100\n");
    for (int n = 0; n < 2; ++n) {
      std::filesystem::remove(Port(n));
      std::filesystem::create_symlink(sim_->ports().at(static_cast<size_t>(n)), Port(n));
    }
  }
  Lines Calls() const override { return sim_ ? sim_->Commands() : Lines{}; }
  Lines BusFrames() const override {
    Lines frames = sim_->Frames();
    for (auto& frame : frames) frame.erase(0, frame.find(' ') + 1);
    return frames;
  }
  // The last rate command the adapters received.
  std::string RateOnDevice() const override {
    const Lines calls = Calls();
    for (auto call = calls.rbegin(); call != calls.rend(); ++call) {
      const std::string command = call->substr(call->find(' ') + 1);
      if (command.size() == 2 && command[0] == 'S') return command;
    }
    return "";
  }

 private:
  test::ScopedEnvironment ports_;
  std::unique_ptr<SlcanSimProcess> sim_;
};

INSTANTIATE_TEST_SUITE_P(Slcan, FamilyContract,
                         ::testing::Values(test::MakerOf<SlcanBench>("SLCAN")));

constexpr const char* kOpenFailure = "機器が正常に動作していません。\r\n接続を終了します。";
// What the program says to any adapter before it sets the rate: three CRs
// end whatever half a command was left, V brings the answers in step, C
// closes a channel an earlier program left open.
const Lines kOpening{"slcan0 ", "slcan0 ", "slcan0 ", "slcan0 V", "slcan0 C"};

Lines Concat(Lines a, const Lines& b) {
  a.insert(a.end(), b.begin(), b.end());
  return a;
}

// The commands the simulator received from `from` on.
Lines CommandsFrom(const SlcanSimProcess& sim, size_t from) {
  const Lines all = sim.Commands();
  return from >= all.size() ? Lines{} : Lines(all.begin() + static_cast<long>(from), all.end());
}

TEST(SlcanDiscoveryTest, ListsTheAdaptersThatAnswerAndPassesOverTheRest) {
  SlcanSimProcess sim(
      "slcan serial=A1B2 version=1013\n"
      "slcan silent\n"
      "slcan serial= version=0100\n"
      "slcan garbage\n"
      "slcan serial=HELD\n");
  ASSERT_EQ(sim.ports().size(), 5u);
  platform::SerialPort held;  // another program has the fifth
  ASSERT_TRUE(held.Open(sim.ports()[4], 115200).ok());
  test::TempFolder folder;
  test::WriteFile(folder.File("not-a-terminal"), "");
  Lines ports = sim.ports();
  ports.push_back(folder.File("gone"));
  ports.push_back(folder.File("not-a-terminal"));

  Catalogue catalogue;
  test::ScriptedPump pump;
  FindAdapters(catalogue, ports, pump);
  EXPECT_EQ(pump.passes, 7);
  const auto& found = catalogue.adapters();
  ASSERT_EQ(found.size(), 2u);
  EXPECT_EQ(EntryText(found[0]), "SLCAN A1B2 " + sim.ports()[0]);
  EXPECT_EQ(EntryText(found[1]), "SLCAN " + sim.ports()[2]);
  EXPECT_EQ(InterfaceName(found[0]), "slcan-A1B2");
  EXPECT_EQ(InterfaceName(found[1]),
            "slcan-" + sim.ports()[2].substr(sim.ports()[2].rfind('/') + 1));

  // Choosing asks the adapter anew; nothing chosen, nothing asked.
  const std::pair<int32_t, SelectedDeviceInfo> choices[] = {
      {1, {1, "SLCAN " + sim.ports()[0] + " HW 1.0 SW 1.3 S/N A1B2"}},
      {2, {1, "SLCAN " + sim.ports()[2] + " HW 0.1 SW 0.0"}},
      {0, {0, std::nullopt}},
      {3, {0, std::nullopt}},
  };
  for (const auto& [position, info] : choices) {
    catalogue.Choose(position);
    const auto got = ProbeChosenAdapter(catalogue);
    EXPECT_EQ(got.result, info.result) << position;
    EXPECT_EQ(got.TB_ODB_Hard_Version, info.TB_ODB_Hard_Version) << position;
  }
  // The search and the probe leave the adapter as they found it.
  const Lines asked{"slcan0 ", "slcan0 ", "slcan0 ", "slcan0 V", "slcan0 N"};
  Lines adapter0;
  for (const auto& line : sim.Commands()) {
    if (line.rfind("slcan0 ", 0) == 0) adapter0.push_back(line);
  }
  EXPECT_EQ(adapter0, Concat(asked, asked));
}

// A port the user may not open is listed, so that choosing it says why,
// and connecting says whom to ask.
TEST(SlcanDiscoveryTest, APortTheUserMayNotOpenNamesTheGroupToJoin) {
  if (::geteuid() != 0) GTEST_SKIP() << "needs the superuser to make the device file";
  test::TempFolder folder;
  const std::string port = folder.File("ttyUSB0");
  test::WriteFile(port, "");
  ASSERT_EQ(::chown(port.c_str(), 0, 20), 0);  // group dialout on Debian
  ::chmod(port.c_str(), 0660);
  const int result = test::AsOrdinaryUser(folder.path(), [&] {
    Catalogue catalogue;
    test::ScriptedPump pump;
    FindAdapters(catalogue, {port}, pump);
    if (catalogue.adapters().size() != 1) return 1;
    if (EntryText(catalogue.adapters()[0]) != "SLCAN " + port) return 2;
    catalogue.Choose(1);
    const auto info = ProbeChosenAdapter(catalogue);
    if (info.result != 0 || info.TB_ODB_Hard_Version != port + " を開く権限がありません。")
      return 3;
    SlcanConnection connection(catalogue.Chosen());
    if (!connection.SelectRate(2) || connection.Open()) return 4;
    return connection.OpenFailureMessage() == port +
                                                  " を開く権限がありません。\r\n"
                                                  "dialout グループに参加してから、ログインし直"
                                                  "してください。\r\n"
                                                  "sudo usermod -aG dialout $USER\r\n"
                                                  "接続を終了します。"
               ? 0
               : 5;
  });
  EXPECT_EQ(result, 0);
}

TEST(SlcanDiscoveryTest, APortOfTheSuperuserAloneSaysToAskForAccess) {
  EXPECT_EQ(PermissionMessage("/dev/ttyUSB0", "root"),
            "/dev/ttyUSB0 を開く権限がありません。\r\n"
            "管理者にこのポートを読み書きする権限を依頼してください。\r\n接続を終了します。");
  EXPECT_EQ(PermissionMessage("/dev/ttyUSB0", ""), PermissionMessage("/dev/ttyUSB0", "root"));
}

// The family on the connection skeleton over one simulated adapter, the
// window replaced by recorders.
class SlcanConnectionTest : public ::testing::Test {
 protected:
  void Start(const std::string& config) {
    sim = std::make_unique<SlcanSimProcess>(config);
    adapter = Adapter{sim->ports().at(0), "A1B2", "1013", false, ""};
  }
  // Connects until the loop has made `passes` passes; the commands the
  // adapter received meanwhile.
  Lines Run(int passes = 1) {
    const size_t from = sim->Commands().size();
    view = {};
    messages.shown.clear();
    pump.on_pass = [this, passes](int n) {
      if (n >= passes) RxFlag = 0;
    };
    pump.passes = 0;
    RxFlag = 1;
    connection = std::make_unique<SlcanConnection>(&adapter);
    ConnectionContext ctx{device, db, RxFlag, clock, view, messages, pump};
    RunConnection(ctx, *connection);
    return CommandsFrom(*sim, from);
  }
  void SetRow(int16_t i, int32_t id, bool extended, uint8_t dlc, uint8_t first) {
    db.set_CAN_ID(i, id);
    db.set_CAN_Send29(i, extended ? 1 : 0);
    db.set_CAN_DLC(i, dlc);
    for (int n = 1; n <= 8; ++n) db.set_CAN_Data(n, i, static_cast<uint8_t>(first + n - 1));
    db.set_CAN_SendOperation(i, 1);
  }
  void ExpectMessage(const std::string& text) {
    ASSERT_EQ(messages.shown.size(), 1u);
    EXPECT_EQ(messages.shown[0].text, text);
    EXPECT_EQ(messages.shown[0].icon, platform::MessageIcon::Critical);
  }

  std::unique_ptr<SlcanSimProcess> sim;
  Adapter adapter;
  std::unique_ptr<SlcanConnection> connection;
  ELM327_Info device;
  CAN_SendDB db;
  int32_t RxFlag = 0;
  test::ScriptedClock clock;
  test::RecordingView view;
  test::RecordingMessages messages;
  test::ScriptedPump pump;
};

// Row 0: 11-bit 0x7DF, DLC 3, data 11..18; row 1: 29-bit 0x18DAF110, DLC 8,
// data A1..A8. Each frame is answered before the next goes; the status
// flags are read when the loop ends, and the channel closed last.
TEST_F(SlcanConnectionTest, WritesTheRowsInBothFormatsAndClosesLast) {
  Start("slcan");
  SetRow(0, 0x7DF, false, 3, 0x11);
  SetRow(1, 0x18DAF110, true, 8, 0xA1);
  device.set_t_bitRate(2);
  EXPECT_EQ(Run(), Concat(kOpening, {"slcan0 S6", "slcan0 O", "slcan0 t7DF3111213",
                                     "slcan0 T18DAF1108A1A2A3A4A5A6A7A8", "slcan0 F", "slcan0 C"}));
  EXPECT_EQ(sim->Frames(), (Lines{"slcan0 7DF#111213", "slcan0 18DAF110#A1A2A3A4A5A6A7A8"}));
  EXPECT_EQ(connection->FailedWrites(), 0);
}

// Frames the rows never make: remote frames of both formats, and those no
// adapter can carry, which fail without a command.
TEST_F(SlcanConnectionTest, RemoteFramesGoOutAndFramesThatDoNotFitFail) {
  Start("slcan ack=cr");  // frames answered with CR alone, as some copies do
  SlcanConnection family(&adapter);
  ASSERT_TRUE(family.SelectRate(8));
  ASSERT_TRUE(family.Open());
  EXPECT_TRUE(family.Send({0x123, false, true, 4, {}}));
  EXPECT_TRUE(family.Send({0x1ABCDE, true, true, 0, {}}));
  EXPECT_FALSE(family.Send({0x800, false, false, 1, {}}));
  EXPECT_FALSE(family.Send({0x123, false, false, 9, {}}));
  family.Close();
  EXPECT_EQ(family.FailedWrites(), 2);
  EXPECT_EQ(sim->Frames(), (Lines{"slcan0 123#R4", "slcan0 001ABCDE#R"}));
  EXPECT_EQ(sim->Commands().size(), kOpening.size() + 2 + 2 + 1);
}

TEST_F(SlcanConnectionTest, AChannelAnEarlierProgramLeftOpenIsOpenedAllTheSame) {
  Start("slcan");
  {
    Link earlier;
    ASSERT_TRUE(earlier.Open(adapter.port).ok());
    const auto soon = platform::Deadline::clock::now() + std::chrono::seconds(5);
    ASSERT_TRUE(earlier.Synchronize(soon));
    ASSERT_EQ(earlier.Ask("S4\r", soon)->kind, Reply::Kind::Ok);
    ASSERT_EQ(earlier.Ask("O\r", soon)->kind, Reply::Kind::Ok);
    earlier.Ask("t12", platform::Deadline::clock::now());  // and half a command
  }
  device.set_t_bitRate(2);
  const Lines commands = Run();
  EXPECT_TRUE(messages.shown.empty());
  EXPECT_THAT(commands, ::testing::IsSupersetOf(Lines{"slcan0 S6", "slcan0 O"}));
}

TEST_F(SlcanConnectionTest, OpenFailuresSayWhyWhenTheFamilyKnows) {
  const std::tuple<const char*, Lines> cases[] = {
      {"slcan open=fail", Concat(kOpening, {"slcan0 S6", "slcan0 O"})},
      {"slcan silent", {"slcan0 ", "slcan0 ", "slcan0 ", "slcan0 V"}},
      {"slcan garbage", {"slcan0 ", "slcan0 ", "slcan0 ", "slcan0 V"}},
  };
  device.set_t_bitRate(2);
  for (const auto& [config, commands] : cases) {
    SCOPED_TRACE(config);
    Start(config);
    EXPECT_EQ(Run(), commands);
    ExpectMessage(kOpenFailure);
    EXPECT_TRUE(view.history.empty());
  }

  // Another program holds the port.
  Start("slcan");
  platform::SerialPort held;
  ASSERT_TRUE(held.Open(adapter.port, 115200).ok());
  EXPECT_TRUE(Run().empty());
  ExpectMessage(adapter.port + " はほかのプログラムが使用しています。\r\n接続を終了します。");
  held.Close();

  // The adapter was unplugged since the search.
  sim->Stop();
  Run();
  ExpectMessage(kOpenFailure);
}

// The adapter is unplugged while the rows go out: every later frame fails
// at once instead of waiting for an answer, and the channel's close too.
TEST_F(SlcanConnectionTest, AnAdapterUnpluggedWhileSendingFailsItsFrames) {
  Start("slcan");
  SetRow(0, 0x100, false, 1, 0);
  db.set_CAN_SendOperation(0, 0);
  db.set_CAN_SendCycleOperation(0, 1);
  db.set_CAN_SendCycleTime(0, 0.0);
  pump.on_pass = [this](int n) {
    if (n == 2) sim->Stop();
    if (n >= 4) RxFlag = 0;
  };
  RxFlag = 1;
  device.set_t_bitRate(2);
  SlcanConnection family(&adapter);
  ConnectionContext ctx{device, db, RxFlag, clock, view, messages, pump};
  RunConnection(ctx, family);
  EXPECT_EQ(family.FailedWrites(), 2);
  EXPECT_EQ(view.final_status, "通信中（送信エラー 2）");
}

}  // namespace
}  // namespace telpod::slcan
