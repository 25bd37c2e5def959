// Saving alice's items through Pixhaul.exe: tiles clicked, the save and zip buttons, the folder and
// save dialogs and the replace question answered, the strip watched on the screen; the files, their
// times, the archive and the site's log read back afterwards.
#include <gtest/gtest.h>

#include <algorithm>
#include <iostream>

#include "program/SavingSupport.h"
#include "saving/UnixTools.h"
#include "support/RealInput.h"
#include "support/TestPrinter.h"

namespace {

using namespace savingtest;
using testsupport::waitUntil;

constexpr int kJobMs = 60000;
// Both videos (positions 1 and 15) and six pictures.
const std::vector<int> kSelection{0, 1, 2, 3, 4, 5, 6, 15};

std::string narrow(const std::wstring& text) {
    std::string out;
    for (wchar_t c : text)
        out += c < 128 ? static_cast<char>(c) : '?';
    return out;
}

std::wstring systemText(DWORD error) {
    wchar_t* text = nullptr;
    FormatMessageW(
        FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr,
        error, 0, reinterpret_cast<wchar_t*>(&text), 0, nullptr);
    std::wstring result = text ? text : L"";
    LocalFree(text);
    while (!result.empty() && (result.back() == L'\n' || result.back() == L'\r'))
        result.pop_back();
    return result;
}

int64_t now() {
    FILETIME time{};
    GetSystemTimeAsFileTime(&time);
    return ticks(time);
}

class Saving : public ::testing::Test {
protected:
    // alice loaded into a program whose save dialog opens on folder, and whose zip dialog on zipFolder.
    void startAlice(const std::vector<int>& positions = kSelection) {
        folder = temp.path() + L"Fotos \u00c4\u00d6 \u5199\u771f";
        zipFolder = temp.path() + L"\u0410\u0440\u0445\u0438\u0432";
        ASSERT_TRUE(CreateDirectoryW(folder.c_str(), nullptr));
        ASSERT_TRUE(CreateDirectoryW(zipFolder.c_str(), nullptr));
        ASSERT_TRUE(session.startWith({L"alice", folder, zipFolder}));
        entered = now();
        ASSERT_TRUE(session.loadUser(L"alice", 45)) << session.site().logText();
        items = session.aliceItems(positions);
        ASSERT_TRUE(session.site().reset());
    }

    // Clicks the tiles (which must not be selected yet) and saves the selection with the folder
    // button, the dialog asking for a folder for one photo or for several.
    void saveToFolder(const std::vector<int>& toSelect = kSelection, bool onePhoto = false) {
        session.clickTiles(toSelect);
        session.clickJobButton(JobButton::folder);
        const std::wstring texts = session.confirmFolderDialog();
        EXPECT_NE(texts.find(onePhoto ? L"Select folder where you want to save photo:"
                                      : L"Select folder where you want to save photos:"),
                  std::wstring::npos)
            << narrow(texts);
    }

    static bool waitForEnd(const StripWatch& strip) {
        return waitUntil([&] { return !strip.shown(); }, kJobMs);
    }

    // The strip shows and hides again, full or not at its end, never going back on the way.
    static void expectStripRun(const StripWatch& strip, bool full = true) {
        ASSERT_TRUE(waitUntil([&] { return strip.shown(); }, 10000));
        ASSERT_TRUE(waitForEnd(strip));
        EXPECT_EQ(strip.reachedFull(), full)
            << testing::PrintToString(strip.widths()) << " of " << strip.fullWidth();
        EXPECT_TRUE(strip.neverDecreased()) << testing::PrintToString(strip.widths());
    }

    // The item's file in the folder with the site's bytes, and the item time when asked.
    void expectSaved(const SiteItem& item, bool withTime = true) {
        const std::wstring path = folder + L"\\" + item.name;
        EXPECT_TRUE(testsupport::readFileBytes(path) == item.bytes) << item.url;
        if (withTime)
            EXPECT_EQ(writeTime(path), item.time) << item.url;
    }

