// The save job in the main window on the fixture site's 1,000-item user: every item saved into a
// folder and then into a zip file, with the site's pictures made beforehand so that it answers at
// once. Prints seconds, files/s, MB/s and the process's CPU seconds for each, and writes the
// addresses the job fetched (one a line) for a comparison with other clients.
// Usage: SavingBench <empty work folder>; the hosts come from PIXHAUL_SERVICE_HOST and
// PIXHAUL_MAKER_HOST (the fixture site's).
#include "support/FixtureSite.h"

#include "common/PathFunctions.h"
#include "common/ServiceHosts.h"
#include "gui/Application.h"
#include "gui/OleControlHost.h"
#include "mainwindow/Photo.h"
#include "mainwindow/Unit1.h"
#include "saving/SaveNames.h"
#include "support/ApplicationPump.h"
#include "support/ProgramUnderTest.h"
#include "support/TestSupport.h"
#include "tests/bench/SavingFigures.h"

#include <shellapi.h>

#include <cstdio>
#include <fstream>
#include <functional>
#include <string>

namespace {

constexpr size_t kItems = 1000;

// The size of every file in the folder.
double folderBytes(const std::wstring& folder) {
    WIN32_FIND_DATAW found;
    HANDLE find = FindFirstFileW(makeLongPath(folder + L"\\*").c_str(), &found);
    double bytes = 0;
    if (find == INVALID_HANDLE_VALUE)
        return 0;
    do {
        if (!(found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY))
            bytes += static_cast<double>(found.nFileSizeHigh) * 4294967296.0 + found.nFileSizeLow;
    } while (FindNextFileW(find, &found));
    FindClose(find);
    return bytes;
}

// Runs one save job of every item to its end and prints its figures; MB/s count the items' bytes
// (those in the folder of a folder job). The job ends with every file in place (and the archive
// closed); the strip then shows 100% for 400 ms by design, which is printed apart. Returns the bytes.
double timeSave(TForm1* form, const char* what, const std::wstring& folder, const std::wstring& zipPath,
                double bytes) {
    const double cpu = processCpuSeconds();
    const ULONGLONG began = GetTickCount64();
    form->startSaveJob(folder, zipPath);
    const bool ended =
        testsupport::pumpApplicationUntil([form] { return form->jobWorkUnits == 0; }, 600000);
    const double seconds = (GetTickCount64() - began) / 1000.0;
    const double cpuUsed = processCpuSeconds() - cpu;
    const bool hidden =
        testsupport::pumpApplicationUntil([form] { return !form->downloadPanel->Visible(); }, 10000);
    const double hiddenSeconds = (GetTickCount64() - began) / 1000.0;
    if (zipPath.empty())
        bytes = folderBytes(folder);
    reportSaving(what, kItems, bytes, seconds, cpuUsed, ended ? "" : "  (did NOT end)");
    std::printf("  its strip hidden after %.2f s%s\n", hiddenSeconds, hidden ? "" : " (did NOT hide)");
    return bytes;
}

std::string narrow(const std::wstring& text) {
    return std::string(text.begin(), text.end());
}

}  // namespace

int main() {
    int argc = 0;
    wchar_t** argv = CommandLineToArgvW(GetCommandLineW(), &argc);
    if (!argv || argc < 2) {
        std::fprintf(stderr, "usage: SavingBench <empty work folder>\n");
        return 2;
    }
    const std::wstring work = argv[1];
    gui::TApplication application;
    application.Initialize();
    gui::OleInitializer ole;
    std::wstring message;
    if (!testsupport::registerPxhl() || !loadServiceHosts(message)) {
        std::printf("Pxhl.dll is not registered or the hosts are not set\n");
        return 1;
    }
    testsupport::TemporaryFolderSetting setting(work);
    auto* form = new TForm1(&application);
    form->AfterConstruction();
    form->Show();
    form->userNameEdit->SetText(L"big");
    form->userNameEdit->Font()->SetColor(static_cast<gui::TColor>(0x303335));
    form->loadUser();
    if (!testsupport::pumpApplicationUntil(
            [form] { return form->loadState == LoadState::idle && form->visiblePhotos.size() == kItems; },
            600000)) {
        std::printf("big did not load\n");
        delete form;
        return 1;
    }

    // What a save fetches (a video's own address), fetched once so that the site has every
    // picture made; the list goes to the comparison.
    std::ofstream urls(narrow(work) + "\\urls.txt", std::ios::binary);
    int port = 0;
    for (Photo* photo : form->visiblePhotos) {
        const std::string url =
            narrow(photo->videoUrl.empty() ? photo->standardResolutionUrl : photo->videoUrl);
        const size_t host = url.find("://") + 3;
        const size_t path = url.find('/', host);
        port = std::stoi(url.substr(url.find(':', host) + 1));
        testsupport::httpExchange(port, "GET", url.substr(path));
        urls << url << "\n";
        photo->selected = 1;
    }
    urls.close();

    const std::wstring folder = work + L"\\folder";
    const std::wstring zipPath = work + L"\\big.zip";
    CreateDirectoryW(folder.c_str(), nullptr);
    const double bytes = timeSave(form, "window: save into a folder", folder, L"", 0);
    timeSave(form, "window: save into a zip", zipStagingFolder(zipPath, makeGuidFileName()), zipPath, bytes);
    form->Close();
    delete form;
    return 0;
}
