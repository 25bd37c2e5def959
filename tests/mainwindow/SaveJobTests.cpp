// The save job in the window, on alice of the fixture site: eight selected items with both
// videos, one of them cached and one already in the folder, saved into a folder with a non-ASCII
// name and then into a zip file. Names, bytes and item times on disk, the user's other files moved
// before the oldest item, the site asked once for what is saved and never for what was there,
// the strip that never goes back, the archive read back by Python's zipfile and `unzip -t`.
// The fixture site's sockets come before windows.h.
#include "support/FixtureSite.h"

#include "FormTestSupport.h"
#include "common/PathFunctions.h"
#include "common/SafeFileName.h"
#include "common/ServiceHosts.h"
#include "mainwindow/Photo.h"
#include "saving/JobMessages.h"
#include "saving/SaveNames.h"
#include "saving/PrintedPages.h"
#include "saving/SavedFiles.h"
#include "saving/UnixTools.h"
#include "support/ScreenCapture.h"
#include "support/TestPrinter.h"
#include <gtest/gtest.h>

#include <dlgs.h>

#include <algorithm>
#include <atomic>
#include <functional>
#include <memory>
#include <mutex>
#include <thread>
#include <sstream>

using namespace formtest;

namespace {

constexpr int64_t kStep = 30000000;  // 3 s in FILETIME units

testsupport::FixtureSite& jobSite() {
    static testsupport::FixtureSite site;
    return site;
}

void pointAt(const testsupport::FixtureSite& site) {
    SetEnvironmentVariableW(kServiceHostVariable, site.serviceHost().c_str());
    SetEnvironmentVariableW(kMakerHostVariable, site.makerHost().c_str());
    std::wstring message;
    ASSERT_TRUE(loadServiceHosts(message));
}

// The path part of "http://127.0.0.1:<port>/<path>".
std::string pathOf(const std::wstring& url) {
    const size_t slash = url.find(L'/', url.find(L"://") + 3);
    const std::wstring path = slash == std::wstring::npos ? L"/" : url.substr(slash);
    return std::string(path.begin(), path.end());
}

std::string siteBytes(const testsupport::FixtureSite& site, const std::wstring& url) {
    return testsupport::httpExchange(site.imagePort(), "GET", pathOf(url));
}

// Runs the job to its end; true when every strip value shown was at least the one before.
bool runJob(TForm1* form, const std::function<void()>& start, int timeoutMs = 60000) {
    start();
    float last = 0;
    bool forward = true;
    const bool ended = pumpUntil(
        [&] {
            if (form->downloadPanel->Visible()) {
                forward = forward && form->downloadProgressFraction >= last;
                last = form->downloadProgressFraction;
            }
            return form->jobWorkUnits == 0 && !form->downloadPanel->Visible();
        },
        timeoutMs);
    return ended && forward;
}

// The strip's stop button, and the job's end awaited; the last fraction the strip showed.
float stopJob(TForm1* form) {
    form->closeDownloadImageButtonBtnClick(form->closeDownloadImageButton);
    float last = 0;
    EXPECT_TRUE(pumpUntil(
        [&] {
            if (form->downloadPanel->Visible())
                last = form->downloadProgressFraction;
            return form->jobWorkUnits == 0 && !form->downloadPanel->Visible();
        },
        30000));
    return last;
}

// A window on the job site with the user's items and thumbnails loaded; null when they did not load.
TForm1* openWithUser(const wchar_t* name, size_t items) {
    if (!jobSite().running())
        return nullptr;
    pointAt(jobSite());
    TForm1* form = openForm();
    form->userNameEdit->SetText(name);
    form->userNameEdit->Font()->SetColor(static_cast<gui::TColor>(0x303335));
    form->loadUser();
    if (!pumpUntil([&] { return form->loadState == LoadState::idle && form->visiblePhotos.size() == items; },
                   30000)) {
        delete form;
        return nullptr;
    }
    return form;
}

class SaveJob : public ::testing::Test {
protected:
    void SetUp() override {
        form_ = openWithUser(L"alice", 45);
        ASSERT_TRUE(form_) << jobSite().failure();
        // Both videos with an address (visible 1 and 15) and six photos.
        for (int index : {0, 1, 2, 3, 4, 5, 6, 15}) {
            form_->visiblePhotos[index]->selected = 1;
            selected_.push_back(form_->visiblePhotos[index]);
        }
        // One photo is in the viewer cache already.
        cached_ = form_->visiblePhotos[2];
        cached_->fullSizePath = form_->viewerFolder + L"\\cached.jpg";
        ASSERT_TRUE(testsupport::writeFileBytes(cached_->fullSizePath,
                                                siteBytes(jobSite(), cached_->standardResolutionUrl)));
        // The viewer's downloads carry the item time, as the saved files do.
        setWriteTime(cached_->fullSizePath, ticks(cached_->fileTime));
        cached_->fullSizePresent = 1;
        for (const Photo* photo : selected_)
            oldest_ = std::min(oldest_, ticks(photo->fileTime));
        ASSERT_TRUE(jobSite().reset());
    }