    size_t fetches(const std::string& path) { return session.site().countRequests("GET " + path); }

    // The job ends with one message, answered; empty when none came. A second one is reported too.
    std::wstring endingMessage(const StripWatch& strip) {
        const std::wstring text = session.answerBox(IDOK, kJobMs);
        EXPECT_TRUE(waitForEnd(strip));
        EXPECT_FALSE(strip.reachedFull()) << testing::PrintToString(strip.widths());
        const HWND second = session.program().waitForMessageBox(1500);
        EXPECT_EQ(second, nullptr) << narrow(second ? testsupport::ProgramUnderTest::messageBoxText(second)
                                                    : L"");
        return text;
    }

    // Every item fetched at most once, and what a job left in the folder whole: no partial file.
    void expectNoRetryAndOnlyWholeFiles(const std::wstring& where) {
        for (const SiteItem& item : items) {
            EXPECT_LE(fetches(item.url), 1u) << item.url;
            const std::wstring path = where + L"\\" + item.name;
            if (fileExists(path)) {
                EXPECT_TRUE(testsupport::readFileBytes(path) == item.bytes) << narrow(item.name);
            }
        }
        EXPECT_EQ(filesIn(where, L"*.tmp"), std::vector<std::wstring>{});
        EXPECT_EQ(filesIn(where, L"*.zip"), std::vector<std::wstring>{});
        EXPECT_EQ(filesIn(where, L"*_tmp"), std::vector<std::wstring>{});
    }

    // Every item of the loaded user into the folder, into a zip file, and into the folder again:
    // the files and entries are items' names with their bytes, and the second save fetches nothing.
    void saveIntoFolderZipAndFolderAgain(const std::string& cdnPath) {
        std::vector<int> all;
        for (const SiteItem& item : items)
            all.push_back(item.position);
        std::vector<std::wstring> names;
        for (const SiteItem& item : items)
            names.push_back(item.name);
        std::sort(names.begin(), names.end());
        ASSERT_TRUE(session.site().reset());

        const std::wstring zipPath = temp.path() + L"saved.zip";
        for (int job = 0; job < 3; ++job) {
            StripWatch strip(session.program().mainWindow());
            if (job == 1) {
                session.clickJobButton(JobButton::zip);
                EXPECT_EQ(session.confirmSaveDialog(zipPath), L"Save Photos As");
            } else if (job == 0) {
                ASSERT_NO_FATAL_FAILURE(saveToFolder(all));
            } else {
                // Everything is in the folder already: the strip shows 100% at once.
                ASSERT_TRUE(session.site().reset());
                session.clickJobButton(JobButton::folder);
                session.confirmFolderDialog();
            }
            ASSERT_NO_FATAL_FAILURE(expectStripRun(strip));
            EXPECT_FALSE(session.messageBoxShown());
            EXPECT_EQ(filesIn(folder), names);
            for (const SiteItem& item : items)
                expectSaved(item);
        }
        EXPECT_EQ(session.site().countRequests("GET " + cdnPath), 0);
        EXPECT_EQ(checkArchive(zipPath, folder, "all"), "OK");
    }

