#pragma once
// Names a save job gives the control and the file system besides the target names: the save path
// that carries a download's item time, and a zip job's staging folder beside the zip file.
#include <windows.h>

#include <string>

// "<target>|<low>-<high>": the download control stamps the finished file with that time.
std::wstring timedSavePath(const std::wstring& targetPath, const FILETIME& itemTime);

// "<zip folder>\<zip name without its last extension>_<unique name>_tmp"; uniqueName is a
// makeGuidFileName. D:\Out\anna.zip gives D:\Out\anna_<unique name>_tmp.
std::wstring zipStagingFolder(const std::wstring& zipPath, const std::wstring& uniqueName);
