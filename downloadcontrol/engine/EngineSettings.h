#pragma once
// The control's properties that steer a run. The control stores them; a file's worker threads take a
// copy when the file is started, so a change during a run affects only files started later.
#include <cstdint>

struct EngineSettings {
    bool commonSaveFolder = true;  // ask once for a folder for every relative save path
    int32_t concurrentDownloadFileCount = 3;
    int32_t receiveBufferSize = 4096;     // bytes
    int32_t minFileSegmentSize = 204800;  // bytes
    bool autoRemoveCompletedFiles = false;
    int32_t connectionTimeout = 30000;  // ms, bounds the connect step only
    int32_t retryWait = 10000;          // ms between two tries
    int32_t attempts = 1;               // RetryCount + 1
};
