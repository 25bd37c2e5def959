// The control's members that reach the queue, runs, proxies and the list, through COM, and the
// events that come back through the notification window.
#include <winsock2.h>

#include <gtest/gtest.h>

#include "activex/PxhlTestSupport.h"
#include "support/TestSupport.h"

using namespace pxhltest;

namespace {

// A control with an event sink connected and no temporary header files (they would go to the
// shared temporary folder of the test prefix).
struct ListeningControl {
    ListeningControl()
        : control(createRegisteredControl()), sink(new comtest::EventSink(DIID__IDownloadXEvents)) {
        ComPtr<IConnectionPointContainer> container;
        EXPECT_EQ(control.query(IID_IConnectionPointContainer, container), S_OK);
        EXPECT_EQ(container->FindConnectionPoint(DIID__IDownloadXEvents, point.put()), S_OK);
        EXPECT_EQ(point->Advise(sink, &cookie), S_OK);
        BSTR empty = SysAllocString(L"");
        EXPECT_EQ(control->put_DownloadSessionTempSubfolder(empty), S_OK);
        SysFreeString(empty);
    }
    ~ListeningControl() {
        if (point) {
            point->Unadvise(cookie);
        }
        sink->Release();
    }
    // Dispatches the thread's messages until the sink has heard `count` events (or a long while passed).
    void waitForEvents(std::size_t count) {
        for (int round = 0; round < 2000 && sink->calls.size() < count; ++round) {
            comtest::pumpWaitingMessages();
            if (sink->calls.size() < count) {
                MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
            }
        }
    }
    LONG lastError() {
        LONG code = -1;
        EXPECT_EQ(control->GetLastError(&code), S_OK);
        return code;
    }

    ComPtr<IDownloadX> control;
    comtest::EventSink* sink;
    ComPtr<IConnectionPoint> point;
    DWORD cookie = 0;
};

class Text {
public:
    explicit Text(const wchar_t* text) : value_(text ? SysAllocString(text) : nullptr) {}
    ~Text() { SysFreeString(value_); }
    Text(const Text&) = delete;
    Text& operator=(const Text&) = delete;
    operator BSTR() const { return value_; }

private:
    BSTR value_;
};

LONG addFile(IDownloadX* control, const wchar_t* url, const wchar_t* size = L"", const wchar_t* name = L"",
             const wchar_t* savePath = L"") {
    LONG id = -5;
    EXPECT_EQ(control->AddFile(Text(url), Text(size), Text(name), Text(savePath), 0, Text(L""), Text(L""),
                               Text(L""), 0, &id),
              S_OK);
    return id;
}

std::wstring fileInfo(IDownloadX* control, LONG id, short field) {
    BSTR text = nullptr;
    EXPECT_EQ(control->GetFileInfo(id, field, &text), S_OK);
    return takeText(text);
}

}  // namespace

