#include "hash/tab_hash_dlg.h"

#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "hash/digest_text.h"
#include "hash/hash_algorithm.h"
#include "hash/tab_hash_template.h"
#include "platform/desktop/file_dialog.h"
#include "platform/desktop/message_box.h"
#include "platform/desktop/path_text.h"
#include "platform/desktop/ui_text.h"

namespace {

using namespace hash_page_ids;

constexpr int kAlgorithmCount = 5;

// The five algorithms in the order the worker runs them.
struct AlgorithmRow {
    int checkBox;
    const char* status;  // the status line while it runs
    const char* name;    // the name in its section header
    HashAlgorithm algorithm;
};

const AlgorithmRow kAlgorithms[kAlgorithmCount] = {
    {kMd5Check, "计算 MD5...", "MD5", HashAlgorithm::kMd5},
    {kSha1Check, "计算 SHA-1...", "SHA-1", HashAlgorithm::kSha1},
    {kSha256Check, "计算 SHA256...", "SHA256", HashAlgorithm::kSha256},
    {kSha512Check, "计算 SHA512...", "SHA512", HashAlgorithm::kSha512},
    {kKeccakCheck, "计算 Keccak...", "Keccak", HashAlgorithm::kKeccak},
};

std::u16string SectionHeader(const AlgorithmRow& algorithm) {
    return u"\r\n\r\n" + FromAscii(algorithm.name) + u":\r\n";
}

// What a section holds after its header: the digest, or why there is none.
std::u16string SectionBody(const FileResult& outcome, const std::u16string& digestText) {
    switch (outcome.outcome) {
        case FileOutcome::kDone:
            return digestText;
        case FileOutcome::kCannotOpen:
        case FileOutcome::kNotRegularFile:
            return Text("打开文件失败");
        default:
            return Text("读取文件失败");
    }
}

// The context the drivers hand to HashProgress: the page and the run.
struct HashProgressTarget {
    CTabHashDlg* page;
    const JobContext* job;
};

}  // namespace

CTabHashDlg::CTabHashDlg() : DialogWindow(HashPageTemplate()) {}

void CTabHashDlg::OnInitDialog() {
    PaintWhite();
    for (const AlgorithmRow& algorithm : kAlgorithms) SetChecked(algorithm.checkBox, true);
    m_pendingDrop = 0;
    OnClicked(kOpenButton, [this] { OnOpen(); });
    OnClicked(kStopButton, [this] { OnStop(); });
}

void CTabHashDlg::OnOpen() {
    if (Running()) {
        // Only a drop reaches here during a run ("打开..." is disabled). The
        // run goes on; the dropped file is forgotten rather than hashed later.
        m_pendingDrop = 0;
        return;
    }
    FocusItem(kResultEdit);
    m_useMd5 = IsChecked(kAlgorithms[0].checkBox);
    m_useSha1 = IsChecked(kAlgorithms[1].checkBox);
    m_useSha256 = IsChecked(kAlgorithms[2].checkBox);
    m_useSha512 = IsChecked(kAlgorithms[3].checkBox);
    m_useKeccak = IsChecked(kAlgorithms[4].checkBox);
    if (!(m_useMd5 || m_useSha1 || m_useSha256 || m_useSha512 || m_useKeccak)) {
        // A dropped path stays pending for the next press of "打开...".
        ShowMessage(this, Text("没有选择算法"), Text("提示"), MessageIcon::Exclamation);
        return;
    }
    if (m_pendingDrop == 1) {
        StartWorker();
        m_pendingDrop = 0;
        return;
    }
    // The dialog starts in the folder of the file hashed last.
    const std::vector<std::u16string> chosen =
        ChooseFiles(this, Text("所有文件(*.*)"), false, m_filePath);
    if (chosen.empty()) return;
    m_filePath = chosen.front();
    StartWorker();
}

void CTabHashDlg::OpenDroppedFile(const std::u16string& path) {
    m_filePath = path;
    m_pendingDrop = 1;
    OnOpen();
}

void CTabHashDlg::OnStop() {
    // Returns at once; nothing the worker posted reaches the page afterwards,
    // so the result edit keeps its content.
    m_hWorker.Stop();
    SetItemText(kStatusText, CancelledText());
    SetProgressPos(kProgressBar, 0);
    SetRunningControls(false);
}

void CTabHashDlg::StartWorker() {
    HashRequest request;
    request.path = m_filePath;
    const int use[kAlgorithmCount] = {m_useMd5, m_useSha1, m_useSha256, m_useSha512, m_useKeccak};
    for (int i = 0; i < kAlgorithmCount; ++i) request.use[i] = use[i] != 0;
    auto result = std::make_shared<std::u16string>();
    SetRunningControls(true);
    const bool started =
        m_hWorker.Start([this, request, result](
                            const JobContext& job) { *result = HashWorker(this, request, job); },
                        [this, result] { FinishRun(*result); });
    if (!started) SetRunningControls(false);
}

std::u16string CTabHashDlg::HashWorker(CTabHashDlg* page, const HashRequest& request,
                                       const JobContext& job) {
    std::u16string result = Text("文件路径: ") + request.path;
    const std::filesystem::path path = ToPath(request.path);
    HashProgressTarget target{page, &job};
    for (int i = 0; i < kAlgorithmCount; ++i) {
        if (!request.use[i]) continue;
        const AlgorithmRow& algorithm = kAlgorithms[i];
        job.Post(
            [page, status = Text(algorithm.status)] { page->SetItemText(kStatusText, status); });
        std::vector<uint8_t> digest;
        const FileResult outcome =
            HashFileWith(algorithm.algorithm, path, digest, &CTabHashDlg::HashProgress, &target,
                         job.StopToken());
        if (outcome.outcome == FileOutcome::kStopped) return {};
        result += SectionHeader(algorithm) + SectionBody(outcome, FromAscii(DigestHex(digest)));
    }
    return result;
}

void CTabHashDlg::HashProgress(int32_t percent, void* context) {
    const auto* target = static_cast<const HashProgressTarget*>(context);
    CTabHashDlg* page = target->page;
    target->job->Post([page, percent] { page->SetProgressPos(kProgressBar, percent); });
}

void CTabHashDlg::FinishRun(const std::u16string& result) {
    SetProgressPos(kProgressBar, 0);
    SetResult(result);
    SetItemText(kStatusText, Text("就绪"));
    SetRunningControls(false);
}

void CTabHashDlg::SetRunningControls(bool running) {
    for (const AlgorithmRow& algorithm : kAlgorithms) EnableItem(algorithm.checkBox, !running);
    EnableItem(kOpenButton, !running);
    EnableItem(kStopButton, running);
}

void CTabHashDlg::SetResult(const std::u16string& text) {
    // The edit's own line break is a plain line feed; it shows (and copies)
    // the text line by line.
    std::u16string lines;
    lines.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == u'\r' && i + 1 < text.size() && text[i + 1] == u'\n') continue;
        lines.push_back(text[i]);
    }
    SetItemText(kResultEdit, lines);
}
