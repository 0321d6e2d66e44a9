#include "settings/import_report.h"

#include <cerrno>

#include "platform/file_system.h"

namespace telpod::Setting_import_export {

bool IsReadable(const std::string& path, ImportReport& report) {
  const int error = platform::FileReadError(path);
  if (error == 0) return true;
  report.error_number = error;
  report.refusal = error == ENOENT   ? ImportRefusal::NoFile
                   : error == EISDIR ? ImportRefusal::IsFolder
                                     : ImportRefusal::NotReadable;
  return false;
}

}  // namespace telpod::Setting_import_export