TEST(ControlFiles, FilesAreQueuedReadBackRemovedAndCleared) {
    OleApartment ole;
    ListeningControl listening;
    IDownloadX* x = listening.control.get();
    ASSERT_TRUE(x);

    EXPECT_EQ(addFile(x, L"http://127.0.0.1:8080/pictures/a.jpg", L"1048576", L"  first.jpg  "), 0);
    EXPECT_EQ(addFile(x, L"https://127.0.0.1/b.png"), 1);
    EXPECT_EQ(fileInfo(x, 0, 0), L"http://127.0.0.1:8080/pictures/a.jpg");
    EXPECT_EQ(fileInfo(x, 0, 3), L"1048576");
    EXPECT_EQ(fileInfo(x, 0, 15), L"first.jpg");
    EXPECT_EQ(fileInfo(x, 0, 17), L"a.jpg");
    EXPECT_EQ(fileInfo(x, 1, 3), L"-1");
    EXPECT_EQ(fileInfo(x, 12345, 16), L"2");

    // A URL already listed (in other letter case) is refused with error 31.
    EXPECT_EQ(addFile(x, L"HTTPS://127.0.0.1/B.PNG"), -1);
    EXPECT_EQ(listening.lastError(), 31);
    // A null BSTR counts as "": no URL, error 12.
    LONG id = 0;
    EXPECT_EQ(x->AddFile(nullptr, nullptr, nullptr, nullptr, 0, nullptr, nullptr, nullptr, 0, &id), S_OK);
    EXPECT_EQ(id, -1);
    EXPECT_EQ(listening.lastError(), 12);
    EXPECT_EQ(fileInfo(x, 99, 0), L"");
    EXPECT_EQ(listening.lastError(), 22);

    VARIANT_BOOL result = VARIANT_FALSE;
    EXPECT_EQ(x->RemoveFile(0, &result), S_OK);
    EXPECT_EQ(result, VARIANT_TRUE);
    EXPECT_EQ(fileInfo(x, 0, 16), L"1");
    EXPECT_EQ(x->ClearFiles(&result), S_OK);
    EXPECT_EQ(result, VARIANT_TRUE);
    EXPECT_EQ(fileInfo(x, 0, 16), L"0");
    // Ids start again at 0 after the list was cleared.
    EXPECT_EQ(addFile(x, L"ftp://127.0.0.1/c.bin"), 0);

    // Missing out-pointers fail before anything happens.
    EXPECT_EQ(x->AddFile(Text(L"http://127.0.0.1/d"), nullptr, nullptr, nullptr, 0, nullptr, nullptr, nullptr,
                         0, nullptr),
              E_POINTER);
    EXPECT_EQ(fileInfo(x, 0, 16), L"1");
    EXPECT_EQ(x->RemoveFile(0, nullptr), E_POINTER);
    EXPECT_EQ(x->ClearFiles(nullptr), E_POINTER);
    EXPECT_EQ(x->GetFileInfo(0, 0, nullptr), E_POINTER);
    EXPECT_EQ(x->GetFileSegmentInfo(0, 0, 0, nullptr), E_POINTER);
    EXPECT_EQ(x->Download(nullptr), E_POINTER);
    EXPECT_EQ(x->ResumeDownload(nullptr), E_POINTER);
    EXPECT_EQ(x->ClearDownloadSessionTempSubfolder(nullptr), E_POINTER);
    EXPECT_EQ(x->SetProxy(0, nullptr, nullptr, nullptr, 0, nullptr), E_POINTER);
    EXPECT_EQ(x->GetProxy(0, 0, nullptr), E_POINTER);
    EXPECT_EQ(x->GetColumn(0, 0, nullptr), E_POINTER);
    EXPECT_EQ(x->GetProgressBar(0, nullptr), E_POINTER);
    EXPECT_EQ(x->get_Columns(nullptr), E_POINTER);
    EXPECT_EQ(x->get_DownloadSessionTempSubfolder(nullptr), E_POINTER);
}

TEST(ControlRuns, DownloadOfAnEmptyListReportsCompletionThroughTheNotificationWindow) {
    OleApartment ole;
    ListeningControl listening;
    IDownloadX* x = listening.control.get();
    ASSERT_TRUE(x);
    VARIANT_BOOL started = VARIANT_FALSE;
    ASSERT_EQ(x->Download(&started), S_OK);
    EXPECT_EQ(started, VARIANT_TRUE);
    // The event comes from the control's window, not from inside Download.
    EXPECT_TRUE(listening.sink->calls.empty());
    listening.waitForEvents(1);
    ASSERT_EQ(listening.sink->calls.size(), 1u);
    EXPECT_EQ(listening.sink->calls[0].id, OnDownloadCompleteId);
    EXPECT_EQ(listening.sink->calls[0].arguments, std::vector<std::wstring>{L"BOOL:-1"});

    // Stopping when nothing runs changes nothing; resuming without header folder starts nothing.
    EXPECT_EQ(x->StopDownload(), S_OK);
    EXPECT_EQ(listening.lastError(), 0);
    VARIANT_BOOL resumed = VARIANT_FALSE;
    EXPECT_EQ(x->ResumeDownload(&resumed), S_OK);
    EXPECT_EQ(resumed, VARIANT_TRUE);
    comtest::pumpWaitingMessages();
    EXPECT_EQ(listening.sink->calls.size(), 1u);
}

TEST(ControlRuns, SizeQueryOfAnUnusableUrlAnswersAtOnce) {
    OleApartment ole;
    ListeningControl listening;
    IDownloadX* x = listening.control.get();
    ASSERT_TRUE(x);
    EXPECT_EQ(x->GetFileSizeLastModified(Text(L"gopher://127.0.0.1/x"), nullptr, nullptr, nullptr, 0), S_OK);
    ASSERT_EQ(listening.sink->calls.size(), 1u);
    EXPECT_EQ(listening.sink->calls[0].id, OnGetFileSizeLastModifiedId);
    EXPECT_EQ(listening.sink->calls[0].arguments,
              (std::vector<std::wstring>{L"BSTR:gopher://127.0.0.1/x", L"BSTR:-2", L"BSTR:"}));
    EXPECT_EQ(listening.lastError(), 12);
}

