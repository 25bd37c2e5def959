#include "mainwindow/WorkFolder.h"
#include "common/PathFunctions.h"
#include "common/RegistryValues.h"
#include <windows.h>
#include <vector>

std::wstring customWorkBase(const std::wstring& value) {
    if (value.empty() || value.back() == L'\\')
        return value;
    return value + L'\\';
}

bool isFullPath(const std::wstring& path) {
    if (path.size() >= 3 && iswalpha(path[0]) && path[1] == L':' && path[2] == L'\\')
        return true;
    return path.size() >= 3 && path[0] == L'\\' && path[1] == L'\\' && path[2] != L'\\';
}

std::wstring workFolderUnder(const std::wstring& base) {
    return base + L"Pixhaul";
}

WorkPaths workPathsFor(const std::wstring& folder) {
    WorkPaths paths;
    paths.folder = folder;
    paths.thumbnailsFolder = folder + L"\\Thumbnails";
    paths.pageFilePath = folder + L"\\d9ff535a99e44cd28c270fbc83bc4215.txt";
    paths.secondWorkFilePath = folder + L"\\c1ff643818a94953906e449778f1791a.txt";
    paths.viewerFolder = folder + L"\\Viewer";
    paths.versionFilePath = folder + L"\\CurrentVersion.txt";
    return paths;
}

WorkFolderChoice chooseWorkFolder(const std::wstring& customValue, const std::wstring& systemTempFolder,
                                  const std::function<bool(const std::wstring& folder)>& makeFolders) {
    WorkFolderChoice choice;
    std::wstring custom = customWorkBase(customValue);
    if (!custom.empty() && isFullPath(custom)) {
        choice.folder = workFolderUnder(custom);
        if (makeFolders(choice.folder)) {
            choice.usable = true;
            return choice;
        }
        choice.refusedCustom = choice.folder;
    }
    choice.folder = workFolderUnder(customWorkBase(systemTempFolder));
    choice.usable = makeFolders(choice.folder);
    return choice;
}

std::wstring unusableWorkFolderText(const std::wstring& folder) {
    return L"Pixhaul cannot create its temporary folder \"" + folder +
           L"\".\r\n\r\nPhotos cannot be loaded until another temporary folder is chosen "
           L"(Temporary Folder... in the info menu).";
}

std::wstring systemTemporaryFolder() {
    DWORD size = GetTempPathW(0, nullptr);
    if (size == 0)
        return std::wstring();
    std::vector<wchar_t> buffer(size + 1);
    DWORD length = GetTempPathW(size + 1, buffer.data());
    if (length == 0 || length > size)
        return std::wstring();
    return std::wstring(buffer.data(), length);
}

namespace {

bool folderExists(const std::wstring& folder) {
    DWORD attributes = GetFileAttributesW(makeLongPath(folder).c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
}

}  // namespace

bool makeWorkFolders(const std::wstring& folder) {
    WorkPaths paths = workPathsFor(folder);
    createDirectoryTree(paths.thumbnailsFolder);
    createDirectoryTree(paths.viewerFolder);
    return folderExists(paths.thumbnailsFolder) && folderExists(paths.viewerFolder);
}

void deleteWorkFiles(const WorkPaths& paths) {
    for (const std::wstring* file :
         {&paths.pageFilePath, &paths.secondWorkFilePath, &paths.versionFilePath}) {
        DeleteFileW(makeLongPath(*file).c_str());
        DeleteFileW(makeLongPath(*file + L".tmp").c_str());
    }
    deleteFolderFiles(paths.thumbnailsFolder);
    deleteFolderFiles(paths.viewerFolder);
}
