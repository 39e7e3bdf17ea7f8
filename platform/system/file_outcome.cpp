#include "platform/system/file_outcome.h"

#include <cerrno>

FileResult FailureFromErrno(FileOutcome outcome) {
    return FileResult{outcome, errno};
}