TEST(ControlRuns, SinkThatReleasesTheControlInsideAnEventLeavesNothingBehind) {
    OleApartment ole;
    auto* sink = new comtest::EventSink(DIID__IDownloadXEvents);
    {
        ListeningControl listening;
        VARIANT_BOOL started = VARIANT_FALSE;
        ASSERT_EQ(listening.control->Download(&started), S_OK);
        // The sink holds the last reference and drops it while the completion is fired.
        IDownloadX* last = listening.control.detach();
        listening.point->Unadvise(listening.cookie);
        listening.point.reset();
        ComPtr<IConnectionPointContainer> container;
        ASSERT_EQ(last->QueryInterface(IID_IConnectionPointContainer, container.putVoid()), S_OK);
        ComPtr<IConnectionPoint> point;
        ASSERT_EQ(container->FindConnectionPoint(DIID__IDownloadXEvents, point.put()), S_OK);
        DWORD cookie = 0;
        ASSERT_EQ(point->Advise(sink, &cookie), S_OK);
        point.reset();
        container.reset();
        sink->onCall = [&last](DISPID) {
            if (last) {
                last->Release();
                last = nullptr;
            }
        };
        for (int round = 0; round < 2000 && sink->calls.empty(); ++round) {
            comtest::pumpWaitingMessages();
            MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
        }
        EXPECT_EQ(sink->calls.size(), 1u);
        EXPECT_EQ(last, nullptr);
    }
    comtest::pumpWaitingMessages();
    EXPECT_EQ(pxhlCanUnloadNow(), S_OK);
    EXPECT_EQ(sink->references(), 1);
    sink->Release();
}

TEST(ControlRuns, ReleasingTheControlDuringARunStopsItAndWaitsForItsThreads) {
    OleApartment ole;
    // A server that accepts connections and never answers keeps the file's threads busy.
    WSADATA data;
    ASSERT_EQ(WSAStartup(MAKEWORD(2, 2), &data), 0);
    SOCKET server = socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
    ASSERT_NE(server, INVALID_SOCKET);
    sockaddr_in address = {};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    ASSERT_EQ(bind(server, reinterpret_cast<sockaddr*>(&address), sizeof(address)), 0);
    ASSERT_EQ(listen(server, 8), 0);
    int length = sizeof(address);
    getsockname(server, reinterpret_cast<sockaddr*>(&address), &length);
    const std::wstring url = L"http://127.0.0.1:" + std::to_wstring(ntohs(address.sin_port)) + L"/silent.bin";
    testsupport::TempFolder folder;

    auto* sink = new comtest::EventSink(DIID__IDownloadXEvents);
    {
        ListeningControl listening;
        listening.point->Unadvise(listening.cookie);
        ASSERT_EQ(listening.point->Advise(sink, &listening.cookie), S_OK);
        listening.point.reset();  // the connection stays; the control's release ends it
        EXPECT_EQ(addFile(listening.control.get(), url.c_str(), L"", L"", folder.file(L"silent.bin").c_str()),
                  0);
        VARIANT_BOOL started = VARIANT_FALSE;
        ASSERT_EQ(listening.control->Download(&started), S_OK);
        ASSERT_EQ(started, VARIANT_TRUE);
        // Let the file's thread connect and wait for an answer that never comes.
        SOCKET accepted = accept(server, nullptr, nullptr);
        EXPECT_NE(accepted, INVALID_SOCKET);
        listening.control.reset();  // the last reference: the run is stopped and joined
        closesocket(accepted);
    }
    // The sinks still connected heard how the run ended.
    ASSERT_GE(sink->calls.size(), 2u);
    EXPECT_EQ(sink->calls[sink->calls.size() - 2].id, OnFileDownloadCompleteId);
    EXPECT_EQ(sink->calls[sink->calls.size() - 2].arguments, (std::vector<std::wstring>{L"I4:0", L"BOOL:0"}));
    EXPECT_EQ(sink->calls.back().id, OnDownloadCompleteId);
    EXPECT_EQ(sink->calls.back().arguments, std::vector<std::wstring>{L"BOOL:0"});
    EXPECT_EQ(pxhlCanUnloadNow(), S_OK);
    EXPECT_EQ(sink->references(), 1);
    sink->Release();
    closesocket(server);
    WSACleanup();
}

