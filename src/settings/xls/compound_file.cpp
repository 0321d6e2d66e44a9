#include "settings/xls/compound_file.h"

#include <gsf/gsf-infile-msole.h>
#include <gsf/gsf-infile.h>
#include <gsf/gsf-input-memory.h>
#include <gsf/gsf-input.h>
#include <gsf/gsf-outfile-msole.h>
#include <gsf/gsf-outfile.h>
#include <gsf/gsf-output-memory.h>
#include <gsf/gsf-output.h>

#include <memory>

namespace telpod::xls {
namespace {

struct ObjectUnref {
  void operator()(void* object) const { g_object_unref(object); }
};
using OutputPtr = std::unique_ptr<GsfOutput, ObjectUnref>;
using OutfilePtr = std::unique_ptr<GsfOutfile, ObjectUnref>;
using InputPtr = std::unique_ptr<GsfInput, ObjectUnref>;
using InfilePtr = std::unique_ptr<GsfInfile, ObjectUnref>;

// Excel's class id {00020820-0000-0000-C000-000000000046} as stored.
constexpr guint8 kExcelClassId[16] = {0x20, 0x08, 0x02, 0x00, 0x00, 0x00, 0x00, 0x00,
                                      0xC0, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x46};

// Streams below this size go into the container's small-block area, which
// some readers do not expect for the workbook; Excel's own are never that
// small. The zeros after the last EOF record are ignored by readers.
constexpr size_t kSmallStreamLimit = 4096;

}  // namespace

std::optional<std::string> PackWorkbookFile(std::string_view workbook_stream) {
  std::string stream(workbook_stream);
  if (stream.size() < kSmallStreamLimit) stream.resize(kSmallStreamLimit, '\0');

  OutputPtr sink(gsf_output_memory_new());
  if (!sink) return std::nullopt;
  bool ok = true;
  {
    OutfilePtr ole(gsf_outfile_msole_new(sink.get()));
    if (!ole) return std::nullopt;
    ok = gsf_outfile_msole_set_class_id(GSF_OUTFILE_MSOLE(ole.get()), kExcelClassId);
    OutputPtr child(gsf_outfile_new_child(ole.get(), "Workbook", FALSE));
    if (!child) return std::nullopt;
    ok = gsf_output_write(child.get(), stream.size(),
                          reinterpret_cast<const guint8*>(stream.data())) &&
         ok;
    ok = gsf_output_close(child.get()) && ok;
    ok = gsf_output_close(GSF_OUTPUT(ole.get())) && ok;
  }
  if (!ok) return std::nullopt;
  const gsf_off_t size = gsf_output_size(sink.get());
  const guint8* bytes = gsf_output_memory_get_bytes(GSF_OUTPUT_MEMORY(sink.get()));
  if (size <= 0 || bytes == nullptr) return std::nullopt;
  return std::string(reinterpret_cast<const char*>(bytes), static_cast<size_t>(size));
}

std::optional<std::string> UnpackWorkbookStream(std::string_view file, size_t max_size) {
  InputPtr source(gsf_input_memory_new(reinterpret_cast<const guint8*>(file.data()),
                                       static_cast<gsf_off_t>(file.size()), FALSE));
  if (!source) return std::nullopt;
  GError* error = nullptr;
  InfilePtr ole(gsf_infile_msole_new(source.get(), &error));
  g_clear_error(&error);
  if (!ole) return std::nullopt;
  InputPtr stream(gsf_infile_child_by_name(ole.get(), "Workbook"));
  if (!stream) stream.reset(gsf_infile_child_by_name(ole.get(), "Book"));
  if (!stream) return std::nullopt;
  const gsf_off_t size = gsf_input_size(stream.get());
  if (size < 0 || static_cast<uint64_t>(size) > max_size) return std::nullopt;
  std::string bytes(static_cast<size_t>(size), '\0');
  if (size > 0 && gsf_input_read(stream.get(), bytes.size(),
                                 reinterpret_cast<guint8*>(bytes.data())) == nullptr) {
    return std::nullopt;
  }
  return bytes;
}

}  // namespace telpod::xls
