#include "encrypt/tab_aes256_dlg.h"

#include "app/resources/dialog_templates.h"
#include "encrypt/file_size.h"
#include "platform/desktop/list_view.h"
#include "platform/desktop/path_text.h"

namespace {
constexpr int kFileList = 1003;
}

QString SizeTextOf(const QString& path) {
    return FromUtf8(FormatSizeText(QueryFileSize(ToPath(path))));
}

CTabAES256Dlg::CTabAES256Dlg() : DialogWindow(EncryptionPageTemplate()) {}

void CTabAES256Dlg::OnInitDialog() {
    PaintWhite();
    ListView* list = FileList();
    if (list->ColumnWidth(0) == 0) {
        list->SetReportStyle(true);
        list->InsertColumn(0, QStringLiteral("文件路径"), 410);
        list->InsertColumn(1, QStringLiteral("文件大小"), 110);
        list->InsertColumn(2, QStringLiteral("状态"), 120);
    }
}

ListView* CTabAES256Dlg::FileList() const {
    return List(kFileList);
}

void CTabAES256Dlg::InsertFileRow(int position, const QString& path, const QString& sizeText,
                                  const QString& statusText) {
    ListView* list = FileList();
    const int row = list->InsertRow(position, path);
    list->SetText(row, 1, sizeText);
    list->SetText(row, 2, statusText);
}
