#include "downloadcontrol/engine/TransferClock.h"

int64_t fileTimeTicks(const FILETIME& time) {
    ULARGE_INTEGER value;
    value.LowPart = time.dwLowDateTime;
    value.HighPart = time.dwHighDateTime;
    return static_cast<int64_t>(value.QuadPart);
}

FILETIME ticksToFileTime(int64_t ticks) {
    ULARGE_INTEGER value;
    value.QuadPart = static_cast<ULONGLONG>(ticks);
    FILETIME time;
    time.dwLowDateTime = value.LowPart;
    time.dwHighDateTime = value.HighPart;
    return time;
}

int64_t currentTimeTicks() {
    FILETIME now;
    GetSystemTimeAsFileTime(&now);
    return fileTimeTicks(now);
}
