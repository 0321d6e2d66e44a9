#include "settings/logs/recorded_log.h"

#include <filesystem>
#include <fstream>

#include "platform/translation.h"
#include "platform/window_services.h"
#include "settings/logs/asc_lines.h"
#include "settings/logs/candump_lines.h"
#include "settings/logs/log_file_reader.h"
#include "settings/logs/log_words.h"

namespace telpod {

namespace {

constexpr platform::SourceText kCannotOpen =
    TELPOD_TEXT("RecordedLog", "ログファイル %1 を開けません。");
constexpr platform::SourceText kNoFrame =
    TELPOD_TEXT("RecordedLog", "ログファイル %1 には送信できるフレームがありません。");

std::unique_ptr<LogLineFormat> FormatReader(LogFormat format) {
  if (format == LogFormat::Asc) return std::make_unique<AscLines>();
  return std::make_unique<CandumpLines>();
}

// The first line with something on it, within the reader's line length.
std::string FirstLine(std::istream& in) {
  BoundedLineReader lines(in);
  TextLine line;
  while (lines.Next(line)) {
    if (line.too_long) return {};
    if (LogWords(line.text).count > 0) return std::string(line.text);
  }
  return {};
}

}  // namespace

LogFormat GuessLogFormat(std::string_view name, std::string_view first_line) {
  const std::string extension = std::filesystem::path(name).extension().string();
  if (SameWord(extension, ".asc")) return LogFormat::Asc;
  const std::string_view first = LogWords(first_line)[0];
  for (const char* word : {"date", "base", "begin", "internal", "no"}) {
    if (SameWord(first, word)) return LogFormat::Asc;
  }
  return first.starts_with("//") ? LogFormat::Asc : LogFormat::Candump;
}

LogOpening OpenRecordedLog(const std::string& path) {
  std::error_code error;
  const auto size = std::filesystem::file_size(path, error);
  auto in = std::make_unique<std::ifstream>(path, std::ios::binary);
  if (error || !in->is_open()) return {nullptr, platform::Tr(kCannotOpen, {path})};
  const LogFormat format = GuessLogFormat(path, FirstLine(*in));
  in->clear();
  in->seekg(0);
  return ReadRecordedLog(std::move(in), size, format, path);
}

LogOpening ReadRecordedLog(std::unique_ptr<std::istream> in, uint64_t size, LogFormat format,
                           const std::string& name) {
  auto reader = std::make_unique<LogFileReader>(std::move(in), size, FormatReader(format));
  if (!reader->Prepare()) {
    std::string text = platform::Tr(kNoFrame, {name});
    const std::string found = CountsText(SkippedLineReasons(reader->skipped()));
    if (!found.empty()) text += platform::kCrLf + found;
    return {nullptr, text};
  }
  return {std::move(reader), {}};
}

}  // namespace telpod