    void TearDown() override { delete form_; }

    std::wstring targetOf(const std::wstring& folder, const Photo* photo) const {
        return folder + L"\\" + savedFileName(L"alice", photo->fileName);
    }

    const std::wstring& urlOf(const Photo* photo) const {
        return photo->videoUrl.empty() ? photo->standardResolutionUrl : photo->videoUrl;
    }

    testsupport::TempFolder temp_;
    WorkFolderSetting setting_;
    TForm1* form_ = nullptr;
    std::vector<Photo*> selected_;
    Photo* cached_ = nullptr;
    int64_t oldest_ = INT64_MAX;
};

TEST_F(SaveJob, IntoANonAsciiFolderAndThenIntoAZipFile) {
    const std::wstring folder = temp_.path() + L"Fotos \u00c4\u00d6 \u5199\u771f";
    ASSERT_TRUE(CreateDirectoryW(folder.c_str(), nullptr));
    // Already there: one item's file, two other files of alice and one of bob.
    const Photo* present = selected_[3];
    ASSERT_TRUE(testsupport::writeFileBytes(targetOf(folder, present), siteBytes(jobSite(), urlOf(present))));
    const int64_t t1 = oldest_ - 1000 * kStep;
    const int64_t t2 = t1 + 7 * kStep;
    for (const auto& [name, time] : std::vector<std::pair<std::wstring, int64_t>>{
             {L"alice_old_one.jpg", t1}, {L"alice_old_two.jpg", t2}, {L"bob_x.jpg", t1}}) {
        ASSERT_TRUE(testsupport::writeFileBytes(folder + L"\\" + name, "bob"));
        setWriteTime(folder + L"\\" + name, time);
    }
    ASSERT_TRUE(jobSite().reset());

    ASSERT_TRUE(runJob(form_, [&] { form_->startSaveJob(folder, L""); }));

    // Fetched once each, the videos from their video address; never the cached one or the one there.
    for (const Photo* photo : selected_) {
        const int expected = photo == cached_ || photo == present ? 0 : 1;
        EXPECT_EQ(jobSite().countRequests("GET " + pathOf(urlOf(photo))), expected) << pathOf(urlOf(photo));
    }
    EXPECT_EQ(jobSite().countRequests("GET " + pathOf(selected_[1]->standardResolutionUrl)), 0);
    for (const Photo* photo : selected_) {
        const std::wstring target = targetOf(folder, photo);
        EXPECT_EQ(testsupport::readFileBytes(target), siteBytes(jobSite(), urlOf(photo)));
        EXPECT_LT(std::llabs(writeTime(target) - ticks(photo->fileTime)), 10000000) << pathOf(urlOf(photo));
        EXPECT_FALSE(testsupport::pathExists(target + L".tmp"));
    }
    // The other files end one step before the oldest item, their spacing kept; bob's is untouched.
    EXPECT_EQ(writeTime(folder + L"\\alice_old_two.jpg"), oldest_ - kStep);
    EXPECT_EQ(writeTime(folder + L"\\alice_old_one.jpg"), oldest_ - kStep - 7 * kStep);
    EXPECT_EQ(writeTime(folder + L"\\bob_x.jpg"), t1);
    EXPECT_EQ(testsupport::readFileBytes(folder + L"\\bob_x.jpg"), "bob");
    for (const Photo* photo : form_->photos)
        EXPECT_EQ(photo->inUseByJob, 0);

    // The same selection into a zip file that replaces an old one; its entries match the files
    // just saved, and the staging folder is gone.
    const std::wstring reference = temp_.path() + L"reference";
    ASSERT_TRUE(CreateDirectoryW(reference.c_str(), nullptr));
    for (const Photo* photo : selected_) {
        const std::wstring name = savedFileName(L"alice", photo->fileName);
        ASSERT_TRUE(CopyFileW((folder + L"\\" + name).c_str(), (reference + L"\\" + name).c_str(), TRUE));
    }
    const std::wstring zipPath = temp_.path() + L"\u0410\u0440\u0445\u0438\u0432 \u00fc.zip";
    ASSERT_TRUE(testsupport::writeFileBytes(zipPath, "an old file"));
    // Without Content-Length no size is ever reported: every file must still reach the archive.
    ASSERT_TRUE(jobSite().setMode("no_length=1"));
    ASSERT_TRUE(
        runJob(form_, [&] { form_->startSaveJob(zipStagingFolder(zipPath, makeGuidFileName()), zipPath); }));
    EXPECT_EQ(checkArchive(zipPath, reference, "all"), "OK");
    EXPECT_EQ(filesIn(temp_.path(), L"*_tmp"), std::vector<std::wstring>{});
}

// Held replies stop every download half-way; the stop button then ends the job: the strip hides
// without reaching 100%, no partial file stays, every file there is whole and the archive of a
// stopped zip job holds whole entries only.
TEST_F(SaveJob, AStopMidTransferLeavesOnlyWholeFilesAndAWholeArchive) {
    const std::wstring folder = temp_.path() + L"Gestoppt \u00df";
    ASSERT_TRUE(CreateDirectoryW(folder.c_str(), nullptr));
    const std::wstring zipPath = temp_.path() + L"Gestoppt \u00df.zip";
    for (bool zip : {false, true}) {
        ASSERT_TRUE(jobSite().setMode("hold_full=1"));
        if (zip)
            form_->startSaveJob(zipStagingFolder(zipPath, makeGuidFileName()), zipPath);
        else
            form_->startSaveJob(folder, L"");
        // Six downloads at a time, each held at half its bytes, and the cached file copied.
        ASSERT_TRUE(pumpUntil(
            [&] {
                int started = 0;
                bool copied = false;
                for (const auto& entry : form_->jobEntries) {
                    started += entry->fileId >= 0 && entry->countedBytes > 0 ? 1 : 0;
                    copied = copied || (entry->photoIndex == cached_->index && entry->done);
                }
                // The zip writer deletes each staged file once it is in the archive.
                return started >= 6 && copied &&
                       (!zip || !testsupport::pathExists(targetOf(form_->zipStagingFolder, cached_)));
            },
            30000));
        if (!zip) {
            // One copied file and six halves of eight.
            EXPECT_TRUE(pumpUntil([&] { return form_->downloadProgressFraction > 0.4f; }, 10000));
            EXPECT_LT(form_->downloadProgressFraction, 0.6f);
            testsupport::ScreenCapture::ofWindow(form_->Handle()).saveArtifact(L"save-strip-half.png");
        }
        EXPECT_LT(stopJob(form_), 1.0f);
        ASSERT_TRUE(jobSite().setMode("release=1"));
    }
    EXPECT_EQ(filesIn(temp_.path(), L"*_tmp"), std::vector<std::wstring>{});
    EXPECT_EQ(filesIn(folder, L"*.tmp"), std::vector<std::wstring>{});
    // What is there is whole; the cached item was copied before the stop.
    const std::wstring reference = temp_.path() + L"reference";
    ASSERT_TRUE(CreateDirectoryW(reference.c_str(), nullptr));
    int present = 0;
    for (const Photo* photo : selected_) {
        const std::wstring target = targetOf(folder, photo);
        if (!testsupport::pathExists(target))
            continue;
        ++present;
        const std::string bytes = siteBytes(jobSite(), urlOf(photo));
        EXPECT_EQ(testsupport::readFileBytes(target), bytes);
        ASSERT_TRUE(CopyFileW(target.c_str(), (reference + L"\\" + extractFileName(target)).c_str(), TRUE));
    }
    EXPECT_TRUE(testsupport::pathExists(targetOf(folder, cached_)));
    EXPECT_LT(present, 8);
    EXPECT_EQ(checkArchive(zipPath, reference, "subset"), "OK");
}

// What the user chooses in the print dialog: a page range (from 0: every page), copies, collate.
struct PrintChoice {
    int from = 0;
    int to = 0;
    int copies = 1;
    bool collate = false;
};

HWND visibleDialogOf(DWORD thread) {
    HWND found = nullptr;
    EnumThreadWindows(
        thread,
        [](HWND window, LPARAM result) {
            wchar_t name[16] = L"";
            GetClassNameW(window, name, 16);
            if (lstrcmpW(name, L"#32770") != 0 || !IsWindowVisible(window))
                return TRUE;
            *reinterpret_cast<HWND*>(result) = window;
            return FALSE;
        },
        reinterpret_cast<LPARAM>(&found));
    return found;
}

// The print button, and its dialog answered from a second thread as the user does: the page
// numbers option with the range typed in, the copies typed, collate ticked or cleared, then OK.
// False when no dialog came.
bool printThroughDialog(TForm1* form, const PrintChoice& choice) {
    const DWORD thread = GetCurrentThreadId();
    bool answered = false;
    std::thread user([&] {
        HWND dialog = nullptr;
        if (!testsupport::waitUntil([&] { return (dialog = visibleDialogOf(thread)) != nullptr; }, 20000))
            return;
        if (choice.from > 0) {
            SendDlgItemMessageW(dialog, rad3, BM_CLICK, 0, 0);
            SetDlgItemTextW(dialog, edt1, std::to_wstring(choice.from).c_str());
            SetDlgItemTextW(dialog, edt2, std::to_wstring(choice.to).c_str());
        }
        SetDlgItemTextW(dialog, edt3, std::to_wstring(choice.copies).c_str());
        if ((IsDlgButtonChecked(dialog, chx2) == BST_CHECKED) != choice.collate)
            SendDlgItemMessageW(dialog, chx2, BM_CLICK, 0, 0);
        answered = true;
        SendDlgItemMessageW(dialog, IDOK, BM_CLICK, 0, 0);
    });
    form->printImageButtonBtnClick(form->printImageButton);
    user.join();
    return answered;
}

// The test printer writing each job to a file of its own folder.
class PrintedJobs {
public:
    PrintedJobs() : printer_(toWide(unixPath(postscript()))) {}
    bool installed() const { return printer_.installed(); }
    std::wstring postscript() const { return folder_.file(L"job.ps"); }

