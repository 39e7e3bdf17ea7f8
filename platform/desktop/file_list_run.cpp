#include "platform/desktop/file_list_run.h"

#include "platform/desktop/file_dialog.h"
#include "platform/desktop/path_text.h"
#include "platform/desktop/ui_text.h"

std::vector<std::u16string> ChooseFilesToAdd(DialogWindow* owner) {
    return ChooseFiles(owner, Text("所有文件(*.*)"), /*multiple=*/true);
}

void ShowRowStatus(ListView& list, int row, int statusColumn, const std::u16string& text,
                   const std::u16string& reason) {
    if (row < 0 || row >= list.Count()) return;
    list.SetToolTip(row, statusColumn, reason);
    list.SetText(row, statusColumn, text);
    list.EnsureVisible(row);
}

FileListRun::FileListRun(ListView& list, int statusColumn)
    : list_(&list), statusColumn_(statusColumn) {
    const int count = list.Count();
    paths_.reserve(count);
    rows_.reserve(count);
    for (int row = 0; row < count; ++row) {
        paths_.push_back(ToPath(list.Text(row, 0)));
        rows_.push_back(list.IdOfRow(row));
    }
    settled_.resize(paths_.size());
}

void FileListRun::Begin(std::size_t index) {
    const std::lock_guard lock(mutex_);
    current_ = index;
    lastProgress_.clear();
}

void FileListRun::ShowProgress(const JobContext& job, std::size_t index,
                               const std::u16string& text) {
    if (text == lastProgress_) return;  // nothing new to show
    lastProgress_ = text;
    Post(job, index, {text, {}});
}

void FileListRun::Settle(const JobContext& job, std::size_t index, const Status& status) {
    {
        const std::lock_guard lock(mutex_);
        settled_[index] = status;
    }
    Post(job, index, status);
}

void FileListRun::Post(const JobContext& job, std::size_t index, const Status& status) const {
    job.Post([list = list_, column = statusColumn_, id = rows_[index], status] {
        ShowRowStatus(*list, list->RowOfId(id), column, status.text, status.reason);
    });
}

void FileListRun::ShowSettled() const {
    // The worker may still be ending: take what it had settled at the stop.
    std::vector<Status> settled;
    std::optional<std::size_t> current;
    {
        const std::lock_guard lock(mutex_);
        settled = settled_;
        current = current_;
    }
    for (std::size_t i = 0; i < settled.size(); ++i) {
        const int row = list_->RowOfId(rows_[i]);
        if (settled[i].text.empty() || row < 0) continue;
        list_->SetToolTip(row, statusColumn_, settled[i].reason);
        // Rewriting an unchanged text would still tell the list's watchers
        // that it changed.
        if (list_->Text(row, statusColumn_) != settled[i].text)
            list_->SetText(row, statusColumn_, settled[i].text);
    }
    if (current && settled[*current].text.empty())
        ShowRowStatus(*list_, list_->RowOfId(rows_[*current]), statusColumn_, CancelledText());
}
