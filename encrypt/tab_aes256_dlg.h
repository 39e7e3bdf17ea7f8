#pragma once
// The encryption page (tab 0): a list of files encrypted or decrypted in turn.

#include <QString>

#include "platform/desktop/dialog_window.h"

class ListView;

class CTabAES256Dlg : public DialogWindow {
  public:
    CTabAES256Dlg();

    /// Inserts a row at `position` (0..row count) with the path, size text and
    /// status text; later rows move down.
    void InsertFileRow(int position, const QString& path, const QString& sizeText,
                       const QString& statusText);
    ListView* FileList() const;

  protected:
    void OnInitDialog() override;
};

/// The size text of a file for the list: "<KiB> KB" or "打开文件失败".
QString SizeTextOf(const QString& path);
