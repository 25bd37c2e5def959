#pragma once
// Makes the protocol client that one worker thread drives. The engine asks for a new client on every
// file thread, segment thread and size query; a test can hand the engine a factory of its own.
#include <cstdint>
#include <memory>

#include "downloadcontrol/LastErrorHolder.h"
#include "downloadcontrol/engine/DownloadItem.h"
#include "downloadcontrol/net/DownloadClient.h"

class DownloadClientFactory {
public:
    virtual ~DownloadClientFactory() = default;
    // A client for the item's protocol, server, path, credentials and proxy copy, reporting into
    // `errors`; null when the protocol has no client. Called from worker threads at the same time.
    virtual std::unique_ptr<DownloadClient> makeClient(const DownloadItem& item, int32_t connectionTimeout,
                                                       int32_t receiveBufferSize,
                                                       LastErrorHolder& errors) = 0;
};

// HTTP and HTTPS through the control's own HTTP client, FTP and FTP over TLS through its FTP client.
class ProtocolClientFactory final : public DownloadClientFactory {
public:
    std::unique_ptr<DownloadClient> makeClient(const DownloadItem& item, int32_t connectionTimeout,
                                               int32_t receiveBufferSize, LastErrorHolder& errors) override;
};
