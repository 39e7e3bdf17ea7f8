#pragma once
// The hash page (tab 1): digests of one file with any of five algorithms.

#include <QString>

#include "platform/desktop/dialog_window.h"

class CTabHashDlg : public DialogWindow {
  public:
    CTabHashDlg();

    /// The action of the "打开..." button: hashes the pending dropped file, or
    /// asks the user for one.
    void OnOpen();

    /// The path to hash; set by the main window's drop routing.
    QString m_filePath;
    /// 1 while m_filePath holds a dropped path that OnOpen has not used yet.
    int m_pendingDrop = 0;

  protected:
    void OnInitDialog() override;
};
