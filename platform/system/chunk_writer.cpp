#include "platform/system/chunk_writer.h"

#include <cerrno>
#include <system_error>

ChunkWriter::ChunkWriter(ReplacingFile& destination, ChunkReader& reader)
    : destination_(destination), reader_(reader) {
    reader_.KeepChunksUntilReleased();
    try {
        thread_ = std::jthread([this](std::stop_token stop) { Run(stop); });
    } catch (const std::system_error& error) {
        failed_ = true;  // nothing is written; the procedure fails the file
        system_error_ = error.code().value();
    }
}

ChunkWriter::~ChunkWriter() {
    if (!thread_.joinable()) return;
    thread_.request_stop();
    {
        std::lock_guard lock(mutex_);
        changed_.notify_all();
    }
    thread_.join();
}

void ChunkWriter::Write(const uint8_t* data, std::size_t size) {
    if (size == 0 || !thread_.joinable()) return;
    std::lock_guard lock(mutex_);
    queue_.push_back({data, size});
    changed_.notify_all();
}

void ChunkWriter::ReleaseChunk() {
    if (!thread_.joinable()) {
        reader_.Release();
        return;
    }
    std::lock_guard lock(mutex_);
    queue_.push_back({nullptr, 0});
    changed_.notify_all();
}

bool ChunkWriter::Failed() {
    std::lock_guard lock(mutex_);
    return failed_;
}

bool ChunkWriter::Finish() {
    if (!thread_.joinable()) return false;
    std::unique_lock lock(mutex_);
    changed_.wait(lock, [&] { return queue_.empty() && !busy_; });
    return !failed_;
}

void ChunkWriter::Run(std::stop_token stop) {
    std::unique_lock lock(mutex_);
    for (;;) {
        changed_.wait(lock, [&] { return stop.stop_requested() || !queue_.empty(); });
        if (stop.stop_requested()) return;
        const Item item = queue_.front();
        queue_.pop_front();
        busy_ = true;
        const bool skip = failed_;
        lock.unlock();
        bool ok = true;
        if (item.data == nullptr) {
            reader_.Release();
        } else if (!skip) {
            ok = destination_.Write(item.data, item.size);
        }
        lock.lock();
        busy_ = false;
        if (!ok) failed_ = true;
        changed_.notify_all();
    }
}
