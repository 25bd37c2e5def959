#include "mainwindow/PxhlThumbnailDownloader.h"

#include "gui/TPxhl.h"

#include <cwchar>

namespace {

// GetFileInfo fields.
constexpr short kFinalPathField = 11;
constexpr short kFileCountField = 16;

}  // namespace

long PxhlThumbnailDownloader::addFile(const std::wstring& url, const std::wstring& savePath) {
    if (control_ == nullptr) {
        return -1;
    }
    return control_->AddFile(url, L"-1", L"", savePath, 1, L"", L"", L"", 0);
}

bool PxhlThumbnailDownloader::download() {
    return control_ != nullptr && control_->Download();
}

void PxhlThumbnailDownloader::stopDownload() {
    if (control_ != nullptr) {
        control_->StopDownload();
    }
}

bool PxhlThumbnailDownloader::removeFile(long fileId) {
    return control_ != nullptr && control_->RemoveFile(fileId);
}

long queuedFileCount(gui::TPxhl* control) {
    return control ? std::wcstol(control->GetFileInfo(0, kFileCountField).c_str(), nullptr, 10) : 0;
}

long PxhlThumbnailDownloader::queuedFileCount() {
    return ::queuedFileCount(control_);
}

std::wstring PxhlThumbnailDownloader::finalPath(long fileId) {
    return control_ != nullptr ? control_->GetFileInfo(fileId, kFinalPathField) : std::wstring();
}

long PxhlThumbnailDownloader::lastError() {
    return control_ != nullptr ? control_->GetLastError() : 0;
}
