// The list inside the control: Pxhl.dll active in a container downloads several files from a local
// server that holds each reply part-way, so the list can be looked at (and sorted) in the middle of a run.
#include <winsock2.h>

#include <gtest/gtest.h>

#include <commctrl.h>

#include <cstdlib>
#include <sstream>

#include "activex/PxhlTestSupport.h"
#include "downloadcontrol/ControlUtilities.h"
#include "listview/ListRows.h"
#include "support/MessagePump.h"
#include "support/ScreenCapture.h"
#include "support/TestSupport.h"

using namespace listrows;
using namespace pxhltest;

namespace {

// slowfiles.py, started for one test and stopped when its control connection closes.
class SlowFiles {
public:
    SlowFiles() {
        startWinSock();
        const char* source = std::getenv("PIXHAUL_SOURCE_DIR");
        const char* binary = std::getenv("PIXHAUL_BINARY_DIR");
        if (!source || !binary) {
            return;
        }
        // Process ids come round again from run to run: the tick count keeps an old run's port file away.
        const std::string folder = std::string(binary) + "/slowfiles-" +
                                   std::to_string(GetCurrentProcessId()) + "-" +
                                   std::to_string(GetTickCount64());
        std::wstring command = L"/usr/bin/python3 " + bytesToWide(source) +
                               L"/tests/listview/slowfiles.py --dir " + bytesToWide(folder);
        STARTUPINFOW startup{};
        startup.cb = sizeof(startup);
        PROCESS_INFORMATION process{};
        if (!CreateProcessW(nullptr, &command[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                            &process)) {
            return;
        }
        CloseHandle(process.hThread);
        CloseHandle(process.hProcess);
        std::string text;
        for (int i = 0; i < 300 && text.empty(); ++i) {
            Sleep(100);
            text = testsupport::readFileBytes(testsupport::windowsPath(folder + "/ports.txt"));
        }
        DeleteFileW(testsupport::windowsPath(folder + "/ports.txt").c_str());
        RemoveDirectoryW(testsupport::windowsPath(folder).c_str());
        std::istringstream lines(text);
        std::string line;
        int controlPort = 0;
        while (std::getline(lines, line)) {
            if (line.rfind("port=", 0) == 0) {
                port_ = std::atoi(line.c_str() + 5);
            } else if (line.rfind("control=", 0) == 0) {
                controlPort = std::atoi(line.c_str() + 8);
            }
        }
        control_ = ::socket(AF_INET, SOCK_STREAM, 0);
        sockaddr_in address{};
        address.sin_family = AF_INET;
        address.sin_port = htons(static_cast<u_short>(controlPort));
        address.sin_addr.s_addr = inet_addr("127.0.0.1");
        if (controlPort == 0 ||
            ::connect(control_, reinterpret_cast<sockaddr*>(&address), sizeof(address)) != 0) {
            port_ = 0;
        }
    }
    ~SlowFiles() {
        if (control_ != INVALID_SOCKET) {
            closesocket(control_);
        }
    }
    SlowFiles(const SlowFiles&) = delete;
    SlowFiles& operator=(const SlowFiles&) = delete;

    bool running() const { return port_ != 0; }
    std::wstring url(const std::wstring& path) const {
        return L"http://127.0.0.1:" + std::to_wstring(port_) + path;
    }
    // Lets every held reply go on.
    void release() { ::send(control_, "g", 1, 0); }

private:
    int port_ = 0;
    SOCKET control_ = INVALID_SOCKET;
};

class Text {
public:
    explicit Text(const std::wstring& text) : value_(SysAllocString(text.c_str())) {}
    ~Text() { SysFreeString(value_); }
    Text(const Text&) = delete;
    Text& operator=(const Text&) = delete;
    operator BSTR() const { return value_; }

private:
    BSTR value_;
};

std::wstring fileInfo(IDownloadX* control, LONG id, short field) {
    BSTR text = nullptr;
    EXPECT_EQ(control->GetFileInfo(id, field, &text), S_OK);
    return takeText(text);
}

int64_t fileNumber(IDownloadX* control, LONG id, short field) {
    return _wtoi64(fileInfo(control, id, field).c_str());
}

std::wstring kilobytes(int64_t bytes) {
    return groupedNumber(bytes / 1024 + (bytes % 1024 != 0 ? 1 : 0)) + L" KB";
}

// Clicks the middle of a header item of the list, as a user does.
void clickHeader(HWND list, int position) {
    const HWND header = reinterpret_cast<HWND>(SendMessageW(list, LVM_GETHEADER, 0, 0));
    RECT rect{};
    SendMessageW(header, HDM_GETITEMRECT, static_cast<WPARAM>(position), reinterpret_cast<LPARAM>(&rect));
    POINT middle = {(rect.left + rect.right) / 2, (rect.top + rect.bottom) / 2};
    ClientToScreen(header, &middle);
    SetCursorPos(middle.x, middle.y);
    INPUT inputs[2] = {};
    inputs[0].type = INPUT_MOUSE;
    inputs[0].mi.dwFlags = MOUSEEVENTF_LEFTDOWN;
    inputs[1].type = INPUT_MOUSE;
    inputs[1].mi.dwFlags = MOUSEEVENTF_LEFTUP;
    SendInput(2, inputs, sizeof(INPUT));
}

struct QueuedFile {
    std::wstring path;  // on slowfiles.py
    int64_t size;
    int64_t hold;  // bytes sent before the reply waits
};

class ControlListTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(server.running()) << "slowfiles.py did not start";
        control = createRegisteredControl();
        ASSERT_TRUE(control);
        ASSERT_EQ(control->put_DownloadSessionTempSubfolder(Text(L"")), S_OK);
        container = new comtest::TestContainer;
        container->position = {0, 0, 900, 260};
        SetWindowPos(container->window(), HWND_TOP, 0, 0, 916, 300, SWP_SHOWWINDOW);
        ASSERT_EQ(control.query(IID_IOleObject, oleObject), S_OK);
        ASSERT_EQ(oleObject->SetClientSite(container), S_OK);
        ASSERT_EQ(
            oleObject->DoVerb(OLEIVERB_INPLACEACTIVATE, nullptr, container, 0, container->window(), nullptr),
            S_OK);
        ComPtr<IOleInPlaceObject> inPlace;
        ASSERT_EQ(control.query(IID_IOleInPlaceObject, inPlace), S_OK);
        ASSERT_EQ(inPlace->GetWindow(&window), S_OK);
        list = GetDlgItem(window, 201);
        bar = GetDlgItem(window, 203);
        ASSERT_NE(list, nullptr);
        ASSERT_NE(bar, nullptr);
    }

