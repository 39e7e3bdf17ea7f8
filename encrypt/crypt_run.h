#pragma once
// A run of the encryption page or of `quorvane-cli encrypt|decrypt` over a
// list of files: one decision, made here for both faces, of how each output
// is named, which file procedure runs, and when a source is wiped.

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <span>
#include <stop_token>

#include "platform/system/file_outcome.h"
#include "tools/wipe.h"

enum class CryptCipher { kAes256, kCamellia256 };
enum class CryptDirection { kEncrypt, kDecrypt };

/// When sources are wiped after their container is complete.
enum class SourceWipePolicy {
    kKeep,
    /// Each source is wiped (one pass) once its container is complete, until
    /// the first file that fails: no later source of the run is wiped, so a
    /// run that went wrong destroys nothing more.
    kWipeUntilFirstFailure,
};

struct CryptRunSettings {
    CryptCipher cipher = CryptCipher::kAes256;
    CryptDirection direction = CryptDirection::kEncrypt;
    /// Ignored when decrypting: a decrypted container is never wiped.
    SourceWipePolicy wipe = SourceWipePolicy::kKeep;
    /// False: a file whose output name exists fails (kDestinationRefused)
    /// instead of replacing it.
    bool replace_existing = true;
    /// Files worked on at once (0: one per core). Outcomes still come in
    /// list order, and a source is wiped only once every earlier file of the
    /// list succeeded. The pages work on one file at a time.
    unsigned jobs = 1;
};

/// How a file of the run ended.
enum class CryptFileOutcome {
    kFailed,      ///< nothing written; the source as it was
    kDone,        ///< the output is complete
    kDoneWiped,   ///< the output is complete and the source wiped and deleted
    kWipeFailed,  ///< the output is complete; wiping the source failed
    /// The output is complete; a stop came before its source was wiped, and
    /// the source is kept as it was.
    kDoneNotWiped,
};

/// What the run tells its listener, on the worker's thread.
struct CryptRunEvent {
    enum class Kind {
        kFileStarted,   ///< `destination` is the output's name
        kProgress,      ///< `percent`: the file procedure's value
        kWipeStarted,   ///< the container is complete; the source is being wiped
        kWipeProgress,  ///< `wipe`: where the wipe stands
        kFileFinished,  ///< `outcome`
    };
    Kind kind;
    std::size_t index;  ///< the file in the run
    const std::filesystem::path* destination = nullptr;
    int32_t percent = 0;
    WipePosition wipe{};
    CryptFileOutcome outcome = CryptFileOutcome::kFailed;
    /// kFileFinished: why the file procedure (kFailed) or the wipe
    /// (kWipeFailed) failed.
    FileResult result{};
};

using CryptRunListener = std::function<void(const CryptRunEvent&)>;

/// The output path of `source` under `settings` (the page's naming rule).
std::filesystem::path CryptOutputPath(const std::filesystem::path& source,
                                      const CryptRunSettings& settings);

/// Encrypts or decrypts `sources` one after another with `key`. A failed
/// file does not end the run. A stop request ends it before the next chunk,
/// block or file; the file then being worked on gets no kFileFinished: its
/// output is not written, and when the stop came while its source was being
/// wiped, the partly overwritten source is deleted (the complete container is
/// the only copy left). An output already put in place stays done: a stop
/// that comes after it ends the run with that file finished (kDoneNotWiped
/// when its source was still to be wiped). A source is wiped through the very
/// file that was encrypted; when its name has gone to another file meanwhile,
/// nothing is overwritten (kWipeFailed, kSourceReplaced). Returns false when
/// stopped.
bool RunCryptFiles(std::span<const std::filesystem::path> sources, const uint8_t key[32],
                   const CryptRunSettings& settings, const CryptRunListener& listener,
                   std::stop_token stop = {});
