#pragma once
// TForm1: the main window. This header is the one list of its members: the components of its
// layout, the state of every concern, and the handlers. Which file holds which handler is in
// mainwindow/README.md.
#include "controls/Image.h"
#include "controls/ImageButton.h"
#include "controls/PanelEx.h"
#include "controls/ProgressPie.h"
#include "controls/ScrollBoxEx.h"
#include "common/StringKeyCollection.h"
#include "feed/ThumbnailBatches.h"
#include "gui/ApplicationEvents.h"
#include "gui/CustomScrollBar.h"
#include "gui/Edit.h"
#include "gui/Form.h"
#include "gui/GdiPlus.h"
#include "gui/Graphics.h"
#include "gui/Image.h"
#include "gui/Label.h"
#include "gui/ListBox.h"
#include "gui/Menus.h"
#include "gui/Panel.h"
#include "gui/ScrollBox.h"
#include "gui/Shape.h"
#include "gui/TPxhl.h"
#include "gui/Timer.h"
#include "mainwindow/JobSupport.h"
#include "mainwindow/PxhlThumbnailDownloader.h"
#include "saving/JobOutcome.h"
#include "saving/JobRecords.h"
#include "saving/JobStopFlag.h"
#include "saving/PrintQueue.h"
#include "saving/ZipQueue.h"
#include <windows.h>
#include <array>
#include <initializer_list>
#include <memory>
#include <string>
#include <vector>

struct Photo;
struct GridMetrics;
class ThumbnailImage;
class FullSizeImage;

class TForm1 : public gui::TForm, public ThumbnailBatchHost {
public:
    explicit TForm1(gui::TComponent* owner);
    ~TForm1() override;

    // ================================================================ components
    // Built in code by createComponents (Unit1Layout.cpp) from the sizes in FormLayout.h.

    // ---- top area
    controls::TPanelEx* topPanel = nullptr;
    controls::Image* logoImage = nullptr;
    controls::TPanelEx* userNamePanel = nullptr;
    controls::Image* userNameLeftTopImage = nullptr;
    controls::Image* userNameRightTopImage = nullptr;
    controls::Image* userNameLeftBottomImage = nullptr;
    controls::Image* userNameRightBottomImage = nullptr;
    controls::Image* userNameTopImage = nullptr;
    controls::Image* userNameBottomImage = nullptr;
    controls::Image* userNameLeftImage = nullptr;
    controls::Image* userNameRightImage = nullptr;
    controls::TPanelEx* userNameEditPanel = nullptr;
    gui::TEdit* userNameEdit = nullptr;
    controls::TPanelEx* userNameProgressPiePanel = nullptr;
    controls::TProgressPie* userNameProgressPie = nullptr;
    controls::ImageButton* userNameArrowDownImageButton = nullptr;
    controls::ImageButton* userNameImageButton = nullptr;
    controls::ImageButton* minimizeImageButton = nullptr;
    controls::ImageButton* maximizeImageButton = nullptr;
    controls::ImageButton* closeImageButton = nullptr;
    controls::TPanelEx* userNameListBoxPanel = nullptr;
    gui::TListBox* userNameListBox = nullptr;

    // ---- toolbar
    controls::TPanelEx* toolbarPanel = nullptr;
    controls::ImageButton* selectAllImageButton = nullptr;
    controls::ImageButton* unselectAllImageButton = nullptr;
    controls::ImageButton* slideShowImageButton = nullptr;
    controls::TPanelEx* searchPanel = nullptr;
    controls::Image* searchLeftTopImage = nullptr;
    controls::Image* searchRightTopImage = nullptr;
    controls::Image* searchLeftBottomImage = nullptr;
    controls::Image* searchRightBottomImage = nullptr;
    controls::Image* searchTopImage = nullptr;
    controls::Image* searchBottomImage = nullptr;
    controls::Image* searchLeftImage = nullptr;
    controls::Image* searchRightImage = nullptr;
    controls::TPanelEx* searchEditPanel = nullptr;
    gui::TEdit* searchEdit = nullptr;
    controls::Image* resizeImage = nullptr;
    controls::ImageButton* resizeThumbImageButton = nullptr;

    // ---- content area and the start screen
    controls::TScrollBoxEx* contentScrollBox = nullptr;
    controls::Image* logoBigImage = nullptr;
    controls::Image* startSavingTextImage = nullptr;
    // Pattern pictures (never shown): sources of the background brushes.
    gui::TImage* contentScrollBoxPatternImage0 = nullptr;
    gui::TImage* contentScrollBoxPatternImage1 = nullptr;
    gui::TImage* contentScrollBoxPatternImage2 = nullptr;
    gui::TImage* contentScrollBoxPatternImage3 = nullptr;
    gui::TImage* bottomScrollBoxPatternImage0 = nullptr;
    gui::TImage* bottomScrollBoxPatternImage1 = nullptr;
    gui::TImage* bottomScrollBoxPatternImage2 = nullptr;
    gui::TImage* bottomScrollBoxPatternImage3 = nullptr;
    gui::TImage* downloadProgressPanelPatternImage = nullptr;

