#include "hash/tab_hash_dlg.h"

#include "app/resources/dialog_templates.h"

CTabHashDlg::CTabHashDlg() : DialogWindow(HashPageTemplate()) {}

void CTabHashDlg::OnInitDialog() {
    PaintWhite();
}

void CTabHashDlg::OnOpen() {}
