// The pool of download controls: every transfer of the program runs on a control taken here and
// given back here. A given-back control is stopped, emptied and cut off from its former owner's
// handlers, then waits in idleDownloaders until it is taken again; all belong to the main window.
#include <algorithm>

#include "gui/Exception.h"
#include "mainwindow/Unit1.h"

namespace {

constexpr long kConcurrentFiles = 3;
constexpr long kConnectionTimeoutMs = 12000;

gui::TPxhl* createDownloader(TForm1* mainWindow) {
    gui::TPxhl* downloader = nullptr;
    try {
        downloader = new gui::TPxhl(mainWindow);
    } catch (const gui::Exception& error) {
        // Callers show the message: it has to say which control is missing.
        throw gui::Exception(L"The download control Pxhl (Pxhl.dll) is not available. " + error.Message());
    }
    downloader->SetTextProperty(gui::PxhlDispId::DownloadSessionTempSubfolder, L"");
    return downloader;
}

void removeFrom(std::vector<gui::TPxhl*>& list, gui::TPxhl* downloader) {
    list.erase(std::remove(list.begin(), list.end(), downloader), list.end());
}

}  // namespace

int generationOf(gui::TObject* sender) {
    auto* component = dynamic_cast<gui::TComponent*>(sender);
    return component ? static_cast<int>(component->Tag()) : -1;
}

std::wstring downloaderMissingText(const std::wstring& reason) {
    return L"The Pxhl download control cannot be created:\r\n" + reason +
           L"\r\n\r\nPixhaul cannot download photos until Pxhl.dll is registered.";
}

gui::TPxhl* acquireDownloader(TForm1* mainWindow) {
    gui::TPxhl* taken = nullptr;
    std::vector<gui::TPxhl*>& idle = mainWindow->idleDownloaders;
    // A control that cannot clear its list is still busy with a transfer: it stays idle and waits.
    for (auto position = idle.begin(); position != idle.end(); ++position) {
        if ((*position)->ClearFiles()) {
            taken = *position;
            idle.erase(position);
            break;
        }
    }
    if (!taken)
        taken = createDownloader(mainWindow);
    taken->SetBooleanProperty(gui::PxhlDispId::AutoRemoveCompletedFiles, true);
    taken->SetIntegerProperty(gui::PxhlDispId::ConcurrentDownloadFileCount, kConcurrentFiles);
    taken->SetIntegerProperty(gui::PxhlDispId::ConnectionTimeout, kConnectionTimeoutMs);
    mainWindow->activeDownloaders.push_back(taken);
    return taken;
}

void resetDownloader(gui::TPxhl* downloader) {
    if (!downloader)
        return;
    // Tag -1 matches no generation, so a late event of this control is recognised as foreign.
    downloader->SetTag(-1);
    downloader->ClearEventHandlers();
    downloader->StopDownload();
    downloader->ClearFiles();
}

void releaseDownloader(TForm1* mainWindow, gui::TPxhl* downloader) {
    if (!mainWindow || !downloader)
        return;
    resetDownloader(downloader);
    // Giving back twice (closing, then destruction) must not put a control in the idle list twice:
    // it would later be handed to two owners at once.
    std::vector<gui::TPxhl*>& idle = mainWindow->idleDownloaders;
    if (std::find(idle.begin(), idle.end(), downloader) == idle.end())
        idle.push_back(downloader);
    removeFrom(mainWindow->activeDownloaders, downloader);
}

void releaseDownloaderCallback(gui::TPxhl* downloader) {
    releaseDownloader(Form1, downloader);
}

void releaseAllDownloaders(TForm1* mainWindow) {
    mainWindow->closeDownloadImageButtonBtnClick(nullptr);
    for (gui::TPxhl* slot :
         {mainWindow->pageDownloader, mainWindow->thumbnailsDownloader, mainWindow->photosDownloader,
          mainWindow->printDownloader, mainWindow->updateDownloader}) {
        if (slot)
            releaseDownloader(mainWindow, slot);
    }
}