    // ---- full-size view side panels
    controls::TPanelEx* closeSlideshowImagePanel = nullptr;
    controls::TPanelEx* leftSlideshowImagePanel = nullptr;
    controls::TPanelEx* rightSlideshowImagePanel = nullptr;
    controls::ImageButton* closeSlideshowImageButton = nullptr;
    controls::ImageButton* leftSlideshowImageButton = nullptr;
    controls::ImageButton* rightSlideshowImageButton = nullptr;

    // ---- bottom area
    controls::TPanelEx* bottomPanel = nullptr;
    controls::ImageButton* downloadImageButton = nullptr;
    controls::ImageButton* downloadZipImageButton = nullptr;
    controls::ImageButton* printImageButton = nullptr;
    controls::ImageButton* infoLogoImageButton = nullptr;
    controls::TPanelEx* downloadPanel = nullptr;
    controls::TPanelEx* downloadInnerPanel = nullptr;
    gui::TShape* downloadProgressShape = nullptr;
    gui::TLabel* downloadProgressPercent = nullptr;
    controls::ImageButton* closeDownloadImageButton = nullptr;
    gui::TScrollBox* bottomScrollBox = nullptr;
    controls::ImageButton* infoLogoBigImageButton = nullptr;

    // ---- timers
    gui::TTimer* checkUpdateTimer = nullptr;
    gui::TTimer* formDeactivateTimer = nullptr;
    gui::TTimer* slideshowTimer = nullptr;
    gui::TTimer* hideDownloadProgressTimer = nullptr;
    gui::TTimer* pageDownloaderErrorRetryTimer = nullptr;
    gui::TTimer* thumbnailsDownloaderErrorRetryTimer = nullptr;
    gui::TTimer* photosDownloaderErrorRetryTimer = nullptr;
    gui::TTimer* printDownloaderErrorRetryTimer = nullptr;

    gui::TApplicationEvents* applicationEvents = nullptr;

    // ---- the info menu, in its order
    gui::TPopupMenu* infoPopupMenu = nullptr;
    gui::TMenuItem* showCaptionsAsThumbnailTooltipsMenuItem = nullptr;
    gui::TMenuItem* showThumbnailShadowsMenuItem = nullptr;
    gui::TMenuItem* showFullSizeWhenThumbnailClickingMenuItem = nullptr;
    gui::TMenuItem* selectWhenThumbnailClickingMenuItem = nullptr;
    gui::TMenuItem* N3 = nullptr;
    gui::TMenuItem* anyWordCanMatchMenuItem = nullptr;
    gui::TMenuItem* allWordsMustMatchMenuItem = nullptr;
    gui::TMenuItem* clearSearchWhenChangingUsernameMenuItem = nullptr;
    gui::TMenuItem* N1 = nullptr;
    gui::TMenuItem* slowSlideshowMenuItem = nullptr;
    gui::TMenuItem* moderateSlideshowMenuItem = nullptr;
    gui::TMenuItem* fastSlideshowMenuItem = nullptr;
    gui::TMenuItem* slideshowOverlayMenuItem = nullptr;
    gui::TMenuItem* transparentOverlayMenuItem = nullptr;
    gui::TMenuItem* extraExtraLightOverlayMenuItem = nullptr;
    gui::TMenuItem* extraLightOverlayMenuItem = nullptr;
    gui::TMenuItem* veryLightOverlayMenuItem = nullptr;
    gui::TMenuItem* mediumLightOverlayMenuItem = nullptr;
    gui::TMenuItem* lightOverlayMenuItem = nullptr;
    gui::TMenuItem* darkOverlayMenuItem = nullptr;
    gui::TMenuItem* mediumDarkOverlayMenuItem = nullptr;
    gui::TMenuItem* veryDarkOverlayMenuItem = nullptr;
    gui::TMenuItem* extraDarkOverlayMenuItem = nullptr;
    gui::TMenuItem* extraExtraDarkOverlayMenuItem = nullptr;
    gui::TMenuItem* blackOverlayMenuItem = nullptr;
    gui::TMenuItem* N4 = nullptr;
    gui::TMenuItem* removeUsernamesMenuItem = nullptr;
    gui::TMenuItem* temporaryFolderMenuItem = nullptr;
    gui::TMenuItem* N2 = nullptr;
    gui::TMenuItem* checkForUpdatesMenuItem = nullptr;
    gui::TMenuItem* sendFeedbackMenuItem = nullptr;
    gui::TMenuItem* aboutPixhaulMenuItem = nullptr;

