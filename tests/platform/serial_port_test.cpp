#include "platform/serial_port.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <termios.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <string>

#include "platform/serial_port_search.h"
#include "support/child_process.h"
#include "support/scoped_environment.h"
#include "support/temp_folder.h"

namespace telpod::platform {
namespace {

using namespace std::chrono_literals;
using test::TempFolder;

// A pseudo-terminal: the test holds the master end, the port opens the other.
class PseudoTerminal {
 public:
  PseudoTerminal() : master_(::posix_openpt(O_RDWR | O_NOCTTY)) {
    ::grantpt(master_);
    ::unlockpt(master_);
    // Raw from the start, so nothing written before the port opens is echoed.
    termios settings{};
    ::tcgetattr(master_, &settings);
    ::cfmakeraw(&settings);
    ::tcsetattr(master_, TCSANOW, &settings);
  }
  ~PseudoTerminal() { ::close(master_); }
  std::string path() const { return ::ptsname(master_); }
  void Write(const std::string& bytes) const {
    ASSERT_EQ(::write(master_, bytes.data(), bytes.size()), static_cast<ssize_t>(bytes.size()));
  }
  std::string Read(size_t n) const {
    std::string bytes(n, '\0');
    size_t got = 0;
    while (got < n) {
      const ssize_t r = ::read(master_, bytes.data() + got, n - got);
      if (r <= 0) break;
      got += static_cast<size_t>(r);
    }
    bytes.resize(got);
    return bytes;
  }

 private:
  int master_;
};

Deadline Soon() {
  return Deadline::clock::now() + 5s;
}

TEST(SerialPortTest, ExchangesBytesRawAndDropsWhatWaitedBeforeTheOpen) {
  PseudoTerminal pty;
  pty.Write("stale\r");
  SerialPort port;
  ASSERT_TRUE(port.Open(pty.path(), 115200).ok());
  // No echo, no line discipline: CR and BEL pass as they are.
  ASSERT_TRUE(port.WriteAll("V\r\x07", Soon()));
  EXPECT_EQ(pty.Read(3), "V\r\x07");
  pty.Write("V1013\r");
  std::string in;
  while (in.size() < 6 && port.ReadSome(in, Soon())) {
  }
  EXPECT_EQ(in, "V1013\r");
  // Nothing more comes: the wait ends at the deadline with nothing read.
  EXPECT_FALSE(port.ReadSome(in, Deadline::clock::now()));
  EXPECT_EQ(in, "V1013\r");
  port.Close();
  EXPECT_FALSE(port.IsOpen());
  EXPECT_FALSE(port.WriteAll("C\r", Soon()));
}

TEST(SerialPortTest, APortHeldByAnotherIsBusyUntilItIsFree) {
  PseudoTerminal pty;
  SerialPort first, second;
  ASSERT_TRUE(first.Open(pty.path(), 115200).ok());
  EXPECT_EQ(second.Open(pty.path(), 115200).error, SerialOpenError::Busy);
  first.Close();
  EXPECT_TRUE(second.Open(pty.path(), 115200).ok());
}

TEST(SerialPortTest, FailuresToOpenAreToldApart) {
  TempFolder folder;
  const std::string not_a_terminal = folder.File("plain");
  test::WriteFile(not_a_terminal, "");
  PseudoTerminal pty;

  const std::tuple<std::string, int, SerialOpenError> cases[] = {
      {folder.File("ttyUSB9"), 115200, SerialOpenError::NotFound},
      {not_a_terminal, 115200, SerialOpenError::Other},
      {pty.path(), 12345, SerialOpenError::Other},
  };
  for (const auto& [path, baud, error] : cases) {
    SCOPED_TRACE(path);
    SerialPort port;
    const auto outcome = port.Open(path, baud);
    EXPECT_EQ(outcome.error, error);
    EXPECT_FALSE(port.IsOpen());
    if (error == SerialOpenError::Other) {
      EXPECT_FALSE(outcome.reason.empty());
    }
  }

  // A device file of group dialout (20 on Debian), as an ordinary user
  // meets it; only the superuser can make one.
  if (::geteuid() != 0) GTEST_SKIP() << "needs the superuser to make the device file";
  const std::string denied = folder.File("ttyUSB0");
  test::WriteFile(denied, "");
  ASSERT_EQ(::chown(denied.c_str(), 0, 20), 0);
  ::chmod(denied.c_str(), 0660);
  EXPECT_EQ(test::AsOrdinaryUser(folder.path(),
                                 [&] {
                                   SerialPort port;
                                   const auto outcome = port.Open(denied, 115200);
                                   return outcome.error == SerialOpenError::PermissionDenied &&
                                                  outcome.group == "dialout"
                                              ? 0
                                              : 1;
                                 }),
            0);
}

TEST(SerialPortSearchTest, EachDeviceOnceInTheOrderOfThePlaces) {
  TempFolder folder;
  for (const char* name : {"ttyUSB10", "ttyUSB2", "ttyUSB0", "ttyACM0", "pts7", "other"}) {
    test::WriteFile(folder.File(name), "");
  }
  std::filesystem::create_directory(folder.File("by-id"));
  std::filesystem::create_symlink("../ttyUSB2", folder.File("by-id/usb-FTDI_A1"));
  std::filesystem::create_symlink("../pts7", folder.File("by-id/usb-Sim_B2"));

  const SerialPortPlaces places{
      {folder.File("ttyUSB*"), folder.File("ttyACM*"), folder.File("by-id/*")},
      // Named twice, named by another name, missing, empty: each adds nothing.
      folder.File("other") + "::" + folder.File("ttyUSB0") + ":" + folder.File("gone") + ":" +
          folder.File("other") + ":" + folder.path() + "/by-id/../ttyACM0"};
  EXPECT_EQ(FindSerialPorts(places),
            (std::vector<std::string>{folder.File("ttyUSB0"), folder.File("ttyUSB2"),
                                      folder.File("ttyUSB10"), folder.File("ttyACM0"),
                                      folder.File("by-id/usb-Sim_B2"), folder.File("other")}));
}

// The variable replaces the system's places; set and empty, it names none.
TEST(SerialPortSearchTest, TheVariableNamesThePortsInsteadOfTheSystem) {
  {
    test::ScopedEnvironment named(kSerialPortsVariable, "/dev/pts/3:/dev/pts/4");
    const auto places = SystemSerialPortPlaces();
    EXPECT_TRUE(places.patterns.empty());
    EXPECT_EQ(places.named, "/dev/pts/3:/dev/pts/4");
  }
  {
    test::ScopedEnvironment none(kSerialPortsVariable, "");
    EXPECT_TRUE(FindSerialPorts(SystemSerialPortPlaces()).empty());
  }
  test::ScopedEnvironment unset(kSerialPortsVariable, std::nullopt);
  EXPECT_EQ(SystemSerialPortPlaces().patterns,
            (std::vector<std::string>{"/dev/ttyUSB*", "/dev/ttyACM*", "/dev/serial/by-id/*"}));
}

TEST(SerialPortSearchTest, DigitsCompareAsNumbers) {
  const std::tuple<const char*, const char*, bool> cases[] = {
      {"ttyUSB2", "ttyUSB10", true}, {"ttyUSB10", "ttyUSB2", false}, {"ttyUSB02", "ttyUSB3", true},
      {"ttyACM1", "ttyUSB0", true},  {"tty", "tty0", true},          {"ttyUSB1", "ttyUSB1", false},
  };
  for (const auto& [a, b, less] : cases) EXPECT_EQ(NaturalLess(a, b), less) << a << " < " << b;
}

}  // namespace
}  // namespace telpod::platform
