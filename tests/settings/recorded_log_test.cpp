#include "settings/logs/recorded_log.h"

#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <vector>

#include "settings/logs/bounded_line_reader.h"
#include "support/python_lines.h"
#include "support/temp_folder.h"

namespace telpod {
namespace {

using Lines = std::vector<std::string>;

// A frame as python_can_logs.py prints it: "<channel> <us after the first>
// <id> <S|X> <D|R> <length> <data or ->".
std::string Describe(const RecordedFrame& f, int64_t first_ns) {
  char id[12];
  std::snprintf(id, sizeof id, "%X", f.frame.id);
  std::string data;
  for (int n = 0; n < std::min<int>(f.frame.dlc, 8) && !f.frame.remote; ++n) {
    char byte[3];
    std::snprintf(byte, sizeof byte, "%02X", f.frame.data[static_cast<size_t>(n)]);
    data += byte;
  }
  return f.channel + " " + std::to_string((f.time_ns - first_ns) / 1000) + " " + id +
         (f.frame.extended ? " X " : " S ") + (f.frame.remote ? "R " : "D ") +
         std::to_string(f.frame.dlc) + " " + (data.empty() ? "-" : data);
}

Lines ReadAll(RecordedFrames& frames) {
  Lines lines;
  RecordedFrame f;
  int64_t first = 0;
  while (frames.Next(f)) {
    if (lines.empty()) first = f.time_ns;
    lines.push_back(Describe(f, first));
  }
  return lines;
}

LogOpening Read(const std::string& text, LogFormat format) {
  return ReadRecordedLog(std::make_unique<std::istringstream>(text), text.size(), format, "x.log");
}

// python-can's own writers, as engineers' scripts record with them: every
// classic frame is read with its channel, time, format and bytes; the CAN
// FD frame and the error frame are counted, never read.
TEST(RecordedLog, ReadsWhatPythonCansWritersWrote) {
  test::TempFolder folder;
  for (const char* kind : {"candump", "asc"}) {
    SCOPED_TRACE(kind);
    const std::string path = folder.File(std::string("python.") + (kind[0] == 'a' ? "asc" : "log"));
    Lines expected = test::PythonLines("python_can_logs.py", std::string(kind) + " " + path);
    ASSERT_GT(expected.size(), 1u) << (expected.empty() ? "" : expected[0]);
    const std::string counts = expected.back();
    expected.pop_back();
    const LogOpening log = OpenRecordedLog(path);
    ASSERT_TRUE(log.frames) << log.error;
    EXPECT_EQ(ReadAll(*log.frames), expected);
    const SkippedLines& skipped = log.frames->skipped();
    EXPECT_EQ("skipped " + std::to_string(skipped.fd) + " " + std::to_string(skipped.error),
              counts);
    EXPECT_EQ(skipped.unreadable, 0);
    // The ASC writer records the measurement's start as an event.
    EXPECT_EQ(skipped.other, kind[0] == 'a' ? 1 : 0);
  }
}

struct Corner {
  const char* name;
  LogFormat format;
  std::string text;
  Lines frames;
  SkippedLines skipped;
};

TEST(RecordedLog, OddCornersOfBothFormats) {
  const Corner corners[] = {
      {"candump CRLF, direction, remote with length, length code, dots",
       LogFormat::Candump,
       "(10.5) can0 7DF#02.01 T\r\n\r\n(10.75) can0 123#r4\r\n"
       "(11) vcan1 00000123#1122334455667788_C\r\n",
       {"can0 0 7DF S D 2 0201", "can0 250000 123 S R 4 -",
        "vcan1 500000 123 X D 12 1122334455667788"},
       {}},
      {"candump FD, error frame, bad lines, truncated last line",
       LogFormat::Candump,
       "(1.0) can0 123##1AABB\n(1.1) can0 20000004#0004000000000000\n"
       "(1.2) can0 800#00\n(1.3) can0 123#ABC\n(1.4) can0\n1.5 can0 123#00\n"
       "(1.6) can0 123#001122334455667788\n(1.7) can0 123#R9\n(1.8) can0 123#00 X\n"
       "(1.9) can0 3FF#0102\n(2.0) can0 12",
       {"can0 0 3FF S D 2 0102"},
       {.fd = 1, .error = 1, .unreadable = 8}},
      {"ASC relative time, decimal base, remote, extended x, other events",
       LogFormat::Asc,
       "date Thu Dec 5 10:00:00.000 am 2024\r\nbase dec  timestamps relative\r\n"
       "no internal events logged\r\n// version 13.0.0\r\nBegin Triggerblock\r\n"
       "   0.500000 Start of measurement\r\n   0.250000 1  2015  Rx   d 2 2 255\r\n"
       "   1.000000 2  419360016x  Tx   r\r\n   0.100000 1  Statistic: D 0 R 0\r\n"
       "   0.150000 CAN 1 Status:chip status error active\r\n   0.250000 1  0  Rx   r 8\r\n"
       "End TriggerBlock\r\n",
       {"1 0 7DF S D 2 02FF", "2 1000000 18FEED10 X R 0 -", "1 1500000 0 S R 8 -"},
       {.other = 3}},
      {"ASC FD, error frame, unreadable lines, truncated last line",
       LogFormat::Asc,
       "base hex  timestamps absolute\n"
       "1.0 CANFD 1 Rx 123 1 0 8 8 00 01 02 03 04 05 06 07\n2.0 1 ErrorFrame\n"
       "2.5 1 800 Rx d 1 00\n2.6 1 123 Rx d 2 00\n2.7 1 123 Rx q 1 00\n2.8 1 12G Rx d 0\n"
       "garbage\n3.0 1 7FF Rx d 8 01 02 03 04 05 06 07 08 Length = 1 BitCount = 2\n"
       "3.5 1 1Fx Rx d 3 01 02",
       {"1 0 7FF S D 8 0102030405060708"},
       {.fd = 1, .error = 1, .unreadable = 6}},
  };
  for (const auto& corner : corners) {
    SCOPED_TRACE(corner.name);
    const LogOpening log = Read(corner.text, corner.format);
    ASSERT_TRUE(log.frames) << log.error;
    EXPECT_EQ(ReadAll(*log.frames), corner.frames);
    EXPECT_EQ(log.frames->skipped(), corner.skipped);
  }
}

// Nothing to send is refused, with what the file held instead.
TEST(RecordedLog, AFileWithoutAFrameIsRefusedWithWhatItHeld) {
  const std::tuple<std::string, LogFormat, std::string> cases[] = {
      {"", LogFormat::Candump, "ログファイル x.log には送信できるフレームがありません。"},
      {"(1.0) can0 123##0\n(1.1) can0 20000080#\nnot a frame\n", LogFormat::Candump,
       "ログファイル x.log には送信できるフレームがありません。\r\n"
       "CAN FD フレーム 1、エラーフレーム 1、読めない行 1"},
      {"date x\nbase hex timestamps absolute\n0.0 Start of measurement\nEnd TriggerBlock\n",
       LogFormat::Asc,
       "ログファイル x.log には送信できるフレームがありません。\r\nその他のイベント 1"},
  };
  for (const auto& [text, format, error] : cases) {
    const LogOpening log = Read(text, format);
    EXPECT_FALSE(log.frames);
    EXPECT_EQ(log.error, error);
  }
  test::TempFolder folder;
  for (const std::string& path : {folder.File("missing.log"), folder.path()}) {
    EXPECT_EQ(OpenRecordedLog(path).error, "ログファイル " + path + " を開けません。");
  }
}

// A candump log made up as it is read: line k is
// "(kkkkkkkkkk.000000) can0 123#\n", 30 bytes.
class EndlessLog : public std::streambuf {
 public:
  static constexpr int64_t kLines = 1'000'000'000;
  static constexpr int64_t kLineBytes = 30;

