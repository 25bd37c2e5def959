#pragma once
// Saving through Pixhaul.exe as a person does it: tiles clicked to select them, the bottom panel's
// save, zip and stop buttons, the program's own folder, save and message dialogs answered, the
// progress strip watched on the screen, and the files and archives read back afterwards.
#include <windows.h>

#include <atomic>
#include <cstdint>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "program/MainRoadSupport.h"
#include "saving/SavedFiles.h"
#include "support/TestSupport.h"

namespace savingtest {

constexpr int64_t kItemStep = 30000000;  // 3 s in FILETIME units

// Settings the program starts with: the earlier ones removed, a click on a tile selects it, small
// tiles in a tall window (so that alice's first 18 items show without scrolling), and the folders
// the save dialogs open on.
struct StartSettings {
    std::wstring userName;  // with folder: the folder the save dialog opens on for this user
    std::wstring folder;
    std::wstring zipFolder;
};

// What the progress strip showed while it was watched, sampled from the screen.
class StripWatch {
public:
    explicit StripWatch(HWND mainWindow);
    ~StripWatch();
    StripWatch(const StripWatch&) = delete;
    StripWatch& operator=(const StripWatch&) = delete;

    bool found() const { return innerPanel_ != nullptr; }
    bool shown() const;
    // The filled part's width at each change seen, and the width of a full strip.
    std::vector<int> widths() const;
    int fullWidth() const;
    // The last width seen over the full width (0 when never shown).
    double lastFraction() const;
    bool neverDecreased() const;
    bool reachedFull() const;
    // The place of the stop button beside the strip, in screen coordinates.
    POINT stopButton() const;

private:
    int filledWidth() const;
    void run();

    HWND panel_ = nullptr;
    HWND innerPanel_ = nullptr;
    mutable std::mutex lock_;
    std::vector<int> widths_;
    std::atomic<bool> stop_{false};
    std::thread sampler_;
};

enum class JobButton { folder, zip, print };

// One of alice's items as the site serves it and a save should write it.
struct SiteItem {
    int position = 0;   // in the grid
    std::string url;    // what the save fetches: the video's address, else the full-size picture's
    std::wstring name;  // the saved file's name
    std::string bytes;
    int64_t time = 0;  // the item time, which the item's thumbnail file carries too
};

class SavingSession : public mainroad::MainRoadSession {
public:
    // Starts the program with these settings; false (with a failure added) when it did not show.
    bool startWith(const StartSettings& settings);
    // Types the user and waits for the whole load: its name back in the box and every thumbnail.
    bool loadUser(const std::wstring& name, size_t items);
    // A click on each tile (visible-list positions) as the grid shows it at the top.
    void clickTiles(const std::vector<int>& positions);
    void clickJobButton(JobButton button);
    // The folder dialog, once its tree shows the folder it opened on, confirmed with OK; its texts.
    std::wstring confirmFolderDialog();
    // The save dialog with the path typed into its file-name box and confirmed; its caption.
    std::wstring confirmSaveDialog(const std::wstring& path);
    // Presses a button of a dialog or message box of the program.
    static void pressButton(HWND dialog, int id);
    // A message box's text (caption and statics) and the button pressed to answer it; empty when
    // none came in time.
    std::wstring answerBox(int id, int timeoutMs = 15000);

    // An item as the site serves it (which logs the reads: reset the log after): what a save
    // fetches, the file it writes, and the item time its thumbnail carries.
    SiteItem siteItem(int position, const std::string& url, const std::wstring& name,
                      const std::string& thumbnail);
    // alice's items at these grid positions.
    std::vector<SiteItem> aliceItems(const std::vector<int>& positions);
};

}  // namespace savingtest
