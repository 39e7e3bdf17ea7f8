#pragma once
// What the pages with a file list share: the files the user adds, the rows
// removed, and a run over the list.
//
// A run works from the paths as they were listed when it started and follows
// each file's row by its identity, so rows that a drop inserts above it, or
// that are removed, during the run never misdirect a status. The worker
// records each file's final status before it posts it: Stop drops the posts
// still queued, and the page then writes what the worker had settled, and
// "已取消" on the file it was cut short in.

#include <cstddef>
#include <filesystem>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

#include "platform/desktop/job_runner.h"
#include "platform/desktop/list_view.h"

class DialogWindow;

/// Asks the user for files to add to a list (several at once): their paths.
std::vector<std::u16string> ChooseFilesToAdd(DialogWindow* owner);

/// Sets the status cell of `row` and its tooltip (none when `reason` is
/// empty: every status replaces the reason of the one before) and scrolls the
/// row into view. Does nothing for a row that does not exist.
void ShowRowStatus(ListView& list, int row, int statusColumn, const std::u16string& text,
                   const std::u16string& reason = {});

class FileListRun {
  public:
    /// A status text and, for a failure or a kept source, why.
    struct Status {
        std::u16string text;
        std::u16string reason;
    };

    /// Takes the paths in column 0 of `list` and the identities of its rows;
    /// statuses go to column `statusColumn`.
    FileListRun(ListView& list, int statusColumn);
    FileListRun(const FileListRun&) = delete;
    FileListRun& operator=(const FileListRun&) = delete;

    const std::vector<std::filesystem::path>& Paths() const { return paths_; }

    // On the worker thread.
    /// The worker now works on file `index`.
    void Begin(std::size_t index);
    /// Shows a passing status of file `index`; a text equal to the one shown
    /// last is not posted again.
    void ShowProgress(const JobContext& job, std::size_t index, const std::u16string& text);
    /// Records the final status of file `index` and shows it.
    void Settle(const JobContext& job, std::size_t index, const Status& status);

    /// On the window thread, after Stop: writes every status the worker had
    /// settled, and "已取消" on the file it had begun but not settled.
    void ShowSettled() const;

  private:
    /// Statuses the worker has shown but the window thread not yet written,
    /// with at most one update queued for all of them: a list of small files
    /// changes faster than the window could take one update per change.
    struct Unwritten {
        ListView* list = nullptr;
        int statusColumn = 0;
        std::vector<ListView::RowId> rows;  ///< the identity of each file's row
        std::mutex mutex;
        std::vector<std::pair<std::size_t, Status>> statuses;
        bool queued = false;
        /// How far the rows have moved since the run began (drops insert
        /// rows above), so that finding a file's row seldom searches.
        int shift = 0;

        /// On the window thread: writes what has gathered, in order.
        void Write();
        /// On the window thread: the row of file `index`, or -1 if deleted.
        int RowOf(std::size_t index);
    };

    void Post(const JobContext& job, std::size_t index, const Status& status) const;

    ListView* list_;  ///< named only on the window thread
    int statusColumn_;
    std::vector<std::filesystem::path> paths_;
    std::shared_ptr<Unwritten> unwritten_;

    mutable std::mutex mutex_;
    std::vector<Status> settled_;  ///< an empty text: not settled yet
    std::optional<std::size_t> current_;
    std::u16string lastProgress_;  ///< the worker's alone
};
