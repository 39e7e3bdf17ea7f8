#pragma once
// Pushing written data from the page cache to the storage device.

#include <filesystem>

/// Flushes the kernel's cached data and metadata of the open file `fd` to the
/// storage device (fsync). Returns false when the device reports an error:
/// written data may then be lost and must not be trusted.
bool SyncFileDescriptor(int fd);

/// Makes a rename or a deletion inside `folder` durable by syncing the folder
/// itself. Returns false when the folder cannot be opened or synced.
bool SyncFolder(const std::filesystem::path& folder);
