// The update check: due at most every two days (checked at start and every hour) and on demand from
// the info menu. The decisions live in saving/UpdateCheck; this file runs the download on a pool
// control and shows the boxes.
#include "common/OpenLink.h"
#include "common/ServiceHosts.h"
#include "gui/Exception.h"
#include "mainwindow/Unit1.h"
#include "mainwindow/WorkFolder.h"
#include "saving/UpdateCheck.h"

using gui::TObject;
using gui::TPxhl;

namespace {

// Shows the box of an outcome; the answer (IDYES, IDOK ...), or 0 when the outcome shows nothing.
int showUpdateCheckBox(HWND owner, UpdateCheckOutcome outcome) {
    const UpdateCheckBox box = updateCheckBox(outcome);
    if (box.text.empty())
        return 0;
    return MessageBoxW(owner, box.text.c_str(), L"Pixhaul", box.style);
}

}  // namespace

void TForm1::checkUpdateTimerTimer(TObject*) {
    // Against the placeholder host every automatic check would only report a failure, each hour.
    if (!makerHostConfigured())
        return;
    // Without a work folder the version file has nowhere to go: the start has said so already, and
    // the check's failure would only blame the server, each hour.
    if (!workFolderUsable)
        return;
    if (updateCheckDue(currentUtcFileTime(), readLastCheckTime(HKEY_CURRENT_USER)))
        checkForUpdatesMenuItemClick(nullptr);
}

void TForm1::checkForUpdatesMenuItemClick(TObject* sender) {
    if (updateCheckRunning)
        return;
    if (!workFolderUsable) {
        MessageBoxW(Handle(), unusableWorkFolderText(tempBaseFolder).c_str(), L"Pixhaul",
                    MB_OK | MB_ICONWARNING);
        return;
    }
    TPxhl* downloader = nullptr;
    try {
        downloader = acquireDownloader(this);
    } catch (...) {
        // The start has already told the user that the download control is missing.
        return;
    }
    // The old control is given back only after the new one is taken, so it is not handed straight
    // back (a late event of it could otherwise reach this check).
    TPxhl* old = updateDownloader;
    resetDownloader(old);
    updateDownloader = downloader;
    releaseDownloader(this, old);

    updateDownloader->SetTag(sender ? 1 : 0);
    updateDownloader->OnDownloadComplete = [this](TObject* control, bool result) {
        onUpdateCheckDone(control, result);
    };
    updateCheckRunning = true;
    const long fileId =
        updateDownloader->AddFile(versionFileAddress(), L"-1", L"", versionFilePath, 1, L"", L"", L"", 0);
    if (fileId < 0 || !updateDownloader->Download()) {
        // No completion event follows a refusal: the check ends here, so the next one can run.
        updateCheckRunning = false;
        showUpdateCheckBox(Handle(), failedDownloadOutcome(updateDownloader->GetLastError()));
    }
}

void TForm1::onUpdateCheckDone(TObject* sender, bool result) {
    updateCheckRunning = false;
    auto* control = static_cast<TPxhl*>(sender);
    if (!result) {
        showUpdateCheckBox(Handle(), failedDownloadOutcome(control->GetLastError()));
        return;
    }
    std::wstring text;
    if (!readVersionFile(versionFilePath, text))
        return;
    writeLastCheckTime(HKEY_CURRENT_USER, currentUtcFileTime());
    const UpdateCheckOutcome outcome = versionOutcome(versionLine(text), control->Tag() == 1);
    if (showUpdateCheckBox(Handle(), outcome) != IDYES || outcome != UpdateCheckOutcome::NewVersionOffered)
        return;
    UpdateWindow(Handle());
    const std::wstring address = installerAddress();
    if (!openLink(Handle(), address)) {
        const std::wstring failed = webPageOpenFailedText(address);
        MessageBoxW(Handle(), failed.c_str(), L"Pixhaul", MB_OK | MB_ICONWARNING);
    }
}
