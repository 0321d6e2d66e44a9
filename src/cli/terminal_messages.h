#pragma once

#include <ostream>
#include <string>
#include <string_view>

#include "platform/window_services.h"

namespace telpod {

// Message boxes for a program without a window: each line of the text, as
// the boxes join them with CR LF, becomes a line of its own on `err`, led by
// the program's name ("telpod-send: No device was found."). The title names
// the program, which the lead already does. Questions get the safe answer.
class TerminalMessages final : public platform::MessageBoxes {
 public:
  TerminalMessages(std::ostream& err, std::string_view program) : err_(err), program_(program) {}

  void Show(const std::string& text, const std::string& title, platform::MessageIcon icon) override;
  // One line of the program's own.
  void Say(std::string_view line);

 private:
  std::ostream& err_;
  std::string program_;
};

}  // namespace telpod
