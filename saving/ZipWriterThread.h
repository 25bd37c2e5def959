#pragma once
// The zip writer thread of a zip job: it takes the finished files from the job's zip queue as they
// come, appends each to the archive and deletes it, and at the end closes the archive, empties and
// removes the staging folder and posts its final record (WM_ZIP_PROGRESS, done 1). It waits for
// files on the queue's and the stop flag's events. A stop ends it after the file being added and
// leaves a closed archive of whole entries; an archive that cannot be written is deleted and its
// error goes into the final record.
#include <windows.h>

// parameter: a ZipPhotosParams allocated with new; the thread deletes it. Returns 0.
DWORD WINAPI zipPhotosThreadProc(LPVOID parameter);
