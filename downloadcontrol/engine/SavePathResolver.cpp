#include "downloadcontrol/engine/SavePathResolver.h"

#include "downloadcontrol/ControlUtilities.h"
#include "downloadcontrol/LastErrorHolder.h"
#include "downloadcontrol/ScrambledText.h"

namespace {

// A save path equal to this asks the user even though it is not empty.
std::wstring askMarker() {
    static constexpr auto kMarker = scrambleText(L"?");
    return UnscrambleString(kMarker.chars);
}

// The text up to and including the last backslash or colon ("" when there is none).
std::wstring folderOf(const std::wstring& path) {
    const std::size_t end = path.find_last_of(L"\\:");
    return end == std::wstring::npos ? std::wstring() : path.substr(0, end + 1);
}

}  // namespace

SavePathResolver::SavePathResolver(SaveDialogs& dialogs, bool commonSaveFolder)
    : dialogs_(dialogs), commonSaveFolder_(commonSaveFolder) {}

bool SavePathResolver::resolve(const std::wstring& givenPath, const std::wstring& displayFileName,
                               const std::wstring& nameFromUrl, std::wstring& savePath, int32_t& error) {
    const std::wstring name = displayFileName.empty() ? nameFromUrl : displayFileName;
    std::wstring path = trimText(givenPath);

    if (path.empty() || path == askMarker()) {
        std::wstring chosen;
        if (!dialogs_.askSaveFile(name, lastFolder_, chosen)) {
            error = ErrSaveFileCancelled;
            return false;
        }
        lastFolder_ = folderOf(chosen);
        savePath = chosen;
        return true;
    }

    if (path.back() == L'\\') {
        path += name;
    }
    const bool relative = path[0] == L'\\' && (path.size() < 2 || path[1] != L'\\');
    if (!relative) {
        savePath = path;
        return true;
    }

    std::wstring folder;
    if (commonSaveFolder_ && !commonFolder_.empty()) {
        folder = commonFolder_;
    } else {
        if (!dialogs_.askFolder(commonSaveFolder_ ? std::wstring() : name, lastFolder_, folder)) {
            error = ErrSaveFolderCancelled;
            return false;
        }
        lastFolder_ = folder;
        if (commonSaveFolder_) {
            commonFolder_ = folder;
        }
    }
    if (!folder.empty() && folder.back() == L'\\') {
        folder.pop_back();
    }
    savePath = folder + path;
    return true;
}