    // ================================================================ state, in declaration order

    HWND userNameScrollBarWindow = nullptr;
    HWND contentScrollBarWindow = nullptr;
    int dropDownMaxRows = 8;
    int dropDownSelection = -1;
    POINT dropDownCursorPos{-1, -1};
    float downloadProgressFraction = 0;
    std::vector<gui::TPxhl*> activeDownloaders;
    std::vector<gui::TPxhl*> idleDownloaders;
    std::wstring tempBaseFolder;
    bool workFolderUsable = true;  // false when no work folder could be made at start (fixed for the run)
    std::wstring currentUserName;
    std::wstring thumbnailsFolder;
    std::wstring pageFilePath;
    std::wstring secondWorkFilePath;
    std::wstring viewerFolder;
    std::wstring versionFilePath;
    StringKeyCollection userNameFolders;
    std::wstring lastSavedPhotosFolderPath;
    std::wstring lastSavedPhotosZipFolderPath;
    gui::TPxhl* pageDownloader = nullptr;
    gui::TPxhl* thumbnailsDownloader = nullptr;
    gui::TPxhl* photosDownloader = nullptr;
    gui::TPxhl* printDownloader = nullptr;
    gui::TPxhl* updateDownloader = nullptr;
    int pageGeneration = 0;
    int thumbnailsGeneration = 0;
    int fullSizeGeneration = 0;
    int saveGeneration = 0;
    int printGeneration = 0;
    std::wstring lastPageSuffix;
    int totalMediaCount = 0;
    LoadState loadState = LoadState::idle;  // where the load of the current user stands
    int pageProgress = 0;
    int samePageRepeatCount = 0;
    int pageRetryCount = 0;  // failed downloads of the current page; zeroed for every new page
    std::vector<Photo*> photos;
    std::vector<Photo*> visiblePhotos;
    StringKeyCollection photoFileNames;
    PxhlThumbnailDownloader thumbnailsAdapter{nullptr};  // thumbnailsDownloader as the batches use it
    ThumbnailBatches thumbnailBatches{*this};
    bool allSelected = false;  // copied into a photo's selection when its thumbnail arrives
    std::vector<std::unique_ptr<std::wstring>> searchWords;  // lower-cased; empty: no search
    std::wstring searchText;                                 // the trimmed text of the last search
    std::vector<ThumbnailImage*> tilesInUse;
    std::vector<ThumbnailImage*> tilePool;
    int thumbnailWidth = 150;
    int thumbnailHeight = 150;
    int scrollAnchorIndex = -1;
    int scrollAnchorOffset = -1;
    std::unique_ptr<controls::TileList> tileOutlines;  // tilesInUse as contentScrollBox sees them
    int tilesMade = 0;                                 // tiles the pool had to make
    FullSizeImage* fullSizeImage = nullptr;
    controls::Image* overlayImage = nullptr;
    gui::TControl* lastClickPanel = nullptr;
    POINT lastClickPoint{-1, -1};
    DWORD lastClickTime = 0;
    bool slideshowRunning = false;
    int gridMarginLeft = 41;
    int gridMarginRight = 41;
    int gridMarginTop = 41;
    int gridMarginBottom = 41;
    int gridColumnGap = 42;
    int gridRowGap = 42;
    JobStopFlag jobStopped;  // with its own lock, read by the job's worker threads
    double jobWorkUnits = 0;
    double jobProgress = 0;
    double jobShownProgress = 0;
    std::vector<std::wstring> pendingDeleteFiles;
    JobEntries jobEntries;
    int selectionAnchor = -1;
    bool copyDone = false;
    bool downloadsDone = false;
    bool photoTimesDone = false;
    bool zipDone = false;
    bool printDone = false;
    int saveRetryCount = 0;
    int printRetryCount = 0;
    std::wstring zipStagingFolder;
    ZipQueue zipQueue;      // with its lock and whether its input is closed
    PrintQueue printQueue;  // with its lock and the handed and read counts
    JobOutcome jobOutcome;  // what the running (or last) job came to
    int printThumbnailsGeneration = 0;
    std::unique_ptr<gui::GdiPlusSession> printGdiPlus;  // held while a print job runs
    bool updateCheckRunning = false;
    gui::TWndMethod oldUserNameEditWindowProc;
    gui::TWndMethod oldTopPanelWindowProc;

