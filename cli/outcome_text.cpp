#include "cli/outcome_text.h"

#include <cstring>

#include "platform/system/error_numbers.h"

namespace {

std::string WithReason(const char* text, int error) {
    if (error == 0) return text;
    return std::string(text) + ": " + std::strerror(error);
}

std::string DescribeWriteError(int error) {
    switch (error) {
        case ENOSPC:
            return "write failed: no space left on the device";
        case EDQUOT:
            return "write failed: disk quota exceeded";
        case EFBIG:
            return "write failed: file too large for the destination";
        default:
            return WithReason("write failed", error);
    }
}

}  // namespace

std::string DescribeOutcome(const FileResult& result) {
    switch (result.outcome) {
        case FileOutcome::kDone:
            return "done";
        case FileOutcome::kCannotOpen:
            return WithReason("cannot open the file", result.error);
        case FileOutcome::kNotRegularFile:
            return WithReason("not a regular file", result.error);
        case FileOutcome::kBusy:
            return "in use by another run of quorvane";
        case FileOutcome::kNotContainer:
            return "not a container (its size cannot be one)";
        case FileOutcome::kWrongKey:
            return "wrong password or cipher, or not a container (the padding does not check)";
        case FileOutcome::kReadError:
            return WithReason("read failed", result.error);
        case FileOutcome::kWriteError:
            return DescribeWriteError(result.error);
        case FileOutcome::kSourceChanged:
            return "the file changed while it was read";
        case FileOutcome::kSourceReplaced:
            return "the file was replaced or removed meanwhile; nothing was overwritten";
        case FileOutcome::kStopped:
            return "stopped, nothing written";
        case FileOutcome::kDestinationRefused:
            return "the output exists and may not be replaced";
        case FileOutcome::kCannotDelete:
            return "the file cannot be deleted (its folder is not writable, or it is immutable); "
                   "nothing was overwritten";
        case FileOutcome::kSystemError:
            return WithReason("system error", result.error);
    }
    return "failed";
}
