#include "tools/tab_tools_dlg.h"

#include "app/resources/dialog_templates.h"
#include "platform/desktop/list_view.h"

namespace {
constexpr int kWipeList = 1003;
}

CTabToolsDlg::CTabToolsDlg() : DialogWindow(ToolsPageTemplate()) {}

void CTabToolsDlg::OnInitDialog() {
    PaintWhite();
    ListView* list = WipeList();
    if (list->ColumnWidth(0) == 0) {
        list->SetReportStyle(true);
        list->InsertColumn(0, QStringLiteral("文件路径"), 180);
        list->InsertColumn(1, QStringLiteral("状态"), 90);
    }
}

ListView* CTabToolsDlg::WipeList() const {
    return List(kWipeList);
}

void CTabToolsDlg::InsertWipeRow(int index, const QString& path, const QString& status) {
    ListView* list = WipeList();
    const int row = list->InsertRow(index, path);
    list->SetText(row, 1, status);
}
