#pragma once
// What the worker threads of one control share with it while a run goes on: the error holder and its
// stop request, the control lock, the positioned writer, the notification window, the stop event, the
// client factory and the list of files whose threads run. The control outlives every worker thread.
#include <winsock2.h>
#include <windows.h>

#include <cstdint>
#include <vector>

#include "downloadcontrol/CriticalSection.h"
#include "downloadcontrol/LastErrorHolder.h"
#include "downloadcontrol/engine/ClientFactory.h"
#include "downloadcontrol/engine/NotificationWindow.h"
#include "downloadcontrol/engine/PositionedWriter.h"

class DownloadItem;

struct TransferContext {
    LastErrorHolder& errors;
    CriticalSection& controlLock;
    PositionedWriter& writer;
    NotificationWindow& window;
    HANDLE stopEvent;
    DownloadClientFactory* clients;       // replaced only while no run is under way
    std::vector<DownloadItem*>& running;  // under the control lock

    // The same context with a transfer's own error holder in place of the control's.
    TransferContext withErrors(LastErrorHolder& own) const {
        return TransferContext{own, controlLock, writer, window, stopEvent, clients, running};
    }
};
