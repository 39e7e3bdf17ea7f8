#pragma once
// The tools page (tab 2): password generator, Base64 and the wipe list.

#include <QString>

#include "platform/desktop/dialog_window.h"

class ListView;

class CTabToolsDlg : public DialogWindow {
  public:
    CTabToolsDlg();

    /// Inserts a row into the wipe list at `index` with the path and status.
    void InsertWipeRow(int index, const QString& path, const QString& status);
    ListView* WipeList() const;

  protected:
    void OnInitDialog() override;
};
