#include "core/simulator.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace cansim {

Simulator& Simulator::Get() {
  static Simulator simulator(ThisFamily());
  return simulator;
}

Simulator::Simulator(FamilyModel& family)
    : family_(family),
      names_(family.EntryPoints()),
      shared_bus_(
          [&family](std::string_view bus, const BusFrame& frame) { family.Receive(bus, frame); }) {
  // Room for the whole call log and capture up front: growing them during a
  // connection would stall a write for milliseconds now and then. Their
  // pages are written once here too, or the first connections' writes would
  // now and then each take the page fault of a fresh page.
  calls_.resize(kCallLogLimit);
  calls_.clear();
  frames_.resize(kFrameLimit);
  frames_.clear();
  Apply(ConfigAtStart(names_.front()));
  log_.OpenNamedLogs();
}

void Simulator::Apply(const Config& config) {
  log_.Flush();
  counts_.assign(names_.size(), 0);
  calls_.clear();
  faults_.clear();
  has_fault_.assign(names_.size(), false);
  records_.assign(names_.size(), Record{});
  frames_.clear();
  dropped_frames_ = 0;
  for (const FaultSpec& f : config.faults) {
    // Faults for another library's entry points are that library's.
    if (const auto entry = EntryIndex(f.entry.c_str())) {
      faults_.push_back({*entry, f.first_call, f.count, f.result});
      has_fault_[*entry] = true;
    }
  }
  shared_bus_.Configure(config.shared_bus_folder);
  family_.Apply(config);
}

void Simulator::Reset() {
  Config config;
  std::string error;
  ParseConfig(kDefaultConfig, config, error);
  Apply(config);
}

bool Simulator::Configure(std::string_view text, std::string& error) {
  Config config;
  if (!ParseConfig(text, config, error)) return false;
  Apply(config);
  return true;
}

std::optional<size_t> Simulator::EntryIndex(const char* name) const {
  if (name == nullptr) return std::nullopt;
  for (size_t i = 0; i < names_.size(); ++i) {
    if (std::strcmp(names_[i], name) == 0) return i;
  }
  return std::nullopt;
}

std::optional<int64_t> Simulator::Enter(size_t entry, std::initializer_list<Arg> args) {
  const long long n = ++counts_[entry];
  if (calls_.size() < kCallLogLimit) {
    Call& call = calls_.emplace_back();
    call.entry = static_cast<uint16_t>(entry);
    call.argc = static_cast<uint8_t>(std::min(args.size(), kMaxArgs));
    call.text_mask = 0;
    call.texts.fill('\0');
    size_t text_at = 0, i = 0;
    for (const Arg& arg : args) {
      if (i == kMaxArgs) break;
      call.values[i] = arg.value;
      if (arg.is_text) {
        call.text_mask |= static_cast<uint8_t>(1u << i);
        const char* t = arg.text ? arg.text : "(null)";
        // Each text keeps what fits of the space left, with its NUL.
        while (*t != '\0' && text_at + 1 < kTextBytes) call.texts[text_at++] = *t++;
        if (text_at < kTextBytes) call.texts[text_at++] = '\0';
      }
      ++i;
    }
  }
  if (!has_fault_[entry]) return std::nullopt;
  for (const Fault& f : faults_) {
    if (f.entry == entry && n >= f.first_call && (f.count < 0 || n < f.first_call + f.count)) {
      return f.result;
    }
  }
  return std::nullopt;
}

void Simulator::KeepRecord(size_t entry, const void* bytes, size_t size) {
  Record& r = records_[entry];
  r.size = size;
  std::memcpy(r.bytes.data(), bytes, std::min(size, r.bytes.size()));
}

int64_t Simulator::Capture(const WireFrame& frame) {
  const int64_t now = clock_.Monotonic();
  const int64_t wall = clock_.ToRealtime(now);
  if (frames_.size() < kFrameLimit) {
    cansim_frame& f = frames_.emplace_back();
    f.monotonic_ns = now;
    f.realtime_ns = wall;
    f.device = frame.device;
    f.id = frame.id;
    f.extended = frame.extended ? 1 : 0;
    f.remote = frame.remote ? 1 : 0;
    f.dlc = frame.dlc;
    std::memcpy(f.data, frame.data, sizeof f.data);
    f.raw_size = static_cast<uint32_t>(std::min<size_t>(frame.raw_size, CANSIM_RAW_MAX));
    std::memcpy(f.raw, frame.raw, f.raw_size);
  } else {
    ++dropped_frames_;
  }
  log_.Write(wall, frame);
  return now;
}

long long Simulator::CallCount(const char* entry) const {
  const auto i = EntryIndex(entry);
  return i ? counts_[*i] : -1;
}

std::optional<std::string> Simulator::CallLogEntry(size_t index) const {
  if (index >= calls_.size()) return std::nullopt;
  const Call& call = calls_[index];
  std::string text = names_[call.entry];
  text += '(';
  const char* next_text = call.texts.data();
  for (size_t i = 0; i < call.argc; ++i) {
    if (i > 0) text += ',';
    if (call.text_mask & (1u << i)) {
      const size_t len = strnlen(next_text, kTextBytes - (next_text - call.texts.data()));
      text += '"';
      text.append(next_text, len);
      text += '"';
      next_text = std::min(next_text + len + 1, call.texts.data() + kTextBytes - 1);
    } else {
      text += std::to_string(call.values[i]);
    }
  }
  text += ')';
  return text;
}

bool Simulator::AddFault(const char* entry, int64_t first_call, int64_t count, int64_t result) {
  const auto i = EntryIndex(entry);
  if (!i) return false;
  faults_.push_back({*i, first_call, count, result});
  has_fault_[*i] = true;
  return true;
}

size_t Simulator::TakeFrames(cansim_frame* out, size_t max) {
  const size_t n = std::min(max, frames_.size());
  if (n == 0 || out == nullptr) return 0;
  std::copy_n(frames_.begin(), n, out);
  frames_.erase(frames_.begin(), frames_.begin() + static_cast<std::ptrdiff_t>(n));
  return n;
}

size_t Simulator::LastRecord(const char* entry, void* out, size_t size) const {
  const auto i = EntryIndex(entry);
  if (!i) return 0;
  const Record& r = records_[*i];
  if (out) std::memcpy(out, r.bytes.data(), std::min({size, r.size, r.bytes.size()}));
  return r.size;
}

bool Simulator::SetLog(const char* target) {
  return log_.Open(target ? target : "");
}

}  // namespace cansim
