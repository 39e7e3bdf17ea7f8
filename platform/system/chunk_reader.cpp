#include "platform/system/chunk_reader.h"

#include <algorithm>
#include <cerrno>
#include <system_error>

ChunkReader::ChunkReader(FileHandle& file, uint64_t total, std::size_t chunk_size,
                         bool closing_chunk, std::size_t buffer_size)
    : file_(file),
      total_(total),
      chunk_size_(chunk_size),
      chunk_count_(total == kToFileEnd ? kToFileEnd
                   : closing_chunk     ? total / chunk_size + 1
                                       : (total + chunk_size - 1) / chunk_size) {
    for (auto& buffer : buffers_) {
        buffer = std::make_unique<SecretBuffer>(buffer_size);
        if (!buffer->ok()) return;
    }
    file_.AdviseSequential();
    try {
        thread_ = std::jthread([this](std::stop_token stop) { ReadAll(stop); });
    } catch (const std::system_error& failure) {
        start_error_ = failure.code().value();
        return;  // no thread: the caller fails the file instead of the program
    }
    started_ = true;
}

ChunkReader::~ChunkReader() {
    if (!thread_.joinable()) return;
    thread_.request_stop();
    {
        std::lock_guard lock(mutex_);
        changed_.notify_all();
    }
    thread_.join();
}

std::size_t ChunkReader::SizeOfChunk(uint64_t index) const {
    if (total_ == kToFileEnd) return chunk_size_;
    const uint64_t start = index * chunk_size_;
    return static_cast<std::size_t>(std::min<uint64_t>(chunk_size_, total_ - start));
}

void ChunkReader::ReadAll(std::stop_token stop) {
    for (uint64_t index = 0; index < chunk_count_; ++index) {
        {
            // Wait for a free buffer: at most kBuffers chunks are out at once.
            std::unique_lock lock(mutex_);
            changed_.wait(lock,
                          [&] { return stop.stop_requested() || filled_ - consumed_ < kBuffers; });
            if (stop.stop_requested()) return;
        }
        Chunk& chunk = chunks_[index % kBuffers];
        chunk.data = buffers_[index % kBuffers]->data();
        const std::size_t wanted = SizeOfChunk(index);
        const int64_t got = file_.ReadUpTo(chunk.data, wanted);
        chunk.error = got < 0 ? errno : 0;
        if (total_ == kToFileEnd) {
            chunk.ok = got >= 0;
            chunk.size = got >= 0 ? static_cast<std::size_t>(got) : 0;
            chunk.last = got < static_cast<int64_t>(wanted);
        } else {
            chunk.ok = got == static_cast<int64_t>(wanted);
            chunk.size = wanted;
            chunk.last = index + 1 == chunk_count_;
        }
        std::lock_guard lock(mutex_);
        ++filled_;
        changed_.notify_all();
        if (!chunk.ok || chunk.last) {
            reading_done_ = true;  // nothing after a failed read counts
            return;
        }
    }
}

ChunkReader::Chunk ChunkReader::Next() {
    std::unique_lock lock(mutex_);
    if (!manual_release_ && taken_ > consumed_) {
        ++consumed_;  // the caller is done with the previous chunk
        changed_.notify_all();
    }
    if (!started_ || taken_ >= chunk_count_) return {};
    changed_.wait(lock, [&] { return filled_ > taken_ || reading_done_; });
    if (filled_ <= taken_) return {};
    return chunks_[taken_++ % kBuffers];
}

void ChunkReader::Release() {
    std::lock_guard lock(mutex_);
    ++consumed_;
    changed_.notify_all();
}
