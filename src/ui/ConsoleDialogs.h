#pragma once

#include <istream>
#include <ostream>

#include "ui/Dialogs.h"

namespace vorlix {

// Dialogs for a terminal or a script: messages go to the streams handed in,
// answers come from the input stream, one line each.
class ConsoleDialogs final : public Dialogs {
  public:
    ConsoleDialogs(std::istream& in, std::ostream& out, std::ostream& err);

    Answer MessageBox(const std::string& text, const std::string& caption, MessageIcon icon,
                      MessageButtons buttons, DefaultButton defaultButton) override;
    void ShowDiagnostic(const std::string& text, const std::string& caption,
                        MessageIcon icon) override;
    void Note(const std::string& text, const std::string& caption) override;
    std::optional<std::string> OpenFile(const FileDialogRequest& request) override;
    void ShowEmergencyHelp(const std::string& caption, const std::string& text) override;

  private:
    std::istream& in_;
    std::ostream& out_;
    std::ostream& err_;
};

}  // namespace vorlix
