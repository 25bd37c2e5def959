// The full-size view in the window on the fixture site: an item opened from its tile, fetched
// once into the Viewer folder and then its neighbours; the "fullsize" user's pictures that fail,
// come late, have no extension, are small or are no pictures at all.
#include "ServiceWindow.h"
#include "controls/HoverProtocol.h"
#include "mainwindow/FullSizeImage.h"
#include "mainwindow/Photo.h"
#include "mainwindow/Thumbnailimage.h"
#include "support/ScreenCapture.h"
#include <gtest/gtest.h>

#include <algorithm>

using namespace formtest;

namespace {

// "GET /cdn/..." of an item's full-size address.
std::string fullSizeRequest(const Photo* photo) {
    const std::wstring& url = photo->standardResolutionUrl;
    const size_t path = url.find(L'/', url.find(L"//") + 2);
    return "GET " + std::string(url.begin() + path, url.end());
}

int requestsFor(const Photo* photo) {
    // Exact: a prefix would count the item whose number starts with this one's.
    int count = 0;
    for (const std::string& line : serviceSite().requests())
        count += line == fullSizeRequest(photo) ? 1 : 0;
    return count;
}

FILETIME lastWriteTime(const std::wstring& path) {
    WIN32_FILE_ATTRIBUTE_DATA data{};
    GetFileAttributesExW(path.c_str(), GetFileExInfoStandard, &data);
    return data.ftLastWriteTime;
}

bool sameTime(const FILETIME& a, const FILETIME& b) {
    return a.dwLowDateTime == b.dwLowDateTime && a.dwHighDateTime == b.dwHighDateTime;
}

// "<user>_", 32 lower-case hexadecimal digits, then the extension (which may be empty).
bool isViewerFileName(const std::wstring& path, const std::wstring& user, const std::wstring& extension) {
    const std::wstring name = path.substr(path.rfind(L'\\') + 1);
    const std::wstring prefix = user + L"_";
    if (name.size() != prefix.size() + 32 + extension.size() || name.compare(0, prefix.size(), prefix) != 0 ||
        name.compare(prefix.size() + 32, std::wstring::npos, extension) != 0)
        return false;
    return std::all_of(name.begin() + prefix.size(), name.begin() + prefix.size() + 32,
                       [](wchar_t c) { return iswxdigit(c) && !iswupper(c); });
}

std::vector<std::wstring> viewerFiles(TForm1* form) {
    std::vector<std::wstring> names;
    WIN32_FIND_DATAW data{};
    HANDLE find = FindFirstFileW((form->viewerFolder + L"\\*").c_str(), &data);
    if (find == INVALID_HANDLE_VALUE)
        return names;
    do {
        if (!(data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY))
            names.push_back(data.cFileName);
    } while (FindNextFileW(find, &data));
    FindClose(find);
    return names;
}

bool noItemHoldsAControl(TForm1* form, const Photo* except = nullptr) {
    return std::none_of(form->photos.begin(), form->photos.end(),
                        [except](const Photo* p) { return p != except && p->fullSizeDownloader; });
}

// The view shows the photo's file (decoded or not), its loading over.
bool shows(TForm1* form, const Photo* photo) {
    return form->fullSizePhoto() == photo && photo->fullSizePresent && !form->fullSizeImage->isLoading() &&
           form->fullSizeImage->picturePanel()->Visible();
}

// The view is centred in the box beside our bar, as high as the box allows (alice's are square).
bool placedForTheBox(TForm1* form) {
    const FullSizeImage* view = form->fullSizeImage;
    controls::TScrollBoxEx* box = form->contentScrollBox;
    const int available = box->ClientWidth() -
                          (box->VertScrollBar()->IsScrollBarVisible() ? 0 : GetSystemMetrics(SM_CXVSCROLL));
    return view->Visible() && std::abs(2 * view->Left() + view->Width() - available) <= 1 &&
           std::abs(2 * view->Top() + view->Height() - box->ClientHeight()) <= 1 &&
           view->Height() == std::min(646, box->ClientHeight());
}

class FullSizeWindow : public ServiceWindow {
protected:
    void SetUp() override {
        ServiceWindow::SetUp();
        if (HasFatalFailure())
            return;
        form()->showFullSizeWhenThumbnailClickingMenuItem->SetChecked(true);
        form()->applyClickMode();
    }
};

TEST_F(FullSizeWindow, AnItemOpensCentredFetchedOnceThenItsNeighboursOnly) {
    load(L"alice", 45);
    Photo* photo = form()->visiblePhotos[3];
    click(centreOf(form(), tileAt(form(), 3)));
    ASSERT_TRUE(
        pumpUntil([&] { return shows(form(), photo) && form()->fullSizeImage->hasPicture(); }, 15000));
    EXPECT_EQ(requestsFor(photo), 1);
    EXPECT_TRUE(isViewerFileName(photo->fullSizePath, L"alice", L".jpg")) << photo->fullSizePath.c_str();
    EXPECT_EQ(photo->fullSizePath.rfind(form()->viewerFolder + L"\\", 0), 0u);
    EXPECT_TRUE(sameTime(lastWriteTime(photo->fullSizePath), photo->fileTime));
    EXPECT_TRUE(sameTime(lastWriteTime(photo->fullSizePath), lastWriteTime(photo->thumbnailPath)));

    // Centred in the grid beside our bar, square, no larger than the box allows; so again after a
    // minimise and restore, and after a resize the system makes.
    const FullSizeImage* view = form()->fullSizeImage;
    EXPECT_TRUE(placedForTheBox(form())) << view->Left() << " " << view->Top() << " " << view->Height();
    EXPECT_EQ(view->Width(), view->Height());
    ShowWindow(form()->Handle(), SW_MINIMIZE);
    pump(300);
    ShowWindow(form()->Handle(), SW_RESTORE);
    EXPECT_TRUE(pumpUntil([&] { return placedForTheBox(form()); })) << view->Left() << " " << view->Height();
    const RECT frame = windowRect(form());
    SetWindowPos(form()->Handle(), nullptr, 0, 0, frame.right - frame.left, frame.bottom - frame.top - 200,
                 SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    EXPECT_TRUE(pumpUntil([&] { return placedForTheBox(form()); })) << view->Top() << " " << view->Height();
    form()->applyOverlayLevel();
    pump(200);
    testsupport::ScreenCapture::ofWindow(form()->Handle()).saveArtifact(L"full-size-view.png");

    // The view's mark selects the item and its tile.
    const RECT mark = controls::getVisibleScreenRect(view->selectionMark());
    click(POINT{(mark.left + mark.right) / 2, (mark.top + mark.bottom) / 2});
    EXPECT_TRUE(pumpUntil([&] { return photo->selected && photo->tile->isSelected(); }));
    EXPECT_TRUE(view->isSelected());

    // Then the neighbours, and nothing more.
    Photo* before = form()->visiblePhotos[2];
    Photo* after = form()->visiblePhotos[4];
    ASSERT_TRUE(pumpUntil([&] { return before->fullSizePresent && after->fullSizePresent; }, 15000));
    pump(1000);
    EXPECT_EQ(serviceSite().countRequests("GET /cdn/alice/s/"), 3);
    EXPECT_EQ(requestsFor(before), 1);
    EXPECT_EQ(requestsFor(after), 1);
    EXPECT_TRUE(noItemHoldsAControl(form()));

    // Closed and opened again: shown at once from its file.
    form()->hideFullSize(true);
    EXPECT_EQ(form()->fullSizePhoto(), nullptr);
    click(centreOf(form(), tileAt(form(), 3)));
    EXPECT_TRUE(pumpUntil([&] { return shows(form(), photo) && form()->fullSizeImage->hasPicture(); }, 2000));
    EXPECT_EQ(serviceSite().countRequests("GET /cdn/alice/s/"), 3);
}

TEST_F(FullSizeWindow, PicturesThatFailComeLateOrAreOddLeaveOneFileEach) {
    load(L"fullsize", 6);
    // Newest first: small, flaky, no extension, no picture, slow, broken.
    Photo* small = form()->visiblePhotos[0];
    Photo* flaky = form()->visiblePhotos[1];
    Photo* noExtension = form()->visiblePhotos[2];
    Photo* noPicture = form()->visiblePhotos[3];
    Photo* slow = form()->visiblePhotos[4];
    Photo* broken = form()->visiblePhotos[5];
    MessageBoxWatcher boxes;

    // Failing twice: the loading animation stays through the retries, the third try shows it.
    form()->showFullSize(flaky);
    ASSERT_TRUE(pumpUntil([&] { return requestsFor(flaky) == 1; }, 5000));
    EXPECT_TRUE(form()->fullSizeImage->isLoading());
    EXPECT_FALSE(form()->fullSizeImage->picturePanel()->Visible());
    ASSERT_TRUE(pumpUntil([&] { return shows(form(), flaky); }, 20000));
    EXPECT_TRUE(form()->fullSizeImage->hasPicture());
    EXPECT_EQ(requestsFor(flaky), 3);

    // Its neighbours came meanwhile: the small one at the default size, the one without an
    // extension in a file without one.
    ASSERT_TRUE(pumpUntil([&] { return small->fullSizePresent && noExtension->fullSizePresent; }, 10000));
    form()->showFullSize(small);
    EXPECT_TRUE(shows(form(), small));
    EXPECT_EQ(form()->fullSizeImage->picture()->BitmapWidth(), 64);
    EXPECT_EQ(form()->fullSizeImage->Width(), std::min(646, form()->contentScrollBox->ClientHeight()));
    EXPECT_EQ(requestsFor(small), 1);
    // Enlarged, not repeated: its top-left eighth (a cell of one colour) fills the view's corner.
    const RECT corner = controls::getVisibleScreenRect(form()->fullSizeImage->picture());
    const int eighth = (corner.right - corner.left) / 8;
    const RECT cell{corner.left + 8, corner.top + 8, corner.left + eighth - 8, corner.top + eighth - 8};
    EXPECT_TRUE(pumpUntil([&] { return testsupport::ScreenCapture(cell).distinctColours(1) <= 3; }, 5000));
    testsupport::ScreenCapture::ofWindow(form()->Handle()).saveArtifact(L"full-size-small-picture.png");
    EXPECT_TRUE(isViewerFileName(noExtension->fullSizePath, L"fullsize", L""))
        << noExtension->fullSizePath.c_str();

    // Bytes that are no picture: an empty view at the default size, then its neighbours.
    form()->showFullSize(noPicture);
    ASSERT_TRUE(pumpUntil([&] { return shows(form(), noPicture); }, 10000));
    EXPECT_FALSE(form()->fullSizeImage->hasPicture());
    EXPECT_EQ(form()->fullSizeImage->Width(), std::min(646, form()->contentScrollBox->ClientHeight()));

    // The slow one, prefetched, is passed by before it arrives; it is kept and shown on return.
    ASSERT_TRUE(pumpUntil([&] { return requestsFor(slow) == 1; }, 10000));
    form()->showFullSize(slow);
    EXPECT_TRUE(form()->fullSizeImage->isLoading());
    form()->showFullSize(broken);
    ASSERT_TRUE(serviceSite().setMode("release=1"));
    ASSERT_TRUE(pumpUntil([&] { return slow->fullSizePresent != 0; }, 10000));
    EXPECT_EQ(form()->fullSizePhoto(), broken);
    EXPECT_TRUE(form()->fullSizeImage->isLoading());

    // Always failing: seven tries, one message, an empty view.
    ASSERT_TRUE(pumpUntil([&] { return !boxes.texts().empty(); }, 40000));
    pump(300);
    ASSERT_EQ(boxes.texts().size(), 1u);
    EXPECT_EQ(boxes.texts()[0], L"There are some temporary server issues. Please try again.");
    EXPECT_EQ(requestsFor(broken), 7);
    EXPECT_FALSE(form()->fullSizeImage->isLoading());
    EXPECT_FALSE(form()->fullSizeImage->picturePanel()->Visible());
    EXPECT_EQ(broken->fullSizeFileId, -1);
    EXPECT_EQ(broken->fullSizeRetryTimer, nullptr);
    EXPECT_TRUE(noItemHoldsAControl(form()));

    // One file per item that arrived, none unfinished.
    std::vector<std::wstring> files = viewerFiles(form());
    EXPECT_EQ(files.size(), 5u);
    EXPECT_TRUE(std::none_of(files.begin(), files.end(), [](const std::wstring& name) {
        return name.find(L".tmp") != std::wstring::npos;
    }));

    form()->showFullSize(slow);
    EXPECT_TRUE(shows(form(), slow) && form()->fullSizeImage->hasPicture());
    EXPECT_EQ(requestsFor(slow), 1);

    // Opened again, the broken one is asked for anew.
    form()->showFullSize(broken);
    EXPECT_TRUE(pumpUntil([&] { return requestsFor(broken) == 8; }, 5000));
    form()->hideFullSize(true);
}

TEST_F(FullSizeWindow, ADownloadRefusedAtOnceSaysSoAndTheSlideshowMovesOn) {
    load(L"alice", 45);
    MessageBoxWatcher boxes;
    const std::wstring serverIssues = L"There are some temporary server issues. Please try again.";
    // The control takes no such address.
    Photo* refused = form()->visiblePhotos[1];
    refused->standardResolutionUrl = L"no address";
    form()->showFullSize(refused);
    ASSERT_TRUE(pumpUntil([&] { return !boxes.texts().empty(); }));
    EXPECT_EQ(boxes.texts()[0], serverIssues);
    EXPECT_FALSE(form()->fullSizeImage->isLoading());
    form()->hideFullSize(true);

    // Started on the first item, the slideshow reaches it, says so, and goes on to the next.
    form()->fastSlideshowMenuItem->SetChecked(true);
    form()->applySlideshowInterval();
    form()->slideShowImageButtonBtnClick(nullptr);
    EXPECT_TRUE(pumpUntil([&] { return shows(form(), form()->visiblePhotos[2]); }, 30000));
    EXPECT_TRUE(form()->slideshowRunning);
    for (const std::wstring& text : boxes.texts())
        EXPECT_EQ(text, serverIssues);
    form()->hideFullSize(true);
}

}  // namespace
