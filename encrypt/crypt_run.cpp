#include "encrypt/crypt_run.h"

#include "encrypt/file_crypt.h"
#include "encrypt/output_naming.h"

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

bool RunCryptFiles(std::span<const std::filesystem::path> sources, const uint8_t key[32],
                   const CryptRunSettings& settings, const CryptRunListener& listener,
                   std::stop_token stop) {
    const FileProcedure procedure = ProcedureFor(settings);
    bool wipe = settings.direction == CryptDirection::kEncrypt &&
                settings.wipe == SourceWipePolicy::kWipeUntilFirstFailure;
    for (std::size_t i = 0; i < sources.size(); ++i) {
        if (stop.stop_requested()) return false;
        const std::filesystem::path destination = CryptOutputPath(sources[i], settings);
        CryptRunEvent started{CryptRunEvent::Kind::kFileStarted, i};
        started.destination = &destination;
        listener(started);

        ProgressRelay relay{&listener, i};
        HeldFile source;
        FileCryptOptions options;
        options.replace_existing = settings.replace_existing;
        options.keep_source = wipe ? &source : nullptr;
        const FileResult result =
            procedure(sources[i], destination, key, ProgressRelay::Callback, &relay, stop, options);
        if (result.outcome == FileOutcome::kStopped) return false;
        if (!result.done()) {
            wipe = false;
            ReportFinished(listener, i, destination, CryptFileOutcome::kFailed, result);
            continue;
        }
        if (!wipe) {
            ReportFinished(listener, i, destination, CryptFileOutcome::kDone, result);
            continue;
        }
        // The container is in place: it counts as done whatever comes now.
        if (stop.stop_requested()) {
            ReportFinished(listener, i, destination, CryptFileOutcome::kDoneNotWiped, result);
            return false;
        }
        bool overwriting = false;
        const FileResult wiped = WipeSource(source, i, listener, stop, overwriting);
        if (wiped.outcome == FileOutcome::kStopped) {
            // Stopped before anything was overwritten: the source is whole.
            if (!overwriting) {
                ReportFinished(listener, i, destination, CryptFileOutcome::kDoneNotWiped, result);
            }
            return false;
        }
        ReportFinished(listener, i, destination,
                       wiped.done() ? CryptFileOutcome::kDoneWiped : CryptFileOutcome::kWipeFailed,
                       wiped);
    }
    return true;
}