    // Drawing objects made in FormCreate, freed by the destructor.
    HICON userNameBarIcons[6] = {};     // 15011 .. 15016
    HICON contentBarIcons[6] = {};      // 15001 .. 15006
    HBRUSH userNameBarBrushes[4] = {};  // white, thumb, thumb hot, thumb pressed
    HBRUSH contentBarBrushes[4] = {};   // track, thumb, thumb hot, thumb pressed
    HBRUSH overlayBarBrushes[11] = {};  // the content bar's track at the eleven overlay levels
    std::unique_ptr<gui::TBrush> contentPatternBrushes[4];
    std::unique_ptr<gui::CustomScrollBar> userNameScrollBar;
    std::unique_ptr<gui::CustomScrollBar> contentScrollBar;
    WNDPROC oldUserNameListBoxWndProc = nullptr;
    WNDPROC oldUserNameListBoxPanelWndProc = nullptr;
    WNDPROC oldContentScrollBoxWndProc = nullptr;
    WNDPROC oldUserNameScrollBarWndProc = nullptr;
    WNDPROC oldContentScrollBarWndProc = nullptr;

    // ================================================================ life cycle (Unit1.cpp)
    void FormCreate(gui::TObject* sender);
    void FormShow(gui::TObject* sender);
    void FormClose(gui::TObject* sender, gui::TCloseAction& action);
    // Stops every timer of the window and of the photos (closing and destruction).
    void stopAllTimers();
    // Every timer of the window's own, for what is done to all of them.
    std::array<gui::TTimer*, 9> formTimers() const;

    // ================================================================ form building and layout
    // (Unit1Layout.cpp)
    void createComponents();
    // The pictures, colours and picture-button hooks of every component.
    void applySkin();
    // Eight frame pictures around a panel: corners, then stretched edges.
    void placeFramePieces(gui::TWinControl* panel, int piece, std::initializer_list<controls::Image*> pieces);
    void placeUserNameBox();
    void placeContentScrollBar();
    // Leaves one pixel free on the side of an auto-hidden taskbar when the window covers the screen.
    void keepTaskbarFree();
    // The user-name box's status text while a user loads; a count of 0 or less is not shown.
    static std::wstring loadingText(const std::wstring& userName, int totalCount);
    void setPhotoViewVisible(bool visible);
    void layoutPanels(bool showToolbar, bool showBottomPanel);
    void maximizeToWorkArea();
    // Toggles between the normal and the maximised state, keeping the grid's top photo.
    void toggleMaximized();
    void updateUserNameEditText();
    void centerLogoBigImage();
    void FormResize(gui::TObject* sender);
    void topPanelMouseUp(gui::TObject* sender, gui::TMouseButton button, gui::TShiftState shift, int x,
                         int y);
    void minimizeImageButtonBtnClick(gui::TObject* sender);
    void maximizeImageButtonBtnClick(gui::TObject* sender);
    void closeImageButtonBtnClick(gui::TObject* sender);
    void applicationEventsRestore(gui::TObject* sender);
    void FormDeactivate(gui::TObject* sender);
    void applicationEventsDeactivate(gui::TObject* sender);
    void formDeactivateTimerTimer(gui::TObject* sender);

    // ================================================================ frame, hook, bars (Unit1Frame.cpp)
    void Dispatch(gui::TMessage& message) override;
    void FormMouseMove(gui::TObject* sender, gui::TShiftState shift, int x, int y);
    void FormMouseDown(gui::TObject* sender, gui::TMouseButton button, gui::TShiftState shift, int x, int y);
    void topPanelMouseDown(gui::TObject* sender, gui::TMouseButton button, gui::TShiftState shift, int x,
                           int y);
    void logoImageMouseDown(gui::TObject* sender, gui::TMouseButton button, gui::TShiftState shift, int x,
                            int y);
    virtual void userNameEditWindowProc(gui::TMessage& message);
    virtual void topPanelWindowProc(gui::TMessage& message);
    // Repaints the 3-px border.
    void invalidateFrame();
    // The border and the content bar's parts, for the window procedure: true when handled.
    bool paintFrame(gui::TMessage& message);
    bool drawContentBar(gui::TMessage& message);
    // Maximising stays inside the monitor's work area.
    void limitMaximizedSize(MINMAXINFO* info);
    // Creates the two custom bars and subclasses the controls they follow.
    void createScrollBars();
    void destroyScrollBars();
    // Moves the slider knob to a left position and derives the thumbnail size from it.
    void moveSizeSlider(int knobLeft);
    // The thumbnail width for the slider knob's position now.
    int sliderThumbnailWidth() const;
    static LRESULT CALLBACK userNameListBoxWndProc(HWND window, UINT msg, WPARAM wParam, LPARAM lParam);
    static LRESULT CALLBACK userNameListBoxPanelWndProc(HWND window, UINT msg, WPARAM wParam, LPARAM lParam);
    static LRESULT CALLBACK userNameScrollBarWndProc(HWND window, UINT msg, WPARAM wParam, LPARAM lParam);
    static LRESULT CALLBACK contentScrollBoxWndProc(HWND window, UINT msg, WPARAM wParam, LPARAM lParam);
    static LRESULT CALLBACK contentScrollBarWndProc(HWND window, UINT msg, WPARAM wParam, LPARAM lParam);

