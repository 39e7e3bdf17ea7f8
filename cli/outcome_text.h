#pragma once
// The one table that turns a file's outcome into quorvane-cli's message.

#include <string>

#include "platform/system/file_outcome.h"

/// A short English sentence for `result` (no file name, no full stop), with
/// the system's reason where it gave one: "no space left on the device".
std::string DescribeOutcome(const FileResult& result);
