#pragma once
// The About page (tab 3).

#include "platform/desktop/dialog_window.h"

class CTabAboutDlg : public DialogWindow {
  public:
    CTabAboutDlg();

  protected:
    void OnInitDialog() override;
};