    testsupport::TempFolder temp;
    SavingSession session;
    std::wstring folder;
    std::wstring zipFolder;
    int64_t entered = 0;
    std::vector<SiteItem> items;
};

// alice's first three items, one a video, printed (they become cached); then all eight into a
// non-ASCII folder that holds one of them, two other files of hers and one of bob's; then the same
// selection into a zip file that replaces an old one, once refused.
TEST_F(Saving, AliceIntoAFolderAndThenIntoAZipFile) {
    const std::string postscript = unixPath(temp.path() + L"print.ps");
    TestPrinter printer(std::wstring(postscript.begin(), postscript.end()));
    ASSERT_TRUE(printer.installed());
    ASSERT_NO_FATAL_FAILURE(startAlice());
    // The item times: 3 s apart in grid order, the first stamped during the load.
    for (const SiteItem& item : items)
        EXPECT_EQ(items[0].time - item.time, item.position * kItemStep) << narrow(item.name);
    EXPECT_LT(std::llabs(items[0].time - entered), 600000000ll);
    const int64_t oldest = items.back().time;

    const SiteItem& present = items[3];
    ASSERT_TRUE(testsupport::writeFileBytes(folder + L"\\" + present.name, present.bytes));
    const int64_t t1 = oldest - 1000 * kItemStep;
    const int64_t t2 = t1 + 7 * kItemStep;
    for (const auto& [name, time] : std::vector<std::pair<std::wstring, int64_t>>{
             {L"alice_old_one.jpg", t1}, {L"alice_old_two.jpg", t2}, {L"bob_x.jpg", t1}}) {
        ASSERT_TRUE(testsupport::writeFileBytes(folder + L"\\" + name, narrow(name)));
        setWriteTime(folder + L"\\" + name, time);
    }
    {
        // The print dialog confirmed as it opens: the three pages, one copy.
        StripWatch strip(session.program().mainWindow());
        session.clickTiles({0, 1, 2});
        session.clickJobButton(JobButton::print);
        const HWND dialog = session.program().waitForMessageBox(15000);
        ASSERT_TRUE(dialog);
        SavingSession::pressButton(dialog, IDOK);
        ASSERT_NO_FATAL_FAILURE(expectStripRun(strip));
    }
    {
        StripWatch strip(session.program().mainWindow());
        ASSERT_TRUE(strip.found());
        ASSERT_NO_FATAL_FAILURE(saveToFolder({3, 4, 5, 6, 15}));
        ASSERT_NO_FATAL_FAILURE(expectStripRun(strip));
    }
    EXPECT_FALSE(session.messageBoxShown());
    for (const SiteItem& item : items) {
        expectSaved(item);
        // Fetched once from its own address (a video from its video address), a printed picture by
        // the print only, the one there never.
        EXPECT_EQ(fetches(item.url), &item == &present ? 0u : 1u) << item.url;
    }
    // The videos' pictures: the printed one's fetched by the print alone, the other's never.
    EXPECT_EQ(fetches("/cdn/alice/s/1001_44.jpg"), 1u);
    EXPECT_EQ(fetches("/cdn/alice/s/1001_30.jpg"), 0u);
    EXPECT_EQ(writeTime(folder + L"\\alice_old_two.jpg"), oldest - kItemStep);
    EXPECT_EQ(writeTime(folder + L"\\alice_old_one.jpg"), oldest - kItemStep - 7 * kItemStep);
    EXPECT_EQ(writeTime(folder + L"\\bob_x.jpg"), t1);
    EXPECT_EQ(testsupport::readFileBytes(folder + L"\\bob_x.jpg"), "bob_x.jpg");
    EXPECT_EQ(filesIn(folder, L"*.tmp"), std::vector<std::wstring>{});

    // The reference for the archive: the files just saved, with their item times.
    const std::wstring reference = temp.path() + L"reference";
    ASSERT_TRUE(CreateDirectoryW(reference.c_str(), nullptr));
    for (const SiteItem& item : items)
        ASSERT_TRUE(
            CopyFileW((folder + L"\\" + item.name).c_str(), (reference + L"\\" + item.name).c_str(), TRUE));

    // "No" to the replace question changes nothing; "Yes" writes the archive, also when the site
    // leaves every Content-Length out.
    const std::wstring zipPath = zipFolder + L"\\Fotos \u00fc.zip";
    ASSERT_TRUE(testsupport::writeFileBytes(zipPath, "an old file"));
    ASSERT_TRUE(session.site().reset());
    ASSERT_TRUE(session.site().setMode("no_length=1"));
    for (int answer : {IDNO, IDYES}) {
        StripWatch strip(session.program().mainWindow());
        session.clickJobButton(JobButton::zip);
        EXPECT_EQ(session.confirmSaveDialog(zipPath), L"Save Photos As");
        const std::wstring question = session.answerBox(answer);
        EXPECT_NE(question.find(L"Pixhaul: The file \"" + zipPath +
                                L"\" already exists.\r\nDo you want to replace the existing file?"),
                  std::wstring::npos)
            << narrow(question);
        if (answer == IDNO) {
            session.program().waitForInputIdle();
            EXPECT_FALSE(strip.shown());
            EXPECT_EQ(testsupport::readFileBytes(zipPath), "an old file");
            EXPECT_EQ(session.site().countRequests("GET /cdn/"), 0);
            continue;
        }
        ASSERT_NO_FATAL_FAILURE(expectStripRun(strip));
    }
    EXPECT_FALSE(session.messageBoxShown());
    EXPECT_EQ(checkArchive(zipPath, reference, "all"), "OK") << session.site().logText();
    EXPECT_EQ(filesIn(zipFolder), std::vector<std::wstring>{L"Fotos \u00fc.zip"});
}

// bob is loaded while alice's save waits for the site: her save still ends whole, and her work files
// are gone once it has.
TEST_F(Saving, LoadingBobWhileAliceIsSavedLetsHerSaveEnd) {
    ASSERT_NO_FATAL_FAILURE(startAlice());
    ASSERT_TRUE(session.site().setMode("hold_full=1"));
    StripWatch strip(session.program().mainWindow());
    ASSERT_NO_FATAL_FAILURE(saveToFolder());
    ASSERT_TRUE(session.waitForRequests("/cdn/alice/", 6, 20000));
    session.typeUserName(L"bob");
    ASSERT_TRUE(session.waitForUserNameText(L"bob", kJobMs));
    EXPECT_TRUE(strip.shown());
    ASSERT_TRUE(session.site().setMode("release=1"));
    ASSERT_NO_FATAL_FAILURE(expectStripRun(strip));
    for (const SiteItem& item : items)
        expectSaved(item, false);
    ASSERT_TRUE(session.waitForThumbnailCount(1, 10000));
    EXPECT_EQ(session.thumbnailFiles().at(0).name.rfind(L"bob_", 0), 0u);
    EXPECT_EQ(filesIn(session.program().workFolder() + L"Thumbnails", L"alice_*"),
              std::vector<std::wstring>{});
    EXPECT_FALSE(session.messageBoxShown());
}

// Replies held half-way: the stop button ends a folder job and then a zip job whose pictures are
// archived while its video waits. The strip hides without reaching 100%, no partial file stays,
// the archive holds whole entries, and the window then closes.
TEST_F(Saving, AStopMidTransferLeavesWholeFilesAndAWholeArchive) {
    const std::vector<int> six{0, 1, 2, 3, 4, 5};
    ASSERT_NO_FATAL_FAILURE(startAlice(six));
    const std::wstring zipPath = zipFolder + L"\\Gestoppt \u00df.zip";
    const std::wstring reference = temp.path() + L"reference";
    ASSERT_TRUE(CreateDirectoryW(reference.c_str(), nullptr));
    for (const SiteItem& item : items) {
        ASSERT_TRUE(testsupport::writeFileBytes(reference + L"\\" + item.name, item.bytes));
        setWriteTime(reference + L"\\" + item.name, item.time);
    }
    for (bool zip : {false, true}) {
        // Folder: every file waits at half. Zip: the pictures are archived, the video waits.
        ASSERT_TRUE(session.site().setMode(zip ? "hold_full=video" : "hold_full=1"));
        StripWatch strip(session.program().mainWindow());
        if (zip) {
            session.clickJobButton(JobButton::zip);
            EXPECT_EQ(session.confirmSaveDialog(zipPath), L"Save Photos As");
            ASSERT_TRUE(waitUntil([&] { return strip.lastFraction() > 0.8; }, kJobMs))
                << testing::PrintToString(strip.widths());
        } else {
            ASSERT_NO_FATAL_FAILURE(saveToFolder(six));
            ASSERT_TRUE(waitUntil([&] { return strip.lastFraction() > 0.45; }, kJobMs))
                << testing::PrintToString(strip.widths());
            EXPECT_LT(strip.lastFraction(), 0.55);
            session.saveScreenshot(L"program-save-strip-half.png");
        }
        testsupport::leftClick(strip.stopButton());
        programtest::parkPointer();
        ASSERT_NO_FATAL_FAILURE(expectStripRun(strip, false));
        ASSERT_TRUE(session.site().setMode("release=1"));
    }
    EXPECT_FALSE(session.messageBoxShown());
    // What the folder job left is whole, and nothing unfinished stays beside it.
    for (const std::wstring& name : filesIn(folder))
        EXPECT_TRUE(testsupport::readFileBytes(folder + L"\\" + name) ==
                    testsupport::readFileBytes(reference + L"\\" + name))
            << narrow(name);
    EXPECT_EQ(filesIn(folder, L"*.tmp"), std::vector<std::wstring>{});
    EXPECT_EQ(filesIn(zipFolder), std::vector<std::wstring>{L"Gestoppt \u00df.zip"});
    EXPECT_EQ(checkArchive(zipPath, reference, "subset"), "OK");
    session.program().requestClose();
    EXPECT_TRUE(session.program().waitForExit());
    EXPECT_EQ(session.program().exitCode(), 0u);
}

// A full disk and a read-only one, for a folder job and a zip job: each ends at once with one
// message that names the target and gives the system's reason, nothing is fetched again, and no
// partial file or archive stays.
TEST_F(Saving, AFullOrReadOnlyTargetEndsTheJobAtOnceWithOneMessage) {
    struct Target {
        const wchar_t* name;
        const char* options;
        DWORD reason;  // the system's reason the message must give, when it is known
    };
    for (const Target& target :
         {Target{L"voll", "4k", ERROR_DISK_FULL}, Target{L"schreibgesch\u00fctzt", "64m ro", 0}}) {
        const std::wstring mountPoint = temp.path() + target.name;
        ASSERT_TRUE(CreateDirectoryW(mountPoint.c_str(), nullptr));
        const Mount mount(mountPoint, target.options);
        if (!mount.mounted())
            GTEST_SKIP() << "cannot mount a small file system: " << mount.result();
        ASSERT_TRUE(session.startWith({L"alice", mountPoint, mountPoint}));
        ASSERT_TRUE(session.loadUser(L"alice", 45));
        items = session.aliceItems(kSelection);
        // On the full disk one photo alone first: its download is the only one when it fails.
        const bool onePhotoFirst = target.reason == ERROR_DISK_FULL;
        std::vector<int> unselected = kSelection;
        for (int job = onePhotoFirst ? 0 : 1; job < 3; ++job) {
            ASSERT_TRUE(session.site().reset());
            StripWatch strip(session.program().mainWindow());
            const std::wstring zipPath = mountPoint + L"\\Fotos.zip";
            std::wstring expected;
            if (job == 2) {
                session.clickJobButton(JobButton::zip);
                EXPECT_EQ(session.confirmSaveDialog(zipPath), L"Save Photos As");
                expected = L"The zip file \"" + zipPath + L"\" could not be written.";
            } else {
                const std::vector<int> toSelect =
                    job == 0
                        ? std::vector<int>{unselected.front()}
                        : std::vector<int>(unselected.begin() + (onePhotoFirst ? 1 : 0), unselected.end());
                ASSERT_NO_FATAL_FAILURE(saveToFolder(toSelect, job == 0));
                expected = L" could not be saved to \"" + mountPoint + L"\".";
            }
            const std::wstring text = endingMessage(strip);
            // The one photo alone is counted exactly; of the whole selection a small file may still
            // fit on the full disk.
            if (job == 0)
                expected = L"Pixhaul: 1 photo" + expected;
            std::cout << narrow(text) << "\n";
            EXPECT_EQ(text.rfind(L"Pixhaul: ", 0), 0u) << narrow(text);
            EXPECT_NE(text.find(expected), std::wstring::npos) << narrow(text);
            // The system's reason follows on a line of its own.
            EXPECT_GT(text.size(), text.find(expected) + expected.size() + 2) << narrow(text);
            if (target.reason) {
                EXPECT_NE(text.find(systemText(target.reason)), std::wstring::npos) << narrow(text);
            }
            expectNoRetryAndOnlyWholeFiles(mountPoint);
        }
        session.program().requestClose();
        EXPECT_TRUE(session.program().waitForExit());
    }
}

// A zip job over an old archive that fails (the image host refusing one picture on every retry)
// leaves the old archive byte for byte and nothing else in its folder.
TEST_F(Saving, AZipJobThatFailsLeavesTheOldArchiveAsItWas) {
    zipFolder = temp.path() + L"zip";
    ASSERT_TRUE(CreateDirectoryW(zipFolder.c_str(), nullptr));
    ASSERT_TRUE(session.startWith({L"fullsize", temp.path(), zipFolder}));
    ASSERT_TRUE(session.loadUser(L"fullsize", 6));
    const std::wstring zipPath = zipFolder + L"\\Alt.zip";
    ASSERT_TRUE(testsupport::writeFileBytes(zipPath, "an old archive"));
    StripWatch strip(session.program().mainWindow());
    // The small picture, which comes, and the one the host always refuses.
    session.clickTiles({0, 5});
    session.clickJobButton(JobButton::zip);
    EXPECT_EQ(session.confirmSaveDialog(zipPath), L"Save Photos As");
    session.answerBox(IDYES);
    const std::wstring text = endingMessage(strip);
    EXPECT_NE(text.find(L"There are some temporary server issues. Please try again."), std::wstring::npos)
        << narrow(text);
    EXPECT_EQ(testsupport::readFileBytes(zipPath), "an old archive");
    EXPECT_EQ(filesIn(zipFolder), std::vector<std::wstring>{L"Alt.zip"});
}

// A folder that carries the name of one target: the other item is saved, and the message counts
// the one that could not be.
TEST_F(Saving, ATargetNameTakenByAFolderIsTheOnePhotoNotSaved) {
    ASSERT_NO_FATAL_FAILURE(startAlice({0, 2}));
    ASSERT_TRUE(CreateDirectoryW((folder + L"\\" + items[0].name).c_str(), nullptr));
    StripWatch strip(session.program().mainWindow());
    ASSERT_NO_FATAL_FAILURE(saveToFolder({0, 2}));
    const std::wstring text = endingMessage(strip);
    EXPECT_NE(text.find(L"Pixhaul: 1 photo could not be saved to \"" + folder + L"\"."), std::wstring::npos)
        << narrow(text);
    expectSaved(items[1]);
    EXPECT_EQ(filesIn(folder, L"*.tmp"), std::vector<std::wstring>{});
    EXPECT_EQ(fetches(items[1].url), 1u);
}

// Addresses whose last segment is no file name (a query, ':' and '*', 300 characters) give safe
// names on disk and in the archive; saving them again fetches nothing.
TEST_F(Saving, OddNamesAreSafeOnDiskAndInTheArchiveAndASecondSaveFetchesNothing) {
    folder = temp.path() + L"odd";
    ASSERT_TRUE(CreateDirectoryW(folder.c_str(), nullptr));
    ASSERT_TRUE(session.startWith({L"oddnames", folder, temp.path()}));
    ASSERT_TRUE(session.loadUser(L"oddnames", 5));
    const std::string tall = "1909_3_tall_" + std::string(300 - 12 - 4, 'n') + ".jpg";
    const std::wstring shortened = L"oddnames_1909_3_tall_" + std::wstring(200 - 12 - 4, L'n') + L".jpg";
    items = {session.siteItem(0, "/cdn/oddnames/s/1909_5.jpg?sig=5&size=s", L"oddnames_1909_5.jpg",
                              "/cdn/oddnames/l/1909_5.jpg"),
             session.siteItem(1, "/cdn/oddnames/s/1909_4:wide*.jpg", L"oddnames_1909_4_wide_.jpg",
                              "/cdn/oddnames/l/1909_4.jpg"),
             session.siteItem(2, "/cdn/oddnames/s/" + tall, shortened, "/cdn/oddnames/l/1909_3.jpg"),
             session.siteItem(3, "/cdn/oddnames/v/1909_2.mp4?dl=1", L"oddnames_1909_2.mp4",
                              "/cdn/oddnames/l/1909_2.jpg"),
             session.siteItem(4, "/cdn/oddnames/s/1909_1.jpg", L"oddnames_1909_1.jpg",
                              "/cdn/oddnames/l/1909_1.jpg")};
    ASSERT_NO_FATAL_FAILURE(saveIntoFolderZipAndFolderAgain("/cdn/oddnames/"));
}

// Four items whose addresses end in one file name once the query is dropped and the case ignored:
// each has a file and an entry of its own with its own bytes; saving again fetches nothing.
TEST_F(Saving, ItemsWhoseAddressesEndAlikeAreEachSavedUnderANameOfTheirOwn) {
    folder = temp.path() + L"same";
    ASSERT_TRUE(CreateDirectoryW(folder.c_str(), nullptr));
    ASSERT_TRUE(session.startWith({L"samename", folder, temp.path()}));
    ASSERT_TRUE(session.loadUser(L"samename", 4));
    const char* addresses[] = {"0/pic.jpg", "1/pic.jpg", "2/pic.jpg?v=2", "3/PIC.jpg"};
    for (int position = 0; position < 4; ++position) {
        const std::wstring number = std::to_wstring(4 - position);
        items.push_back(
            session.siteItem(position, std::string("/cdn/samename/s/") + addresses[position],
                             position == 0 ? L"samename_pic.jpg" : L"samename_pic_2222_" + number + L".jpg",
                             "/cdn/samename/l/2222_" + std::to_string(4 - position) + ".jpg"));
    }
    ASSERT_NO_FATAL_FAILURE(saveIntoFolderZipAndFolderAgain("/cdn/samename/"));
}

// Items whose full-size address is no address: a save that can queue none of them says so at once
// and never shows 100%. A printer taken away while its dialog is open is named, with the system's
// reason, and nothing is fetched.
TEST_F(Saving, NothingQueuedAndAPrinterGoneAreEachSaid) {
    const std::string postscript = unixPath(temp.path() + L"print.ps");
    TestPrinter printer(std::wstring(postscript.begin(), postscript.end()));
    ASSERT_TRUE(printer.installed());
    folder = temp.path() + L"none";
    ASSERT_TRUE(CreateDirectoryW(folder.c_str(), nullptr));
    ASSERT_TRUE(session.startWith({L"unqueued", folder, temp.path()}));
    ASSERT_TRUE(session.loadUser(L"unqueued", 3));
    ASSERT_TRUE(session.site().reset());
    StripWatch strip(session.program().mainWindow());
    ASSERT_NO_FATAL_FAILURE(saveToFolder({0, 1}));
    const std::wstring notSaved = endingMessage(strip);
    EXPECT_NE(notSaved.find(L"Pixhaul: 2 photos could not be saved to \"" + folder + L"\"."),
              std::wstring::npos)
        << narrow(notSaved);
    EXPECT_EQ(filesIn(folder), std::vector<std::wstring>{});

    session.clickJobButton(JobButton::print);
    const HWND dialog = session.program().waitForMessageBox(15000);
    ASSERT_TRUE(dialog);
    printer.remove();
    SavingSession::pressButton(dialog, IDOK);
    const std::wstring gone = session.answerBox(IDOK);
    EXPECT_NE(gone.find(L"The printer \"" + printer.name() + L"\" cannot be used."), std::wstring::npos)
        << narrow(gone);
    EXPECT_FALSE(strip.shown());
    EXPECT_EQ(session.site().countRequests("GET /cdn/"), 0);
}

}  // namespace
