#pragma once
// Writes a procedure's output on a thread of its own, in the order given,
// while the procedure ciphers the next chunk. Chunks come from a ChunkReader
// that keeps them until released: each goes back for reading once everything
// written from it is out.

#include <condition_variable>
#include <cstddef>
#include <cstdint>
#include <deque>
#include <mutex>
#include <thread>

#include "platform/system/chunk_reader.h"
#include "platform/system/replacing_file.h"

class ChunkWriter {
  public:
    /// Both must outlive the writer. Puts `reader` into release-by-hand mode.
    ChunkWriter(ReplacingFile& destination, ChunkReader& reader);
    /// Abandons what is still queued (the run failed or was stopped).
    ~ChunkWriter();
    ChunkWriter(const ChunkWriter&) = delete;
    ChunkWriter& operator=(const ChunkWriter&) = delete;

    /// Queues `size` bytes at `data` (inside the current chunk) for writing.
    void Write(const uint8_t* data, std::size_t size);
    /// Queues the release of the oldest chunk, after the writes queued so far.
    void ReleaseChunk();
    /// True once a write has failed (or the writing thread could not be
    /// started); nothing more is written then.
    bool Failed();
    /// The errno of a thread that could not be started, else 0 (the
    /// destination holds a failed write's reason).
    int system_error() const { return system_error_; }
    /// Waits until everything queued is done; true when every write succeeded.
    bool Finish();

  private:
    struct Item {
        const uint8_t* data;  // null: release a chunk
        std::size_t size;
    };
    void Run(std::stop_token stop);

    ReplacingFile& destination_;
    ChunkReader& reader_;
    std::mutex mutex_;
    std::condition_variable changed_;
    std::deque<Item> queue_;
    bool busy_ = false;
    bool failed_ = false;
    int system_error_ = 0;
    std::jthread thread_;
};
