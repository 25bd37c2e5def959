#pragma once
// The file-time thread of a save job: gives the user's files that were in the folder before the job
// their times (creation, last access, last write): files of loaded items their item time, the
// user's other files their own time moved by the block's offset, so that they keep their spacing
// and end just before the oldest item. Posts WM_PHOTO_TIMES_UPDATED after each batch of files and
// once at the end. A file that cannot be opened or stamped is skipped and counted all the same.
#include <windows.h>

// parameter: an UpdatePhotoTimesParams allocated with new; the thread deletes it. Returns 0.
DWORD WINAPI updatePhotoTimesThreadProc(LPVOID parameter);
