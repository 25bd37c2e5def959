#pragma once
// The folder that holds the control's temporary header files, and the header files in it.
#include <string>
#include <vector>

// The folder at construction: the system temporary folder + the control's folder name + "\".
std::wstring defaultHeaderFolder();

// The header folder for a DownloadSessionTempSubfolder value (trimmed here):
//   ""                         -> "" (no header files are written)
//   a path with a drive or     -> that path, ending in a backslash
//   network root
//   anything else              -> the default header folder + the value + "\"
std::wstring headerFolderForSubfolder(const std::wstring& value);

// Full paths of the files in `folder` (ending in a backslash) that match the header file pattern.
std::vector<std::wstring> findHeaderFiles(const std::wstring& folder);

// Deletes every header file in `folder`; other files and sub-folders stay. Failures are ignored.
void deleteHeaderFiles(const std::wstring& folder);
