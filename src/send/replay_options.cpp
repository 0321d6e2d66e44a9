#include "send/replay_options.h"

#include <algorithm>

namespace telpod {

bool ReplayOptions::ChosenId(uint32_t id) const {
  return ids.empty() || std::any_of(ids.begin(), ids.end(), [id](const IdRange& range) {
           return range.first <= id && id <= range.last;
         });
}

}  // namespace telpod