    // ================================================================ worker messages (Unit1Messages.cpp)
    void WndProc(gui::TMessage& message) override;

    // ================================================================ loading a user (Unit1Load.cpp)
    // Loads the user named in the user-name box, or clears the view when it names none.
    void loadUser();
    void stopFeedDownloads();
    void resumeFeedDownloads();
    // Starts the page downloader on the page it holds; false when it holds none or cannot start.
    bool startPageDownload();
    void onPageDownloadDone(gui::TObject* sender, bool result);
    void pageDownloaderErrorRetryTimerTimer(gui::TObject* sender);
    // The load ended or stopped for good: the box's text, the pie and the Go face.
    void resetFeedControls();
    // The pages end with a message; the thumbnails of the photos that came go on.
    void endPageLoading(const std::wstring& message);
    // A warning box captioned with the product's name.
    void showFeedWarning(const std::wstring& text);

    // ================================================================ thumbnail batches (Unit1Batches.cpp)
    void queueThumbnailBatch(bool resetIdlePasses);
    void onThumbnailFileDone(gui::TObject* sender, long fileId, bool result);
    void onThumbnailsDone(gui::TObject* sender, bool result);
    void thumbnailsDownloaderErrorRetryTimerTimer(gui::TObject* sender);
    std::wstring thumbnailSavePath(size_t photo) override;
    void thumbnailArrived(size_t photo, const std::wstring& path) override;
    void thumbnailFailed(size_t photo, bool refused) override;
    bool matchesSearch(size_t photo) override;
    size_t visibleCount() override;
    size_t visiblePhoto(size_t slot) override;
    void insertVisible(size_t slot, size_t photo) override;
    void visibleListGrew() override;
    void setProgress(double fraction) override;
    LoadState feedLoadState() override;
    void startRetryTimer() override;
    void batchesEnded(const std::wstring& message) override;
    // The pie and the grid show the thumbnails that arrived once for all that arrive in one pass of
    // the message queue, and at most once a frame: thumbnails come several to a pass, and drawing
    // costs far more than taking one in. showThumbnailArrivals does it when the posted
    // WM_THUMBNAILS_ARRIVED comes, or thumbnailArrivalsTimer when the frame's time is not up yet.
    static constexpr UINT WM_THUMBNAILS_ARRIVED = WM_APP + 8;
    static constexpr ULONGLONG kThumbnailArrivalsFrameMs = 16;
    void postThumbnailArrivals();
    void showThumbnailArrivals();
    void forgetThumbnailArrivals();
    gui::TTimer* thumbnailArrivalsTimer = nullptr;
    ULONGLONG thumbnailArrivalsShownAt = 0;
    bool thumbnailArrivalsPosted = false;  // a message or the timer is on its way
    bool visibleListGrown = false;
    double arrivedProgress = -1;  // the pie's next value; -1: unchanged

    // ================================================================ settings (Unit1Settings.cpp)
    void loadSettings();
    void saveSettings();
    // The overlay levels' items, from transparent to black.
    std::vector<gui::TMenuItem*> overlayMenuItems() const;

    // ================================================================ what is left in Unit1Feed.cpp
    void refreshUserNameEditText();

    // ================================================================ thumbnail grid and tiles
    // (Unit1Grid.cpp)
    GridMetrics gridMetrics() const;
    // Ranges the grid, gives the photos in and next to the view their tiles and takes the others
    // back. keepScrollPosition: only the range changes (thumbnails still arriving).
    void layoutThumbnails(bool keepScrollPosition);
    // Notes the first photo whose top is in view and its distance from the view's top.
    void findScrollAnchor();
    void layoutGrid();  // after a scroll or a size change: layoutThumbnails(false)
    void rememberScrollAnchor();
    void resetScrollAnchor();
    ThumbnailImage* acquirePhotoImage(Photo* photo);
    void recyclePhotoImage(int index);
    // Every tile back to the pool, then deleted (destruction).
    void destroyTiles();
    void clearTileHover();
    void applyClickMode();
    // Only the tiles' photos (and pictures that explain themselves once) show tooltips.
    void bindTileHints();
    void applicationEventsShowHint(std::wstring& hintStr, bool& canShow, gui::THintInfo& hintInfo);