    // The photos' pictures as the site serves them, to match the printed pages against.
    std::vector<std::wstring> pictures(const std::vector<Photo*>& photos) const {
        std::vector<std::wstring> files;
        for (const Photo* photo : photos) {
            files.push_back(folder_.file(std::to_wstring(files.size()) + L".jpg"));
            testsupport::writeFileBytes(files.back(), siteBytes(jobSite(), photo->standardResolutionUrl));
        }
        return files;
    }

    // The printable part of the test printer's page at the rendering's resolution.
    PrintableArea area() const {
        HDC dc = CreateDCW(L"WINSPOOL", printer_.name().c_str(), nullptr, nullptr);
        const PrintableArea result = dc ? printableArea(dc, kDpi) : PrintableArea{};
        if (dc)
            DeleteDC(dc);
        return result;
    }

    // Prints through the dialog and renders the job.
    PrintedJob print(TForm1* form, const PrintChoice& choice, const std::vector<std::wstring>& pictures,
                     const std::wstring& artifactName) {
        DeleteFileW(postscript().c_str());
        if (!runJob(form, [&] { EXPECT_TRUE(printThroughDialog(form, choice)); }))
            return PrintedJob{{}, "the print job did not end"};
        return renderPrintedJob(postscript(), kDpi, artifactName, pictures);
    }

private:
    static constexpr int kDpi = 50;
    static std::wstring toWide(const std::string& text) { return std::wstring(text.begin(), text.end()); }

