#include "platform/desktop/file_list_run.h"

#include <utility>

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
    : list_(&list), statusColumn_(statusColumn), unwritten_(std::make_shared<Unwritten>()) {
    const int count = list.Count();
    paths_.reserve(count);
    unwritten_->list = &list;
    unwritten_->statusColumn = statusColumn;
    unwritten_->rows.reserve(count);
    for (int row = 0; row < count; ++row) {
        paths_.push_back(ToPath(list.Text(row, 0)));
        unwritten_->rows.push_back(list.IdOfRow(row));
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
    bool queue = false;
    {
        const std::lock_guard lock(unwritten_->mutex);
        unwritten_->statuses.emplace_back(index, status);
        queue = !std::exchange(unwritten_->queued, true);
    }
    if (queue) job.Post([unwritten = unwritten_] { unwritten->Write(); });
}

void FileListRun::Unwritten::Write() {
    std::vector<std::pair<std::size_t, Status>> gathered;
    {
        const std::lock_guard lock(mutex);
        gathered.swap(statuses);
        queued = false;
    }
    int lastRow = -1;
    for (const auto& [index, status] : gathered) {
        const int row = RowOf(index);
        if (row < 0) continue;
        list->SetToolTip(row, statusColumn, status.reason);
        list->SetText(row, statusColumn, status.text);
        lastRow = row;
    }
    // Scrolling once to the latest row is what the user sees anyway.
    if (lastRow >= 0) list->EnsureVisible(lastRow);
}

int FileListRun::Unwritten::RowOf(std::size_t index) {
    const int guess = static_cast<int>(index) + shift;
    if (guess >= 0 && guess < list->Count() && list->IdOfRow(guess) == rows[index]) return guess;
    const int row = list->RowOfId(rows[index]);
    if (row >= 0) shift = row - static_cast<int>(index);
    return row;
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
        if (settled[i].text.empty()) continue;
        const int row = unwritten_->RowOf(i);
        if (row < 0) continue;
        list_->SetToolTip(row, statusColumn_, settled[i].reason);
        // Rewriting an unchanged text would still tell the list's watchers
        // that it changed.
        if (list_->Text(row, statusColumn_) != settled[i].text)
            list_->SetText(row, statusColumn_, settled[i].text);
    }
    if (current && settled[*current].text.empty())
        ShowRowStatus(*list_, unwritten_->RowOf(*current), statusColumn_, CancelledText());
}
