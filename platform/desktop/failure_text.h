#pragma once
// Why a file of a run failed, in the interface's language. The pages keep
// their short row texts ("加密失败", "擦除失败") and show this as the row's
// tooltip, so a failure always says what happened.

#include <string>

#include "platform/system/file_outcome.h"

/// The reason for `result` in the interface's language, with the system's
/// own text for its error number where there is one; empty when it is done.
std::u16string FailureReason(const FileResult& result);

/// The C library's text for `error`, in the locale's language.
std::u16string SystemErrorText(int error);
