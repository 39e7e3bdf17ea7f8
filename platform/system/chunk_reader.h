#pragma once
// Reads a file ahead of its consumer: a thread of its own fills the next
// buffers while the caller ciphers and writes the current one, so reading
// overlaps the work instead of waiting for it. The chunks are exactly what
// sequential reads of the same sizes would give.

#include <cerrno>
#include <condition_variable>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <mutex>
#include <thread>

#include "platform/system/file_handle.h"
#include "platform/system/secret_buffer.h"

class ChunkReader {
  public:
    struct Chunk {
        uint8_t* data = nullptr;  ///< the chunk's buffer, room for `buffer_size` bytes
        std::size_t size = 0;
        bool ok = false;    ///< false: a read failed or the file ended early
        bool last = false;  ///< no chunk follows this one
        int error = 0;      ///< a failed read's errno; 0 when the file ended early
    };

    /// A `total` that means: read until the file ends (until a read returns
    /// fewer bytes than asked), however large the file has become.
    static constexpr uint64_t kToFileEnd = UINT64_MAX;

    /// Reads `total` bytes of `file` from its current position in chunks of
    /// `chunk_size` bytes, into buffers of `buffer_size` (>= chunk_size)
    /// bytes that are wiped when released. With `closing_chunk`, the
    /// sequence always ends with a chunk shorter than `chunk_size`, possibly
    /// empty (as a loop that reads until a short read sees it); otherwise it
    /// ends with the last byte. `file` must outlive the reader.
    ChunkReader(FileHandle& file, uint64_t total, std::size_t chunk_size, bool closing_chunk,
                std::size_t buffer_size);
    /// Ends the reading thread (within one chunk) and wipes the buffers.
    ~ChunkReader();
    ChunkReader(const ChunkReader&) = delete;
    ChunkReader& operator=(const ChunkReader&) = delete;

    /// False when the buffers or the reading thread could not be had;
    /// nothing is read then.
    bool ok() const { return started_; }
    /// Why the reader is not ok(): the errno of the thread or the buffers.
    int start_error() const { return start_error_; }

    /// Waits for the next chunk. Its buffer is the caller's (to change in
    /// place) until the next call, which hands it back for reading, or, after
    /// KeepChunksUntilReleased(), until Release(). After the last chunk, and
    /// on a reader that is not ok(), it returns a chunk that is not ok.
    Chunk Next();

    /// From now on a chunk's buffer goes back for reading only through
    /// Release(), so that another thread can still write it out.
    void KeepChunksUntilReleased() { manual_release_ = true; }
    /// Hands the oldest chunk not yet handed back to the reading thread. May
    /// be called from any thread.
    void Release();

  private:
    static constexpr std::size_t kBuffers = 4;

    void ReadAll(std::stop_token stop);
    std::size_t SizeOfChunk(uint64_t index) const;

    FileHandle& file_;
    const uint64_t total_;
    const std::size_t chunk_size_;
    const uint64_t chunk_count_;
    std::unique_ptr<SecretBuffer> buffers_[kBuffers];
    Chunk chunks_[kBuffers];

    std::mutex mutex_;
    std::condition_variable changed_;
    uint64_t filled_ = 0;    // chunks read so far (guarded by mutex_)
    uint64_t consumed_ = 0;  // chunks handed back (guarded by mutex_)
    uint64_t taken_ = 0;     // chunks given to the caller
    bool started_ = false;
    int start_error_ = ENOMEM;
    bool reading_done_ = false;  // the thread read its last chunk (guarded by mutex_)
    bool manual_release_ = false;
    std::jthread thread_;
};
