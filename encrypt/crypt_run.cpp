#include "encrypt/crypt_run.h"

#include <system_error>

#include "encrypt/file_crypt.h"
#include "encrypt/output_naming.h"

namespace {

using FileProcedure = bool (*)(const std::filesystem::path&, const std::filesystem::path&,
                               const uint8_t*, ProgressCallback, void*, std::stop_token);

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

// Wipes a source whose container is complete. A wipe cut short by a stop has
// already overwritten part of the source: rather than leave a damaged file
// under the source's name (which a rerun would encrypt over the good
// container), it is deleted.
bool WipeSource(const std::filesystem::path& source, std::size_t index,
                const CryptRunListener& listener, const std::stop_token& stop) {
    constexpr int kPasses = 1;
    listener({CryptRunEvent::Kind::kWipeStarted, index});
    bool touched = false;
    const bool wiped = WipeFileReporting(
        source, kPasses,
        [&](const WipePosition& position) {
            touched = true;
            CryptRunEvent event{CryptRunEvent::Kind::kWipeProgress, index};
            event.wipe = position;
            listener(event);
        },
        stop);
    if (!wiped && touched && stop.stop_requested()) {
        std::error_code ignored;
        std::filesystem::remove(source, ignored);
    }
    return wiped;
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
        const bool done =
            procedure(sources[i], destination, key, ProgressRelay::Callback, &relay, stop);
        if (stop.stop_requested()) return false;
        CryptFileOutcome outcome = done ? CryptFileOutcome::kDone : CryptFileOutcome::kFailed;
        if (!done) {
            wipe = false;
        } else if (wipe) {
            // The container is complete here: only now may the source go.
            const bool wiped = WipeSource(sources[i], i, listener, stop);
            if (stop.stop_requested()) return false;
            outcome = wiped ? CryptFileOutcome::kDoneWiped : CryptFileOutcome::kWipeFailed;
        }
        CryptRunEvent finished{CryptRunEvent::Kind::kFileFinished, i};
        finished.destination = &destination;
        finished.outcome = outcome;
        listener(finished);
    }
    return true;
}
