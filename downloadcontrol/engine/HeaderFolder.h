#pragma once
// The folder that holds the control's temporary header files, and the header files in it.
#include <string>
#include <vector>

#include "downloadcontrol/ScopedHandle.h"

// The folder at construction: the system temporary folder + the control's folder name + "\".
std::wstring defaultHeaderFolder();

// The header folder for a DownloadSessionTempSubfolder value (trimmed here):
//   ""                         -> "" (no header files are written)
//   a path with a drive or     -> that path, ending in a backslash
//   network root
//   anything else              -> the default header folder + the value + "\"
std::wstring headerFolderForSubfolder(const std::wstring& value);

// A header name scope unique to the caller among the controls of every process: the default folder is
// shared by every control that keeps it, and file ids start at 0 in each of them.
std::wstring uniqueHeaderNameScope();

// Full paths of the files in `folder` (ending in a backslash) that match the header file pattern of
// `scope`.
std::vector<std::wstring> findHeaderFiles(const std::wstring& folder, const std::wstring& scope = {});

// Deletes every header file of `scope` in `folder`; other files and sub-folders stay. Failures are
// ignored. With a scope, the header files of other scopes whose process has ended go too: like this
// scope's own, they are the folder's files that no running control owns.
void deleteHeaderFiles(const std::wstring& folder, const std::wstring& scope = {});

// Gives the header files in `folder` whose scope's process has ended the name of `scope` (same file id),
// so that only this control resumes them. A file whose id `scope` has already keeps its name.
void takeOverHeaderFiles(const std::wstring& folder, const std::wstring& scope);

// A run's hold on a header folder that its host named: while one control's run holds it, no other
// control starts a run in it, resumes from it or clears it, so none deletes or overwrites the header
// files of that run. Between runs the headers are closed and consistent, and any control may resume them.
// The hold is a file in the folder opened without sharing, which the system deletes when it is closed,
// also when the process ends.
class HeaderFolderClaim {
public:
    // False when another control's run holds the folder. A folder that cannot hold the file (missing or
    // read-only) is not held by anybody.
    bool acquire(const std::wstring& folder);
    void release();

private:
    ScopedHandle file_;
    std::wstring folder_;
};