    void TearDown() override {
        server.release();
        if (control) {
            control->StopDownload();
        }
        if (oleObject) {
            oleObject->Close(OLECLOSE_NOSAVE);
            oleObject->SetClientSite(nullptr);
        }
        oleObject.reset();
        control.reset();
        if (container) {
            container->Release();
        }
    }

    // Dispatches messages until `done` holds (false after a minute), checking each time that the overall
    // bar never went back.
    bool pumpUntil(const std::function<bool()>& done) {
        return testsupport::pumpUntil(
            [&] {
                const LRESULT position = SendMessageW(bar, PBM_GETPOS, 0, 0);
                EXPECT_GE(position, lastBarPosition) << "the overall bar went back";
                lastBarPosition = position;
                return done();
            },
            60000);
    }

    // Dispatches messages for a while. Rows of running files show new figures when the control's
    // one-second timer passes, so a wait of two passes lets every row catch up.
    void settle(DWORD milliseconds = 2200) { testsupport::pumpFor(milliseconds); }

    // Every row shows the figures of the file whose id it carries.
    void expectRowsShowTheirFiles(int rows) {
        ASSERT_EQ(SendMessageW(list, LVM_GETITEMCOUNT, 0, 0), rows);
        for (int row = 0; row < rows; ++row) {
            const LONG id = rowFileId(list, row);
            EXPECT_EQ(cell(list, row, 10), fileInfo(control.get(), id, 0)) << "row " << row;
            EXPECT_EQ(cell(list, row, 2), kilobytes(fileNumber(control.get(), id, 4))) << "row " << row;
            const int64_t size = fileNumber(control.get(), id, 3);
            EXPECT_EQ(cell(list, row, 1), size < 0 ? L"Unknown" : kilobytes(size)) << "row " << row;
        }
    }

    OleApartment ole;
    SlowFiles server;
    ComPtr<IDownloadX> control;
    ComPtr<IOleObject> oleObject;
    comtest::TestContainer* container = nullptr;
    HWND window = nullptr;
    HWND list = nullptr;
    HWND bar = nullptr;
    LRESULT lastBarPosition = 0;
};

