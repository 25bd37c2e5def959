#include "downloadcontrol/engine/ClientFactory.h"

#include "downloadcontrol/net/FtpDownloader.h"
#include "downloadcontrol/net/HttpDownloader.h"

std::unique_ptr<DownloadClient> ProtocolClientFactory::makeClient(const DownloadItem& item,
                                                                  int32_t connectionTimeout,
                                                                  int32_t receiveBufferSize,
                                                                  LastErrorHolder& errors) {
    switch (item.protocol) {
    case ProtocolHttp:
    case ProtocolHttps:
        return std::make_unique<HttpDownloader>(
            item.protocol == ProtocolHttps, item.host, item.port, item.path, item.referer, item.userName,
            item.password, item.proxy.host, item.proxy.port, item.proxy.userName, item.proxy.password,
            item.proxy.method, connectionTimeout, receiveBufferSize, errors);
    case ProtocolFtp:
    case ProtocolFtps:
        return std::make_unique<FtpDownloader>(
            item.protocol == ProtocolFtps, item.implicitTls, item.host, item.port, item.path, item.userName,
            item.password, item.proxy.host, item.proxy.port, item.proxy.userName, item.proxy.password,
            item.proxy.method, connectionTimeout, receiveBufferSize, errors);
    default:
        return nullptr;
    }
}
