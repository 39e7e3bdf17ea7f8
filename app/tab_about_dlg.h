#pragma once
// The About page (tab 3): what the program is, and the check box that adds or
// removes the file managers' "Open with Quorvane" entry.

#include <string>

#include "platform/desktop/desktop_entry.h"
#include "platform/desktop/dialog_window.h"

class CTabAboutDlg : public DialogWindow {
  public:
    /// `programPath` is the program the entry starts; by default this program.
    explicit CTabAboutDlg(std::u16string programPath = ProgramFilePath());

    /// The click on check box 1037, after it changed its state.
    void OnContextMenuCheck();

  protected:
    void OnInitDialog() override;

  private:
    std::u16string programPath_;
};