TEST(ControlSettings, HeaderFolderProxiesAndListMembersKeepTheirValues) {
    OleApartment ole;
    ComPtr<IDownloadX> control = createRegisteredControl();
    IDownloadX* x = control.get();
    ASSERT_TRUE(x);
    auto* sink = new comtest::PropertySink;
    ComPtr<IConnectionPointContainer> container;
    ComPtr<IConnectionPoint> point;
    ASSERT_EQ(control.query(IID_IConnectionPointContainer, container), S_OK);
    ASSERT_EQ(container->FindConnectionPoint(IID_IPropertyNotifySink, point.put()), S_OK);
    DWORD cookie = 0;
    ASSERT_EQ(point->Advise(sink, &cookie), S_OK);

    BSTR text = nullptr;
    EXPECT_EQ(x->get_DownloadSessionTempSubfolder(&text), S_OK);
    EXPECT_EQ(takeText(text), L"");
    EXPECT_EQ(x->put_DownloadSessionTempSubfolder(Text(L"  ")), S_OK);
    EXPECT_EQ(sink->calls, (std::vector<std::string>{"edit:9", "changed:9"}));
    sink->calls.clear();
    VARIANT_BOOL result = VARIANT_FALSE;
    EXPECT_EQ(x->ClearDownloadSessionTempSubfolder(&result), S_OK);
    EXPECT_EQ(result, VARIANT_TRUE);

    // Proxies by protocol id.
    EXPECT_EQ(x->SetProxy(0, Text(L"127.0.0.1:3128"), Text(L"user"), Text(L"secret"), 0, &result), S_OK);
    EXPECT_EQ(result, VARIANT_TRUE);
    EXPECT_EQ(x->GetProxy(0, 0, &text), S_OK);
    EXPECT_EQ(takeText(text), L"127.0.0.1:3128");
    EXPECT_EQ(x->GetProxy(0, 1, &text), S_OK);
    EXPECT_EQ(takeText(text), L"user");
    EXPECT_EQ(x->SetProxy(9, Text(L"127.0.0.1:3128"), nullptr, nullptr, 0, &result), S_OK);
    EXPECT_EQ(result, VARIANT_FALSE);
    LONG code = 0;
    EXPECT_EQ(x->GetLastError(&code), S_OK);
    EXPECT_EQ(code, 29);

    // Columns and colours go through the host's permission like every property.
    EXPECT_EQ(x->get_Columns(&text), S_OK);
    EXPECT_EQ(takeText(text), L"0;1;2;3;4;5;6;7;8;9;10;11");
    EXPECT_EQ(x->put_Columns(Text(L"3;3;15;0")), S_OK);
    EXPECT_EQ(x->get_Columns(&text), S_OK);
    EXPECT_EQ(takeText(text), L"3;0");
    sink->refuse = 30;
    EXPECT_EQ(x->put_Columns(Text(L"1")), S_FALSE);
    EXPECT_EQ(x->get_Columns(&text), S_OK);
    EXPECT_EQ(takeText(text), L"3;0");
    EXPECT_EQ(sink->calls, (std::vector<std::string>{"edit:30", "changed:30", "edit:30"}));
    sink->calls.clear();
    EXPECT_EQ(x->put_ColumnsForeColor(RGB(1, 2, 3)), S_OK);
    OLE_COLOR color = 0;
    EXPECT_EQ(x->get_ColumnsForeColor(&color), S_OK);
    EXPECT_EQ(color, RGB(1, 2, 3));
    EXPECT_EQ(x->put_ColumnsBackColor(0x80000000 | COLOR_INFOBK), S_OK);
    EXPECT_EQ(x->get_ColumnsBackColor(&color), S_OK);
    EXPECT_EQ(color, GetSysColor(COLOR_INFOBK));
    EXPECT_EQ(sink->calls, (std::vector<std::string>{"edit:28", "changed:28", "edit:29", "changed:29"}));

    EXPECT_EQ(x->SetColumn(0, Text(L"File"), 150), S_OK);
    EXPECT_EQ(x->GetColumn(0, 0, &text), S_OK);
    EXPECT_EQ(takeText(text), L"File");
    EXPECT_EQ(x->GetColumn(0, 1, &text), S_OK);
    EXPECT_EQ(takeText(text), L"150");
    EXPECT_EQ(x->GetColumn(12, 0, &text), S_OK);
    EXPECT_EQ(takeText(text), L"");
    EXPECT_EQ(x->GetLastError(&code), S_OK);
    EXPECT_EQ(code, 39);

    EXPECT_EQ(x->SetProgressBar(VARIANT_FALSE, 4, 12), S_OK);
    LONG value = -5;
    EXPECT_EQ(x->GetProgressBar(0, &value), S_OK);
    EXPECT_EQ(value, 0);
    EXPECT_EQ(x->GetProgressBar(2, &value), S_OK);
    EXPECT_EQ(value, 12);
    EXPECT_EQ(x->GetProgressBar(3, &value), S_OK);
    EXPECT_EQ(value, -1);
    EXPECT_EQ(x->GetLastError(&code), S_OK);
    EXPECT_EQ(code, 38);

    point->Unadvise(cookie);
    sink->Release();
}
