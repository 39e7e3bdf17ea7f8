#include "encrypt/crypt_run.h"

#include <algorithm>
#include <mutex>
#include <vector>

#include "encrypt/file_crypt.h"
#include "encrypt/output_naming.h"
#include "platform/system/file_sync.h"
#include "platform/system/ordered_list_run.h"

namespace {

using FileProcedure = FileResult (*)(const std::filesystem::path&, const std::filesystem::path&,
                                     const uint8_t*, ProgressCallback, void*, std::stop_token,
                                     const FileCryptOptions&);

FileProcedure ProcedureFor(const CryptRunSettings& settings) {
    const bool decrypt = settings.direction == CryptDirection::kDecrypt;
    if (settings.cipher == CryptCipher::kCamellia256)
        return decrypt ? DecryptFileCamellia256 : EncryptFileCamellia256;
    return decrypt ? DecryptFileAes256 : EncryptFileAes256;
}

// Hands the procedure's percentages on as events.
struct ProgressRelay {
    const CryptRunListener* listener;
    std::size_t index;

    static void Callback(int32_t percent, void* context) {
        const auto* self = static_cast<const ProgressRelay*>(context);
        CryptRunEvent event{CryptRunEvent::Kind::kProgress, self->index};
        event.percent = percent;
        (*self->listener)(event);
    }
};

// Wipes a source whose container is complete, through the file that was
// read. A wipe cut short (a stop, a write error) has already overwritten part
// of the source: rather than leave a damaged file under the source's name
// (which a rerun would encrypt over the good container), it is deleted.
// `started` tells whether any block was about to be written.
FileResult WipeSource(HeldFile& source, std::size_t index, const CryptRunListener& listener,
                      const std::stop_token& stop, bool& started) {
    constexpr int kPasses = 1;
    listener({CryptRunEvent::Kind::kWipeStarted, index});
    return WipeHeldFile(
        source, kPasses,
        [&](const WipePosition& position) {
            started = true;
            CryptRunEvent event{CryptRunEvent::Kind::kWipeProgress, index};
            event.wipe = position;
            listener(event);
        },
        stop, InterruptedWipe::kDelete);
}

void ReportFinished(const CryptRunListener& listener, std::size_t index,
                    const std::filesystem::path& destination, CryptFileOutcome outcome,
                    const FileResult& result) {
    CryptRunEvent finished{CryptRunEvent::Kind::kFileFinished, index};
    finished.destination = &destination;
    finished.outcome = outcome;
    finished.result = result;
    listener(finished);
}

}  // namespace

std::filesystem::path CryptOutputPath(const std::filesystem::path& source,
                                      const CryptRunSettings& settings) {
    return OutputPathFor(source, settings.cipher == CryptCipher::kCamellia256,
                         settings.direction == CryptDirection::kDecrypt);
}

namespace {

// What the work on one file left for its delivery in list order.
struct WorkedFile {
    std::filesystem::path destination;
    FileResult result;
    HeldFile source;  // open and locked while its wipe may follow
};

// The folders that received outputs without a sync of their own, synced once
// when the run ends.
class FolderSyncs {
  public:
    ~FolderSyncs() {
        for (const std::filesystem::path& folder : folders_) SyncFolder(folder);
    }
    void Add(const std::filesystem::path& file) {
        const std::filesystem::path parent = file.parent_path();
        const std::filesystem::path folder = parent.empty() ? "." : parent;
        if (std::find(folders_.begin(), folders_.end(), folder) == folders_.end())
            folders_.push_back(folder);
    }

  private:
    std::vector<std::filesystem::path> folders_;
};

// Hands on the outcomes in list order, wiping sources as the policy says:
// only after every earlier file of the list succeeded, and never after a stop.
class CryptDelivery {
  public:
    CryptDelivery(const CryptRunListener& listener, const std::stop_token& stop, bool wipe)
        : listener_(listener), stop_(stop), wipe_(wipe) {}

    void operator()(std::size_t i, WorkedFile& file) {
        ++delivered_;
        if (file.result.outcome == FileOutcome::kStopped) {
            stopped_ = true;  // no outcome: nothing of it was written
            return;
        }
        if (!file.result.done()) {
            wipe_ = false;
            Report(i, file, CryptFileOutcome::kFailed, file.result);
            return;
        }
        if (!wipe_) {
            Report(i, file, CryptFileOutcome::kDone, file.result);
            return;
        }
        // The container is in place: it counts as done whatever comes now.
        if (stopped_ || stop_.stop_requested()) {
            stopped_ = true;
            Report(i, file, CryptFileOutcome::kDoneNotWiped, file.result);
            return;
        }
        bool overwriting = false;
        const FileResult wiped = WipeSource(file.source, i, listener_, stop_, overwriting);
        if (wiped.outcome == FileOutcome::kStopped) {
            stopped_ = true;
            // Stopped before anything was overwritten: the source is whole.
            if (!overwriting) Report(i, file, CryptFileOutcome::kDoneNotWiped, file.result);
            return;
        }
        Report(i, file, wiped.done() ? CryptFileOutcome::kDoneWiped : CryptFileOutcome::kWipeFailed,
               wiped);
    }

    bool Finished(std::size_t count) const { return !stopped_ && delivered_ == count; }

  private:
    void Report(std::size_t i, WorkedFile& file, CryptFileOutcome outcome,
                const FileResult& result) {
        ReportFinished(listener_, i, file.destination, outcome, result);
        file.source = {};  // its lock goes with it
    }

    const CryptRunListener& listener_;
    const std::stop_token& stop_;
    bool wipe_;
    bool stopped_ = false;
    std::size_t delivered_ = 0;
};

}  // namespace

bool RunCryptFiles(std::span<const std::filesystem::path> sources, const uint8_t key[32],
                   const CryptRunSettings& settings, const CryptRunListener& listener,
                   std::stop_token stop) {
    const FileProcedure procedure = ProcedureFor(settings);
    const bool wiping = settings.direction == CryptDirection::kEncrypt &&
                        settings.wipe == SourceWipePolicy::kWipeUntilFirstFailure;
    // Files worked on at once tell the listener one at a time.
    std::mutex listening;
    const CryptRunListener serial = [&](const CryptRunEvent& event) {
        std::lock_guard lock(listening);
        listener(event);
    };
    FolderSyncs folders;
    std::mutex folders_guard;
    const auto work = [&](std::size_t i) {
        WorkedFile file;
        file.destination = CryptOutputPath(sources[i], settings);
        CryptRunEvent started{CryptRunEvent::Kind::kFileStarted, i};
        started.destination = &file.destination;
        serial(started);
        ProgressRelay relay{&serial, i};
        FileCryptOptions options;
        options.replace_existing = settings.replace_existing;
        // A container's name must be durable before its source is wiped;
        // other outputs' folders are synced once, at the end.
        options.sync_folder = wiping;
        options.keep_source = wiping ? &file.source : nullptr;
        file.result = procedure(sources[i], file.destination, key, ProgressRelay::Callback, &relay,
                                stop, options);
        if (file.result.done() && !wiping) {
            std::lock_guard lock(folders_guard);
            folders.Add(file.destination);
        }
        return file;
    };
    CryptDelivery deliver(serial, stop, wiping);
    RunListInOrder<WorkedFile>(sources.size(), ListJobs(settings.jobs), work, std::ref(deliver),
                               stop);
    return deliver.Finished(sources.size());
}