    // ================================================================ caption search (Unit1Search.cpp)
    void bindSearchBox();
    // Enter in the search box: new words from its text, and the grid filtered when they changed.
    void runSearch();
    // Rebuilds the visible list from the photos whose thumbnail is in (and did not fail), with the
    // search words and the match mode of the menu; the grid starts again at the top.
    void applySearchFilter();
    void searchEditEnter(gui::TObject* sender);
    void searchEditExit(gui::TObject* sender);
    void searchEditKeyDown(gui::TObject* sender, WORD& key, gui::TShiftState shift);
    void searchEditKeyPress(gui::TObject* sender, wchar_t& key);
    void searchEditPanelMouseDown(gui::TObject* sender, gui::TMouseButton button, gui::TShiftState shift,
                                  int x, int y);
    // A press on the toolbar, the grid's background or the bottom panel: the top panel takes the
    // focus, so the window's keys work and the search box shows its hint again.
    void toolbarPanelMouseDown(gui::TObject* sender, gui::TMouseButton button, gui::TShiftState shift, int x,
                               int y);
    // The search box's skin: its edges, the edit panel inside them and the edit in that.
    void searchPanelResize(gui::TObject* sender);
    // The search box's grey hint, shown while there is no search and the box has no focus.
    void showSearchHint();

    // ================================================================ select all or none
    // (Unit1Selection.cpp)
    void bindSelectionButtons();
    // Every photo of the load, shown or hidden by a search, gets this selection.
    void selectAllPhotos(bool selected);
    void selectAllImageButtonBtnClick(gui::TObject* sender);
    void unselectAllImageButtonBtnClick(gui::TObject* sender);

    // ================================================================ user-name box and history
    // (Unit1UserNames.cpp)
    void bindUserNameBox();
    std::wstring extractUserName();
    bool addUserNameToHistory(const std::wstring& name);
    int findUserNamePrefix(const std::wstring& text);
    void openHistoryDropDown(int topRow, int selectedRow);
    void closeHistoryDropDown();
    void updateUserNameButtonFaces();
    // The history list's bar at the list's right edge, shown while the list scrolls.
    void placeUserNameScrollBar();
    void userNameEditPanelMouseDown(gui::TObject* sender, gui::TMouseButton button, gui::TShiftState shift,
                                    int x, int y);
    void userNameEditEnter(gui::TObject* sender);
    void userNameEditExit(gui::TObject* sender);
    void userNameEditKeyDown(gui::TObject* sender, WORD& key, gui::TShiftState shift);
    void userNameEditKeyPress(gui::TObject* sender, wchar_t& key);
    void userNameEditKeyUp(gui::TObject* sender, WORD& key, gui::TShiftState shift);
    void userNamePanelResize(gui::TObject* sender);
    void userNameListBoxPanelResize(gui::TObject* sender);
    void userNameListBoxMouseMove(gui::TObject* sender, gui::TShiftState shift, int x, int y);
    void userNameListBoxMouseDown(gui::TObject* sender, gui::TMouseButton button, gui::TShiftState shift,
                                  int x, int y);
    void userNameListBoxMouseUp(gui::TObject* sender, gui::TMouseButton button, gui::TShiftState shift, int x,
                                int y);
    void userNameArrowDownImageButtonBtnClick(gui::TObject* sender);
    void userNameImageButtonBtnClick(gui::TObject* sender);

