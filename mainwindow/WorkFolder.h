#pragma once
// The work folder: where the program keeps downloaded pages, thumbnails and full-size files
// during a run. It is "Pixhaul" under the folder the settings name (customTemporaryFolder), else
// under the system's temporary folder; a setting that is not a full path or cannot be created
// gives way to the system's folder for this run (the setting itself stays).
#include <functional>
#include <string>

// The folder a customTemporaryFolder value names, ending in a backslash; empty for an empty value.
std::wstring customWorkBase(const std::wstring& value);

// A path that names its drive or server: "C:\..." or "\\server\share...".
bool isFullPath(const std::wstring& path);

// The product folder under a base that ends in a backslash.
std::wstring workFolderUnder(const std::wstring& base);

// The work paths of a run, all under the work folder.
struct WorkPaths {
    std::wstring folder;
    std::wstring thumbnailsFolder;
    std::wstring pageFilePath;
    std::wstring secondWorkFilePath;
    std::wstring viewerFolder;
    std::wstring versionFilePath;
};
WorkPaths workPathsFor(const std::wstring& folder);

// Picks the work folder. makeFolders creates a candidate's sub-folders and tells whether they
// exist afterwards. usable is false when no candidate could be made; folder is then the last one
// tried, which the caller names in its warning. refusedCustom is the chosen custom folder that
// could not be made (the system's folder then stands in for this run), else empty.
struct WorkFolderChoice {
    std::wstring folder;
    bool usable = false;
    std::wstring refusedCustom;
};
WorkFolderChoice chooseWorkFolder(const std::wstring& customValue, const std::wstring& systemTempFolder,
                                  const std::function<bool(const std::wstring& folder)>& makeFolders);

// The warning for a run without a usable work folder, naming the folder that could not be made.
std::wstring unusableWorkFolderText(const std::wstring& folder);

// ---- file-system parts

// The system's temporary folder, ending in a backslash.
std::wstring systemTemporaryFolder();
// Creates the thumbnail and viewer folders of a work folder; true when both exist afterwards.
bool makeWorkFolders(const std::wstring& folder);
// Deletes the six work files of a run and the files in the thumbnail and viewer folders (their
// sub-folders stay). Failures are ignored.
void deleteWorkFiles(const WorkPaths& paths);
