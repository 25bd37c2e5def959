#pragma once
// Names a save job gives the control and the file system besides the target names: the save path
// that carries a download's item time, and a zip job's staging folder beside the zip file.
#include <windows.h>

#include <string>

// "<target>|<low>-<high>": the download control stamps the finished file with that time.
std::wstring timedSavePath(const std::wstring& targetPath, const FILETIME& itemTime);

// "<zip folder>\<unique name>_tmp"; uniqueName is a makeGuidFileName. The name does not grow with
// the zip file's, so the longest zip name still leaves room for it.
std::wstring zipStagingFolder(const std::wstring& zipPath, const std::wstring& uniqueName);