    // ================================================================ save and print jobs
    // The progress strip and what both jobs share (Unit1ProgressStrip.cpp).
    void bindJobButtons();
    void showDownloadProgress(bool visible, double fraction);
    void hideDownloadProgressTimerTimer(gui::TObject* sender);
    // The strip at 100%, hidden 400 ms later.
    void showJobFinished();
    // Sets the stop flag and stops both job controls (their handlers may run inside).
    void stopJobDownloads();
    void closeDownloadImageButtonBtnClick(gui::TObject* sender);
    // The strip at 100% or hidden, and the job's one message, as its outcome says.
    void endJob();
    void showJobWarning(const std::wstring& text) { showFeedWarning(text); }
    // Selected items of the visible list, counted up to limit.
    int selectedVisibleCount(int limit) const;
    void releasePendingDeleteFiles();
    // The save job (Unit1Save.cpp).
    void downloadImageButtonBtnClick(gui::TObject* sender);
    void downloadZipImageButtonBtnClick(gui::TObject* sender);
    // folder: the target, or a zip job's staging folder.
    void startSaveJob(std::wstring folder, std::wstring zipPath);
    void resetJobState(JobOutcome::Kind kind, const std::wstring& target);
    // A fresh control of the pool in slot, tagged with generation; false (and said) when none.
    bool takeJobDownloader(gui::TPxhl*& slot, int generation);
    // Clears the in-use flags of the job's copied photos.
    void releaseCopiedPhotos();
    void abandonSaveJob();
    PhotoDownload* jobEntryWithFileId(long fileId);
    void addJobProgress(double share);
    void addDownloadProgress(long fileId, const std::wstring& fileSize, const std::wstring& downloadedSize);
    void deletePartialFile(const std::wstring& finalPath);
    void endDownloads(DownloadOutcome outcome);
    // One job's downloads: its control, generation, retry count, retry timer and finishing step.
    struct JobDownloads {
        gui::TPxhl*& control;
        int& generation;
        int& retryCount;
        gui::TTimer*& retryTimer;
        void (TForm1::*finish)();
    };
    JobDownloads saveDownloads();
    JobDownloads printDownloads();
    // The end of a job control's run: another run after a pause, or the job's downloads are done.
    void onJobDownloadsDone(const JobDownloads& job, gui::TObject* sender, bool result);
    // The retry timer: the next run, or a stop asked for meanwhile carried out.
    void retryJobDownloads(const JobDownloads& job);
    void onSavePhotoProgress(gui::TObject* sender, long fileId, const std::wstring& fileSize,
                             const std::wstring& downloadedSize);
    void onSavePhotoFileDone(gui::TObject* sender, long fileId, bool result);
    void photosDownloaderErrorRetryTimerTimer(gui::TObject* sender);
    void finishSaveJob();
    void queueZipFile(const std::wstring& path);
    void onZipWriterEnded(const ZipArchiveMessageInfo& record);
    // The print job (Unit1Print.cpp).
    void printImageButtonBtnClick(gui::TObject* sender);
    void startPrintJob(HDC printerDC, int fromIndex, int toIndex, int copies, bool collate);
    void onPrintPhotoFileDone(gui::TObject* sender, long fileId, bool result);
    void printDownloaderErrorRetryTimerTimer(gui::TObject* sender);
    void onPrintThreadEnded(const PrintMessageInfo& record);
    void finishPrintJob();

    // ================================================================ full-size view and its downloads
    // (Unit1FullSize.cpp, Unit1FullSizeDownloads.cpp). fullSizeImage stays null until the view exists.
    void showFullSize(Photo* photo);
    void hideFullSize(bool redraw);
    // Sizes and places the view in the scroll box for a picture of width x height (frame included).
    void placeFullSize(int width, int height, bool isVideo);
    void placeFullSizeImage();
    void stopFullSizeTimers();
    void requestFullSizeImage(Photo* photo);
    void onFullSizeFileDone(gui::TObject* sender, long fileId, bool result);
    void onFullSizeDownloadDone(gui::TObject* sender, bool result);
    void onFullSizeRetryTimer(gui::TObject* sender);
    void onFullSizeSelectionChanged();
    // Shows the item's file, which is present: a photo sized to its picture, or a video's cover
    // with its player opening.
    void showFullSizeFile(Photo& photo);
    // The item on show got its file, or gave it up: a running slideshow goes on (at once after a
    // give-up) or stops at the last item; after a file, its neighbours' files are fetched.
    void goOnFromFullSize(Photo& photo, bool gaveUp);
    // After a picture appeared under the pointer: no stale hint, and the hover looks follow.
    void refreshPointerOverFullSize();
    // The photo the view shows, or null.
    Photo* fullSizePhoto() const;
    // The tiles' callbacks.
    void onPhotoImageOpen(ThumbnailImage* tile);
    void openPhotoLink(ThumbnailImage* tile);

    // ================================================================ video in the full-size view
    // (Unit1Video.cpp; the view's own video part lives with FullSizeImage)
    void pauseFullSizeMedia();
    void placeFullSizeVideo();

    // ================================================================ slideshow, previous/next, overlay
    // (Unit1Slideshow.cpp)
    void slideShowImageButtonBtnClick(gui::TObject* sender);
    void slideshowTimerTimer(gui::TObject* sender);
    // Previous and next: a sender means the user asked (a running slideshow stops); null is the slideshow.
    void leftSlideshowImageButtonBtnClick(gui::TObject* sender);
    void rightSlideshowImageButtonBtnClick(gui::TObject* sender);
    void closeSlideshowImageButtonBtnClick(gui::TObject* sender);
    void applySlideshowInterval();
    void updateSlideshowButtonFaces();
    void applyOverlayLevel();
    void stopSlideshow();
    void onFullSizeStopSlideshow();
    void bindSlideshowButtons();
    // The overlay level's brush for the content bar's disabled parts (the bar is disabled just
    // while the view is open); null until the level is applied.
    HBRUSH contentBarDisabledBrush = nullptr;