 protected:
  int_type underflow() override {
    if (at_ >= kLines * kLineBytes) return traits_type::eof();
    const int64_t k = at_ / kLineBytes;
    std::snprintf(line_, sizeof line_, "(%010lld.000000) can0 123#\n", static_cast<long long>(k));
    const auto offset = static_cast<size_t>(at_ % kLineBytes);
    setg(line_, line_ + offset, line_ + kLineBytes);
    at_ = (k + 1) * kLineBytes;
    return traits_type::to_int_type(line_[offset]);
  }
  pos_type seekoff(off_type off, std::ios_base::seekdir dir, std::ios_base::openmode) override {
    const int64_t base = dir == std::ios_base::beg ? 0 : kLines * kLineBytes;
    at_ = base + off;
    setg(nullptr, nullptr, nullptr);
    return at_;
  }
  pos_type seekpos(pos_type pos, std::ios_base::openmode mode) override {
    return seekoff(pos, std::ios_base::beg, mode);
  }

 private:
  char line_[64];
  int64_t at_ = 0;
};

class EndlessStream : public std::istream {
 public:
  EndlessStream() : std::istream(&log_) {}

 private:
  EndlessLog log_;
};

// A log of a billion lines (30 GB), made up as it is read: the first
// frames play at once, the last one's time comes from the tail, and
// nothing reads it whole.
TEST(RecordedLog, AHugeLogStreams) {
  const LogOpening log = ReadRecordedLog(std::make_unique<EndlessStream>(),
                                         EndlessLog::kLines * EndlessLog::kLineBytes,
                                         LogFormat::Candump, "endless.log");
  ASSERT_TRUE(log.frames) << log.error;
  RecordedFrame frame;
  for (int64_t k = 0; k < 3; ++k) {
    ASSERT_TRUE(log.frames->Next(frame));
    EXPECT_EQ(frame.time_ns, k * 1'000'000'000);
  }
  EXPECT_EQ(log.frames->LastTimeNs(), (EndlessLog::kLines - 1) * 1'000'000'000);
  EXPECT_LT(log.frames->Position(), 1e-6);
}

// Another round reads the same frames again and counts its skipped lines
// once more; the position runs to the end. Times that count from the
// event before leave the last frame's time untold.
TEST(RecordedLog, RewindPlaysTheSameFramesAgain) {
  struct Case {
    std::string text;
    LogFormat format;
    std::optional<int64_t> last_ns;
  };
  const Case cases[] = {
      {"base hex timestamps absolute\n1.0 1 123 Rx d 0\n1.5 1 ErrorFrame\n", LogFormat::Asc,
       1'000'000'000},
      {"base hex timestamps relative\n1.0 1 123 Rx d 0\n1.5 1 ErrorFrame\n", LogFormat::Asc,
       std::nullopt},
      {"(5.0) can0 123#\n(6.0) can0 1#\n(7.0) can0 20000080#\n", LogFormat::Candump, 6'000'000'000},
  };
  for (const auto& [text, format, last_ns] : cases) {
    const LogOpening log = Read(text, format);
    ASSERT_TRUE(log.frames) << log.error;
    EXPECT_EQ(log.frames->LastTimeNs(), last_ns);
    EXPECT_EQ(log.frames->Position(), 0.0);
    const Lines first = ReadAll(*log.frames);
    EXPECT_EQ(log.frames->Position(), 1.0);
    ASSERT_TRUE(log.frames->Rewind());
    EXPECT_EQ(ReadAll(*log.frames), first);
    EXPECT_EQ(log.frames->skipped().error, 2);
  }
}

// Lines at and past the length kept, with and without a line break.
TEST(BoundedLineReader, PassesOverLinesTooLongToKeep) {
  const std::string kept(BoundedLineReader::kMaxLineBytes, 'k');
  const std::string lost(BoundedLineReader::kMaxLineBytes + 1, 'l');
  const std::string huge(200'000, 'h');
  std::istringstream in("a\r\n" + kept + "\n" + lost + "\r\n" + huge + "\nb\n\n" + huge);
  BoundedLineReader reader(in);
  std::vector<std::pair<size_t, bool>> seen;
  for (TextLine line; reader.Next(line);) seen.emplace_back(line.text.size(), line.too_long);
  EXPECT_EQ(seen, (std::vector<std::pair<size_t, bool>>{{1, false},
                                                        {kept.size(), false},
                                                        {0, true},
                                                        {0, true},
                                                        {1, false},
                                                        {0, false},
                                                        {0, true}}));
  EXPECT_EQ(reader.consumed(), in.str().size());
}

TEST(RecordedLog, GuessesTheFormatFromTheNameOrTheFirstLine) {
  const std::tuple<const char*, const char*, LogFormat> cases[] = {
      {"drive.ASC", "(1.0) can0 123#", LogFormat::Asc},
      {"drive.log", "date Thu Dec 5 10:00:00 2024", LogFormat::Asc},
      {"drive.txt", "Base hex timestamps absolute", LogFormat::Asc},
      {"drive", "// version 9.0", LogFormat::Asc},
      {"drive.log", "(1.0) can0 123#", LogFormat::Candump},
      {"drive.asc.log", "", LogFormat::Candump},
  };
  for (const auto& [name, first_line, format] : cases) {
    EXPECT_EQ(GuessLogFormat(name, first_line), format) << name;
  }
}

}  // namespace
}  // namespace telpod
