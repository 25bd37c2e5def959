#pragma once
// The clock of the items' start and elapsed times: 100-ns ticks since 1601, as in a FILETIME.
#include <winsock2.h>
#include <windows.h>

#include <cstdint>

int64_t currentTimeTicks();
int64_t fileTimeTicks(const FILETIME& time);
FILETIME ticksToFileTime(int64_t ticks);
