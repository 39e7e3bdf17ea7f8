#include "app/tab_about_dlg.h"

#include "app/resources/dialog_templates.h"

CTabAboutDlg::CTabAboutDlg() : DialogWindow(AboutPageTemplate()) {}

void CTabAboutDlg::OnInitDialog() {
    PaintWhite();
}
