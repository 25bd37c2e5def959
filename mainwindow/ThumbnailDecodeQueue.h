#pragma once
// The thumbnail decoder's book of requests, kept apart from its thread and window so it is tested
// without them: one request per tile at most, the newest one of a tile replacing any it made
// before, and tickets that tell a result of the tile's newest request from a stale one (the tile
// got another photo, or a new size, while an older request was decoded).
#include <cstdint>
#include <deque>
#include <string>
#include <unordered_map>

struct ThumbnailDecodeJob {
    const void* client = nullptr;
    uint64_t ticket = 0;
    std::wstring path;
    int width = 0;  // the scaled copy's size
    int height = 0;
};

class ThumbnailDecodeQueue {
public:
    // Queues the job for client and returns its ticket; a job the client queued before and that
    // was not taken yet is dropped, and a result of an earlier ticket is no longer current.
    uint64_t request(const void* client, const std::wstring& path, int width, int height);
    // The client wants no result any more (its photo went, or it goes away).
    void cancel(const void* client);
    // Takes the oldest queued job; false when there is none.
    bool take(ThumbnailDecodeJob& job);
    // Whether a result of ticket is for its client's newest request; a current result is taken
    // once: afterwards the client has no request.
    bool takeResult(const void* client, uint64_t ticket);
    bool empty() const { return jobs_.empty(); }

private:
    std::deque<ThumbnailDecodeJob> jobs_;
    std::unordered_map<const void*, uint64_t> current_;  // each client's newest ticket
    uint64_t lastTicket_ = 0;
};