TEST_F(ControlListTest, RowsFollowTheirFilesThroughARunAndASort) {
    testsupport::TempFolder folder;
    const QueuedFile files[] = {
        {L"/file/300000/150000/harbour-walk.mp4", 300000, 150000},
        {L"/file/800000/200000/sunset-over-the-bay.jpg", 800000, 200000},
        {L"/unsized/500000/350000/archive-2019.zip", -1, 350000},
        {L"/file/120000/0/market-day.jpg", 120000, 0},
        {L"/file/64000/0/field-notes.pdf", 64000, 0},
    };
    LONG id = -1;
    for (const QueuedFile& file : files) {
        const std::wstring name = file.path.substr(file.path.rfind(L'/') + 1);
        ASSERT_EQ(control->AddFile(Text(server.url(file.path)), Text(L"-1"), Text(L""),
                                   Text(folder.file(name)), 1, Text(L""), Text(L""), Text(L""), 0, &id),
                  S_OK);
    }
    ASSERT_EQ(id, 4);
    VARIANT_BOOL started = VARIANT_FALSE;
    ASSERT_EQ(control->Download(&started), S_OK);
    ASSERT_EQ(started, VARIANT_TRUE);

    // Three files run (the default concurrency) and stop where the server holds them; two wait.
    ASSERT_TRUE(pumpUntil([&] {
        for (LONG file = 0; file < 3; ++file) {
            if (fileNumber(control.get(), file, 4) != files[file].hold) {
                return false;
            }
        }
        return true;
    }));
    settle();
    expectRowsShowTheirFiles(5);
    EXPECT_EQ(cell(list, 0, 3), L"50%");
    EXPECT_EQ(cell(list, 1, 3), L"25%");
    EXPECT_EQ(cell(list, 2, 1), L"Unknown");
    EXPECT_GT(SendMessageW(bar, PBM_GETPOS, 0, 0), 0);

    // The user sorts by percent done in the middle of the run: 25%, 50%, then the files of unknown size.
    SetForegroundWindow(container->window());
    clickHeader(list, 3);
    ASSERT_TRUE(pumpUntil([&] { return rowFileId(list, 0) == 1; })) << "the header click did not sort";
    EXPECT_EQ(rowFileId(list, 1), 0);
    EXPECT_EQ(rowFileId(list, 2), 2);
    EXPECT_EQ(rowFileId(list, 3), 3);
    EXPECT_EQ(rowFileId(list, 4), 4);
    expectRowsShowTheirFiles(5);
    EXPECT_TRUE(testsupport::ScreenCapture::ofWindow(container->window())
                    .saveArtifact(L"control-running-download.png"));

    // The rest of the run writes every file's figures into its own row, wherever the sort put it.
    server.release();
    ASSERT_TRUE(pumpUntil([&] {
        for (LONG file = 0; file < 5; ++file) {
            if (fileInfo(control.get(), file, 2) != L"3") {
                return false;
            }
        }
        return true;
    })) << "the run did not finish";
    settle();
    for (LONG file = 0; file < 5; ++file) {
        EXPECT_EQ(fileNumber(control.get(), file, 3), files[file].size < 0 ? 500000 : files[file].size);
    }
    expectRowsShowTheirFiles(5);
    for (int row = 0; row < 5; ++row) {
        EXPECT_EQ(cell(list, row, 3), L"100%") << "row " << row;
    }
    EXPECT_EQ(rowFileId(list, 0), 1);  // the sort stays
    EXPECT_GE(SendMessageW(bar, PBM_GETPOS, 0, 0), 65500);

    // Removing a file takes its own row, not the one at its list index.
    VARIANT_BOOL removed = VARIANT_FALSE;
    ASSERT_EQ(control->RemoveFile(0, &removed), S_OK);
    EXPECT_EQ(removed, VARIANT_TRUE);
    EXPECT_EQ(rowFileId(list, 0), 1);
    EXPECT_EQ(rowFileId(list, 1), 2);
    expectRowsShowTheirFiles(4);
    EXPECT_EQ(SendMessageW(bar, PBM_GETPOS, 0, 0), 0);  // a changed queue starts the overall progress again
}

}  // namespace
