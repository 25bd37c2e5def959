#include "saving/JobSync.h"

void waitForEither(HANDLE first, HANDLE second, DWORD milliseconds) {
    HANDLE handles[2];
    DWORD count = 0;
    if (first)
        handles[count++] = first;
    if (second)
        handles[count++] = second;
    if (count == 0 || WaitForMultipleObjects(count, handles, FALSE, milliseconds) == WAIT_FAILED)
        Sleep(milliseconds);
}
