#include "support/sim_control.h"

#include <stdexcept>

namespace telpod::test {

std::string SimulatorPath(const char* file) {
  return std::string(TELPOD_PROGRAM_DIR) + "/drivers/" + file;
}

SimControl::SimControl(const char* file) {
  if (!library_.Open(SimulatorPath(file))) throw std::runtime_error(library_.error());
  Bind("cansim_reset", reset_);
  Bind("cansim_configure", configure_);
  Bind("cansim_call_count", call_count_);
  Bind("cansim_call_log_size", call_log_size_);
  Bind("cansim_call_log_entry", call_log_entry_);
  Bind("cansim_frame_count", frame_count_);
  Bind("cansim_get_frame", get_frame_);
  Bind("cansim_last_record", last_record_);
  Bind("cansim_set_log", set_log_);
}

template <typename Fn>
void SimControl::Bind(const char* name, Fn& out) {
  if (!library_.Resolve(name, out)) throw std::runtime_error(library_.error());
}

void SimControl::Reset() {
  reset_();
}

void SimControl::Configure(const std::string& text) {
  const std::string error = ConfigureError(text);
  if (!error.empty()) throw std::runtime_error("simulator configuration: " + error);
}

std::string SimControl::ConfigureError(const std::string& text) {
  char error[256] = {};
  return configure_(text.c_str(), error, sizeof error) == 0 ? "" : std::string(error);
}

long long SimControl::Calls(const char* entry) const {
  return call_count_(entry);
}

std::vector<std::string> SimControl::CallLog(size_t from) const {
  std::vector<std::string> log;
  char text[256];
  for (size_t i = from; i < call_log_size_(); ++i) {
    call_log_entry_(i, text, sizeof text);
    log.emplace_back(text);
  }
  return log;
}

std::vector<std::string> SimControl::CallsStartingWith(const std::string& prefix) const {
  std::vector<std::string> calls;
  for (auto& call : CallLog()) {
    if (call.rfind(prefix, 0) == 0) calls.push_back(call);
  }
  return calls;
}

std::vector<cansim_frame> SimControl::Frames() const {
  std::vector<cansim_frame> frames(frame_count_());
  for (size_t i = 0; i < frames.size(); ++i) get_frame_(i, &frames[i]);
  return frames;
}

std::vector<uint8_t> SimControl::LastRecord(const char* entry) const {
  std::vector<uint8_t> bytes(last_record_(entry, nullptr, 0));
  last_record_(entry, bytes.data(), bytes.size());
  return bytes;
}

void SimControl::SetLog(const std::string& target) {
  if (set_log_(target.c_str()) != 0) throw std::runtime_error("cannot open " + target);
}

}  // namespace telpod::test
