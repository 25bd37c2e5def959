#pragma once
// The copy thread of a save job: copies cached full-size files to their target names and posts one
// WM_PHOTO_COPIED record per file (with the copy's Win32 error when it failed). A failed copy
// leaves no partial file under the target name. After a copy it looks at the stop flag; a stopped
// job gets one record with the thread-ended flag and every photo index of the job, so that the
// main window can release them all.
#include <windows.h>

// parameter: a CopyPhotosParams allocated with new; the thread deletes it. Returns 0.
DWORD WINAPI copyPhotosThreadProc(LPVOID parameter);