    testsupport::TempFolder folder_;
    TestPrinter printer_;
};

// Three items, one a video and one cached, printed through the dialog twice, collated and not,
// then the second and third of five: each page shows its photo, in that order. The two that were
// not cached are downloaded once (the video's cover, not the video) and become cached files, which
// a save of the selection copies instead of fetching again; the video itself is fetched for the save.
TEST_F(SaveJob, PrintsThroughTheDialogInPageOrderAndCachesWhatItFetched) {
    PrintedJobs jobs;
    if (!jobs.installed())
        GTEST_SKIP() << "no test printer";
    const std::vector<std::wstring> pictures = jobs.pictures(selected_);
    const std::vector<std::wstring> firstThree(pictures.begin(), pictures.begin() + 3);
    ASSERT_TRUE(jobSite().reset());
    PrintedJob job = jobs.print(form_, {1, 3, 2, true}, firstThree, L"print-collated");
    EXPECT_EQ(job.problem, "");
    EXPECT_EQ(job.order(), "0 1 2 0 1 2");
    const Photo* video = selected_[1];
    EXPECT_EQ(jobSite().countRequests("GET " + pathOf(selected_[0]->standardResolutionUrl)), 1);
    EXPECT_EQ(jobSite().countRequests("GET " + pathOf(video->standardResolutionUrl)), 1);
    EXPECT_EQ(jobSite().countRequests("GET " + pathOf(video->videoUrl)), 0);
    EXPECT_EQ(jobSite().countRequests("GET " + pathOf(cached_->standardResolutionUrl)), 0);
    for (const Photo* photo : std::vector<const Photo*>(selected_.begin(), selected_.begin() + 3)) {
        EXPECT_EQ(photo->fullSizePresent, 1);
        EXPECT_TRUE(testsupport::pathExists(photo->fullSizePath));
        EXPECT_EQ(photo->inUseByJob, 0);
    }

    job = jobs.print(form_, {1, 3, 2, false}, firstThree, L"print-uncollated");
    EXPECT_EQ(job.problem, "");
    EXPECT_EQ(job.order(), "0 0 1 1 2 2");

    for (size_t index = 5; index < selected_.size(); ++index)
        selected_[index]->selected = 0;
    job = jobs.print(form_, {2, 3, 1, false}, {pictures.begin(), pictures.begin() + 5}, L"print-range");
    EXPECT_EQ(job.problem, "");
    EXPECT_EQ(job.order(), "1 2");

    for (Photo* photo : selected_)
        photo->selected = 1;
    const std::wstring folder = temp_.path() + L"nach dem Druck";
    ASSERT_TRUE(CreateDirectoryW(folder.c_str(), nullptr));
    ASSERT_TRUE(jobSite().reset());
    ASSERT_TRUE(runJob(form_, [&] { form_->startSaveJob(folder, L""); }));
    EXPECT_EQ(jobSite().countRequests("GET " + pathOf(selected_[0]->standardResolutionUrl)), 0);
    EXPECT_EQ(jobSite().countRequests("GET " + pathOf(video->videoUrl)), 1);
    for (const Photo* photo : selected_)
        EXPECT_EQ(testsupport::readFileBytes(targetOf(folder, photo)), siteBytes(jobSite(), urlOf(photo)));
}

// The odd-names user's large pictures, 3000 x 2000 and 1000 x 3000, shrink to fill the printable
// width and height of their pages, centred.
TEST(PrintJob, LargePicturesFillThePrintableAreaCentred) {
    PrintedJobs jobs;
    if (!jobs.installed())
        GTEST_SKIP() << "no test printer";
    WorkFolderSetting setting;
    std::unique_ptr<TForm1> form(openWithUser(L"oddnames", 5));
    ASSERT_TRUE(form) << jobSite().failure();
    const std::vector<Photo*> large = {form->visiblePhotos[1], form->visiblePhotos[2]};
    for (Photo* photo : large)
        photo->selected = 1;
    const PrintedJob job = jobs.print(form.get(), {}, jobs.pictures(large), L"print-large");
    EXPECT_EQ(job.problem, "");
    ASSERT_EQ(job.order(), "0 1");
    const PrintableArea area = jobs.area();
    const PrintedPage& wide = job.pages[0];
    EXPECT_NEAR(wide.right - wide.left, area.width, 2);
    EXPECT_NEAR((wide.top + wide.bottom) / 2, area.top + area.height / 2, 2);
    const PrintedPage& tall = job.pages[1];
    EXPECT_NEAR(tall.bottom - tall.top, area.height, 2);
    EXPECT_NEAR((tall.left + tall.right) / 2, area.left + area.width / 2, 2);
}

// A stop while the print thread waits for a held download: the strip hides without 100%, the
// thread ends, no partial file stays, and the window then closes.
TEST_F(SaveJob, AStopWhileAPrintedPhotoDownloadsEndsTheJob) {
    PrintedJobs jobs;
    if (!jobs.installed())
        GTEST_SKIP() << "no test printer";
    ASSERT_TRUE(jobSite().setMode("hold_full=1"));
    EXPECT_TRUE(printThroughDialog(form_, {4, 6, 1, false}));
    ASSERT_TRUE(pumpUntil(
        [&] {
            return std::any_of(form_->jobEntries.begin(), form_->jobEntries.end(),
                               [](const auto& entry) { return entry->countedBytes > 0; });
        },
        30000));
    EXPECT_FALSE(form_->printDone);
    EXPECT_LT(stopJob(form_), 1.0f);
    ASSERT_TRUE(jobSite().setMode("release=1"));
    EXPECT_TRUE(form_->printDone);
    EXPECT_EQ(filesIn(form_->viewerFolder, L"*.tmp"), std::vector<std::wstring>{});
    form_->Close();
    EXPECT_FALSE(IsWindowVisible(form_->Handle()));
}

// Items whose address the print control refuses (here an empty one) are not printed; when it
// refuses every one the job says so at once instead of showing 100%.
TEST_F(SaveJob, APrintWhoseEveryItemIsRefusedSaysSo) {
    PrintedJobs jobs;
    if (!jobs.installed())
        GTEST_SKIP() << "no test printer";
    for (Photo* photo : selected_) {
        photo->selected = photo != cached_;
        photo->standardResolutionUrl.clear();
    }
    // It confirms the print dialog too, when it is quicker than the user.
    MessageBoxWatcher boxes;
    printThroughDialog(form_, {});
    const auto told = [&] {
        const std::vector<std::wstring> texts = boxes.texts();
        return std::find(texts.begin(), texts.end(), notPrintedMessage()) != texts.end();
    };
    EXPECT_TRUE(pumpUntil(told, 10000));
    EXPECT_FALSE(form_->downloadPanel->Visible());
    EXPECT_EQ(form_->jobWorkUnits, 0);
}

// A folder on a full disk (a small tmpfs the test mounts; skipped where that is refused), as the
// target of the selection and of a zip file of one photo: the job ends at once with one message
// that gives the system's reason, nothing is fetched twice, and no partial file or archive stays.
TEST_F(SaveJob, AFullDiskEndsTheJobAtOnceWithOneMessage) {
    for (bool zip : {false, true}) {
        const std::wstring folder = temp_.path() + (zip ? L"voll zip" : L"voll");
        ASSERT_TRUE(CreateDirectoryW(folder.c_str(), nullptr));
        const Mount mount(folder, zip ? "4k" : "16k");
        if (!mount.mounted())
            GTEST_SKIP() << "cannot mount a small file system: " << mount.result();
        const std::wstring zipPath = folder + L"\\Fotos.zip";
        SCOPED_TRACE(zip ? "zip job" : "folder job");
        // The zip job saves one picture, which does not fit.
        for (Photo* photo : selected_)
            photo->selected = !zip || photo == selected_[0];
        ASSERT_TRUE(jobSite().reset());
        MessageBoxWatcher boxes;
        EXPECT_TRUE(runJob(form_, [&] {
            form_->startSaveJob(zip ? zipStagingFolder(zipPath, makeGuidFileName()) : folder,
                                zip ? zipPath : L"");
        }));
        ASSERT_TRUE(pumpUntil([&] { return !boxes.texts().empty(); }, 10000));
        pump(300);
        const std::vector<std::wstring> texts = boxes.texts();
        ASSERT_EQ(texts.size(), 1u);
        const std::string shown(texts[0].begin(), texts[0].end());
        EXPECT_NE(texts[0].find(zip ? L"The zip file \"" + zipPath + L"\" could not be written."
                                    : L"could not be saved to \"" + folder + L"\"."),
                  std::wstring::npos)
            << shown;
        EXPECT_NE(texts[0].find(systemErrorText(ERROR_DISK_FULL)), std::wstring::npos) << shown;
        for (const Photo* photo : selected_) {
            EXPECT_LE(jobSite().countRequests("GET " + pathOf(urlOf(photo))), 1);
            const std::wstring target = targetOf(folder, photo);
            EXPECT_FALSE(testsupport::pathExists(target + L".tmp"));
            if (testsupport::pathExists(target)) {
                EXPECT_EQ(testsupport::readFileBytes(target), siteBytes(jobSite(), urlOf(photo)));
            }
        }
        EXPECT_EQ(filesIn(folder, L"*.zip"), std::vector<std::wstring>{});
        EXPECT_EQ(filesIn(folder, L"*_tmp"), std::vector<std::wstring>{});
    }
}

}  // namespace