    // ================================================================ keys, Shift ranges, the wheel
    // (Unit1Keys.cpp; select all/none in Unit1Selection.cpp)
    void bindKeys();
    // True while a message box or modal window is open over the window: keys and wheel do nothing.
    bool modalWindowOpen();
    // True while the keys are not the window's: a modal window is open or an edit has the focus.
    bool keysIgnored();
    void onPhotoImageSelect(ThumbnailImage* tile);
    void FormKeyDown(gui::TObject* sender, WORD& key, gui::TShiftState shift);
    void FormKeyUp(gui::TObject* sender, WORD& key, gui::TShiftState shift);
    void applicationEventsMessage(MSG& msg, bool& handled);

    // ================================================================ info menu and small windows
    // (Unit1Menu.cpp until their own files)
    void infoLogoImageButtonBtnClick(gui::TObject* sender);
    void checkUpdateTimerTimer(gui::TObject* sender);
    // Closing: the recommendation window loads its page and shows it modally when it fits.
    void showRecommendationAtClose();
    void showCaptionsAsThumbnailTooltipsMenuItemClick(gui::TObject* sender);
    void showThumbnailShadowsMenuItemClick(gui::TObject* sender);
    void showFullSizeWhenThumbnailClickingMenuItemClick(gui::TObject* sender);
    void selectWhenThumbnailClickingMenuItemClick(gui::TObject* sender);
    void anyWordCanMatchMenuItemClick(gui::TObject* sender);
    void allWordsMustMatchMenuItemClick(gui::TObject* sender);
    void clearSearchWhenChangingUsernameMenuItemClick(gui::TObject* sender);
    void slowSlideshowMenuItemClick(gui::TObject* sender);
    void moderateSlideshowMenuItemClick(gui::TObject* sender);
    void fastSlideshowMenuItemClick(gui::TObject* sender);
    void transparentOverlayMenuItemClick(gui::TObject* sender);
    void extraExtraLightOverlayMenuItemClick(gui::TObject* sender);
    void extraLightOverlayMenuItemClick(gui::TObject* sender);
    void veryLightOverlayMenuItemClick(gui::TObject* sender);
    void mediumLightOverlayMenuItemClick(gui::TObject* sender);
    void lightOverlayMenuItemClick(gui::TObject* sender);
    void darkOverlayMenuItemClick(gui::TObject* sender);
    void mediumDarkOverlayMenuItemClick(gui::TObject* sender);
    void veryDarkOverlayMenuItemClick(gui::TObject* sender);
    void extraDarkOverlayMenuItemClick(gui::TObject* sender);
    void extraExtraDarkOverlayMenuItemClick(gui::TObject* sender);
    void blackOverlayMenuItemClick(gui::TObject* sender);
    void removeUsernamesMenuItemClick(gui::TObject* sender);
    void temporaryFolderMenuItemClick(gui::TObject* sender);
    void checkForUpdatesMenuItemClick(gui::TObject* sender);
    // The update-check control's completion (Unit1UpdateCheck.cpp).
    void onUpdateCheckDone(gui::TObject* sender, bool result);
    void sendFeedbackMenuItemClick(gui::TObject* sender);
    void aboutPixhaulMenuItemClick(gui::TObject* sender);
};

// The main window once created, else null.
extern TForm1* Form1;

// ---- the mouse hook shared by the frame, the picture buttons and the history drop-down
extern HHOOK mouseHookHandle;
extern controls::ImageButton* pressedButton;
extern gui::TControl* pressedPanel;
extern int dragState;
extern POINT dragAnchor;
// Where the pointer was when the message being handled was sent: the press or release point, also
// when the window handles its input late.
POINT pressPoint();
LRESULT CALLBACK mouseHookProc(int code, WPARAM message, LPARAM mouseRecord);
// Installs the hook unless one is installed.
void installMouseHook();
// Ends a drag: forgets the pressed panel, button and edge, removes the hook and clears
// mouseHookHandle, so that the next press hooks again.
void endMouseHook();

// ---- the download-control pool (Unit1Pool.cpp)
gui::TPxhl* acquireDownloader(TForm1* mainWindow);
// What the user is told when no control can be made; reason is why, from the failure.
std::wstring downloaderMissingText(const std::wstring& reason);
void resetDownloader(gui::TPxhl* downloader);
void releaseDownloader(TForm1* mainWindow, gui::TPxhl* downloader);
void releaseDownloaderCallback(gui::TPxhl* downloader);
void releaseAllDownloaders(TForm1* mainWindow);
// The generation a control serves (its Tag); -1 for a sender that is no component.
int generationOf(gui::TObject* sender);

// ---- photo records
void clearPhotos(TForm1* mainWindow);
