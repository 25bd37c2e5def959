#pragma once
// Settles the save path of each file when Download starts a run:
//   - an empty path (or the marker text) asks with a save dialog;
//   - an absolute path is used as given; one ending in a backslash is a folder, and the file's display
//     name (or the name from its URL) is appended; a path that begins with two backslashes (a network
//     or extended-length path) is absolute;
//   - a path that begins with a single backslash is relative to a folder that the user picks; with a
//     common save folder the first folder picked serves every such file of the run.
#include <cstdint>
#include <string>

#include "downloadcontrol/engine/SaveDialogs.h"

class SavePathResolver {
public:
    SavePathResolver(SaveDialogs& dialogs, bool commonSaveFolder);

    // The file's settled save path in `savePath`; false with `error` 1 (a folder dialog was cancelled)
    // or 2 (a save dialog was cancelled).
    bool resolve(const std::wstring& givenPath, const std::wstring& displayFileName,
                 const std::wstring& nameFromUrl, std::wstring& savePath, int32_t& error);

private:
    SaveDialogs& dialogs_;
    const bool commonSaveFolder_;
    std::wstring lastFolder_;
    std::wstring commonFolder_;
};
