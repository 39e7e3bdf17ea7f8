#include "hash/tab_hash_dlg.h"

#include <QCheckBox>
#include <QLabel>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <filesystem>
#include <memory>
#include <string>

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

QString SectionHeader(const AlgorithmRow& algorithm) {
    return QStringLiteral("\r\n\r\n") + QString::fromUtf8(algorithm.name) + QStringLiteral(":\r\n");
}

// What a section holds after its header: the digest, or why there is none.
QString SectionBody(const FileResult& outcome, const QString& digestText) {
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
    m_editResult = ItemAs<QPlainTextEdit>(kResultEdit);
    m_progress = Progress(kProgressBar);
    m_staticThread = ItemAs<QLabel>(kStatusText);
    m_btnStop = ItemAs<QPushButton>(kStopButton);
    m_btnOpen = ItemAs<QPushButton>(kOpenButton);
    m_chkMd5 = ItemAs<QCheckBox>(kAlgorithms[0].checkBox);
    m_chkSha1 = ItemAs<QCheckBox>(kAlgorithms[1].checkBox);
    m_chkSha256 = ItemAs<QCheckBox>(kAlgorithms[2].checkBox);
    m_chkSha512 = ItemAs<QCheckBox>(kAlgorithms[3].checkBox);
    m_chkKeccak = ItemAs<QCheckBox>(kAlgorithms[4].checkBox);
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
    m_useMd5 = m_chkMd5->isChecked();
    m_useSha1 = m_chkSha1->isChecked();
    m_useSha256 = m_chkSha256->isChecked();
    m_useSha512 = m_chkSha512->isChecked();
    m_useKeccak = m_chkKeccak->isChecked();
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
    const QStringList chosen =
        SelectedPaths(ShowOpenFileDialog(this, Text("所有文件(*.*)"), false, m_filePath));
    if (chosen.isEmpty()) return;
    m_filePath = chosen.front();
    StartWorker();
}

void CTabHashDlg::OpenDroppedFile(const QString& path) {
    m_filePath = path;
    m_pendingDrop = 1;
    OnOpen();
}

void CTabHashDlg::OnStop() {
    // Returns at once; nothing the worker posted reaches the page afterwards,
    // so the result edit keeps its content.
    m_hWorker.Stop();
    m_staticThread->setText(CancelledText());
    m_progress->setValue(0);
    SetRunningControls(false);
}

void CTabHashDlg::StartWorker() {
    HashRequest request;
    request.path = m_filePath;
    const int use[kAlgorithmCount] = {m_useMd5, m_useSha1, m_useSha256, m_useSha512, m_useKeccak};
    for (int i = 0; i < kAlgorithmCount; ++i) request.use[i] = use[i] != 0;
    auto result = std::make_shared<QString>();
    SetRunningControls(true);
    const bool started =
        m_hWorker.Start([this, request, result](
                            const JobContext& job) { *result = HashWorker(this, request, job); },
                        [this, result] { FinishRun(*result); });
    if (!started) SetRunningControls(false);
}

QString CTabHashDlg::HashWorker(CTabHashDlg* page, const HashRequest& request,
                                const JobContext& job) {
    QString result = Text("文件路径: ") + request.path;
    const std::filesystem::path path = ToPath(request.path);
    HashProgressTarget target{page, &job};
    for (int i = 0; i < kAlgorithmCount; ++i) {
        if (!request.use[i]) continue;
        const AlgorithmRow& algorithm = kAlgorithms[i];
        job.Post(
            [page, status = Text(algorithm.status)] { page->m_staticThread->setText(status); });
        std::vector<uint8_t> digest;
        const FileResult outcome =
            HashFileWith(algorithm.algorithm, path, digest, &CTabHashDlg::HashProgress, &target,
                         job.StopToken());
        if (outcome.outcome == FileOutcome::kStopped) return {};
        result += SectionHeader(algorithm) +
                  SectionBody(outcome, QString::fromStdString(DigestHex(digest)));
    }
    return result;
}

void CTabHashDlg::HashProgress(int32_t percent, void* context) {
    const auto* target = static_cast<const HashProgressTarget*>(context);
    CTabHashDlg* page = target->page;
    target->job->Post([page, percent] { page->m_progress->setValue(percent); });
}

void CTabHashDlg::FinishRun(const QString& result) {
    m_progress->setValue(0);
    SetResult(result);
    m_staticThread->setText(Text("就绪"));
    SetRunningControls(false);
}

void CTabHashDlg::SetRunningControls(bool running) {
    for (const AlgorithmRow& algorithm : kAlgorithms) EnableItem(algorithm.checkBox, !running);
    m_btnOpen->setEnabled(!running);
    m_btnStop->setEnabled(running);
}

void CTabHashDlg::SetResult(const QString& text) {
    // The edit's own line break is a plain line feed; it shows (and copies)
    // the text line by line.
    m_editResult->setPlainText(QString(text).replace(QStringLiteral("\r\n"), QStringLiteral("\n")));
}
