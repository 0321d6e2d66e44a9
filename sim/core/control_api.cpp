// The control interface of cansim_control.h, the same in every library.
#include <cstring>

#include "cansim_control.h"
#include "core/export.h"
#include "core/simulator.h"

using cansim::Simulator;

CANSIM_EXPORT void cansim_reset(void) {
  Simulator::Get().Reset();
}

CANSIM_EXPORT int cansim_configure(const char* text, char* error, size_t error_size) {
  std::string why;
  if (Simulator::Get().Configure(text ? text : "", why)) return 0;
  if (error && error_size > 0) {
    const size_t n = std::min(why.size(), error_size - 1);
    std::memcpy(error, why.data(), n);
    error[n] = '\0';
  }
  return -1;
}

CANSIM_EXPORT long long cansim_call_count(const char* entry_point) {
  return Simulator::Get().CallCount(entry_point);
}

CANSIM_EXPORT size_t cansim_call_log_size(void) {
  return Simulator::Get().CallLogSize();
}

CANSIM_EXPORT int cansim_call_log_entry(size_t index, char* text, size_t text_size) {
  const auto entry = Simulator::Get().CallLogEntry(index);
  if (!entry) return -1;
  if (text && text_size > 0) {
    const size_t n = std::min(entry->size(), text_size - 1);
    std::memcpy(text, entry->data(), n);
    text[n] = '\0';
  }
  return static_cast<int>(entry->size());
}

CANSIM_EXPORT int cansim_fault(const char* entry_point, long long first_call, long long count,
                               long long result) {
  return Simulator::Get().AddFault(entry_point, first_call, count, result) ? 0 : -1;
}

CANSIM_EXPORT size_t cansim_frame_count(void) {
  return Simulator::Get().frames().size();
}

CANSIM_EXPORT int cansim_get_frame(size_t index, cansim_frame* out) {
  const auto& frames = Simulator::Get().frames();
  if (index >= frames.size() || out == nullptr) return -1;
  *out = frames[index];
  return 0;
}

CANSIM_EXPORT size_t cansim_take_frames(cansim_frame* out, size_t max) {
  return Simulator::Get().TakeFrames(out, max);
}

CANSIM_EXPORT long long cansim_dropped_frames(void) {
  return Simulator::Get().dropped_frames();
}

CANSIM_EXPORT size_t cansim_last_record(const char* entry_point, void* out, size_t size) {
  return Simulator::Get().LastRecord(entry_point, out, size);
}

CANSIM_EXPORT int cansim_set_log(const char* target) {
  return Simulator::Get().SetLog(target) ? 0 : -1;
}

CANSIM_EXPORT void cansim_flush_log(void) {
  Simulator::Get().FlushLog();
}
