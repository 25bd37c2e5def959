#include "mainwindow/ThumbnailDecodeQueue.h"

#include <algorithm>

uint64_t ThumbnailDecodeQueue::request(const void* client, const std::wstring& path, int width, int height) {
    cancel(client);
    const uint64_t ticket = ++lastTicket_;
    current_[client] = ticket;
    jobs_.push_back(ThumbnailDecodeJob{client, ticket, path, width, height});
    return ticket;
}

void ThumbnailDecodeQueue::cancel(const void* client) {
    if (current_.erase(client) == 0)
        return;
    jobs_.erase(std::remove_if(jobs_.begin(), jobs_.end(),
                               [client](const ThumbnailDecodeJob& job) { return job.client == client; }),
                jobs_.end());
}

bool ThumbnailDecodeQueue::take(ThumbnailDecodeJob& job) {
    if (jobs_.empty())
        return false;
    job = std::move(jobs_.front());
    jobs_.pop_front();
    return true;
}

bool ThumbnailDecodeQueue::takeResult(const void* client, uint64_t ticket) {
    const auto found = current_.find(client);
    if (found == current_.end() || found->second != ticket)
        return false;
    current_.erase(found);
    return true;
}
