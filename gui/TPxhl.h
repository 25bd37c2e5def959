#pragma once
// TPxhl: the program's handle on one download control. The control is made by class identifier
// through COM, with a client site but no window, and is reached three ways: its properties by
// dispatch id, the methods of IDownloadX, and seven event slots, one per event of
// _IDownloadXEvents. Events arrive on the thread that made the control (the GUI thread); a slot
// that is empty or cleared is simply not called. Texts the control returns are freed here.
#include "gui/Component.h"
#include "gui/OleControlHost.h"
#include <functional>
#include <string>

struct IDownloadX;

namespace gui {

// Dispatch ids of the control's properties.
namespace PxhlDispId {
constexpr DISPID BackColor = -501;
constexpr DISPID Font = -512;
constexpr DISPID Enabled = -514;
constexpr DISPID TabStop = -516;
constexpr DISPID CommonSaveFolder = 6;
constexpr DISPID DownloadSessionTempSubfolder = 9;
constexpr DISPID MinFileSegmentSize = 10;
constexpr DISPID ConcurrentDownloadFileCount = 11;
constexpr DISPID AutoRemoveCompletedFiles = 12;
constexpr DISPID ConnectionTimeout = 13;
constexpr DISPID RetryWait = 14;
constexpr DISPID RetryCount = 15;
constexpr DISPID ColumnsForeColor = 28;
constexpr DISPID ColumnsBackColor = 29;
constexpr DISPID Columns = 30;
constexpr DISPID ReceiveBufferSize = 31;
}  // namespace PxhlDispId

// The seven events, in dispatch-id order (1 to 7).
using TPxhlGetFileSizeLastModifiedEvent =
    std::function<void(TObject* sender, const std::wstring& url, const std::wstring& fileSize,
                       const std::wstring& lastModified)>;
using TPxhlDownloadCompleteEvent = std::function<void(TObject* sender, bool result)>;
using TPxhlFileDownloadCompleteEvent = std::function<void(TObject* sender, long fileId, bool result)>;
using TPxhlFileDownloadProgressEvent = std::function<void(
    TObject* sender, long fileId, const std::wstring& fileSize, const std::wstring& downloadedSize,
    long downloadedTime, const std::wstring& remainSize, long remainTime, double rate)>;
using TPxhlFileSegmentDownloadProgressEvent =
    std::function<void(TObject* sender, long fileId, long segmentIndex, const std::wstring& segmentSize,
                       const std::wstring& segmentDownloadedSize, const std::wstring& segmentRemainSize)>;
using TPxhlFileDownloadStartEvent =
    std::function<void(TObject* sender, long fileId, const std::wstring& fileSize, long segmentCount)>;
using TPxhlFileDownloadResumeEvent = std::function<void(TObject* sender, const std::wstring& url, long fileId,
                                                        const std::wstring& tempDownloadFile)>;

class TPxhl : public TComponent {
public:
    // Makes the control; throws Exception when it cannot be made or its events cannot be
    // connected (the control is not registered, for instance).
    explicit TPxhl(TComponent* owner);
    ~TPxhl() override;

    // ---- properties by dispatch id (PxhlDispId). A put returns true when the control took it.
    HRESULT GetProperty(DISPID id, VARIANT* value) const;
    HRESULT SetProperty(DISPID id, const VARIANT& value);
    std::wstring GetTextProperty(DISPID id) const;
    long GetIntegerProperty(DISPID id) const;
    bool GetBooleanProperty(DISPID id) const;
    bool SetTextProperty(DISPID id, const std::wstring& value);
    bool SetIntegerProperty(DISPID id, long value);
    bool SetBooleanProperty(DISPID id, bool value);

    // ---- IDownloadX. Results as the control reports them; a call that fails at the COM level
    // gives false, -1 or an empty text.
    void SetColumn(short columnId, const std::wstring& headerText, long width);
    std::wstring GetColumn(short columnId, short field);
    long GetLastError();
    std::wstring GetLastErrorDesc();
    void GetFileSizeLastModified(const std::wstring& url, const std::wstring& referer,
                                 const std::wstring& userName, const std::wstring& password, short options);
    long AddFile(const std::wstring& url, const std::wstring& fileSize, const std::wstring& displayFileName,
                 const std::wstring& savePath, long segmentCount, const std::wstring& referer,
                 const std::wstring& userName, const std::wstring& password, short options);
    bool RemoveFile(long fileId);
    bool ClearFiles();
    bool ClearDownloadSessionTempSubfolder();
    bool Download();
    void StopDownload();
    bool ResumeDownload();
    std::wstring GetFileInfo(long fileId, short field);
    std::wstring GetFileSegmentInfo(long fileId, long segmentIndex, short field);
    bool SetProxy(short protocolId, const std::wstring& proxyServer, const std::wstring& proxyUserName,
                  const std::wstring& proxyPassword, short method);
    std::wstring GetProxy(short protocolId, short field);
    void SetProgressBar(bool visible, long topMargin, long height);
    long GetProgressBar(short field);

    // ---- event slots
    TPxhlGetFileSizeLastModifiedEvent OnGetFileSizeLastModified;
    TPxhlDownloadCompleteEvent OnDownloadComplete;
    TPxhlFileDownloadCompleteEvent OnFileDownloadComplete;
    TPxhlFileDownloadProgressEvent OnFileDownloadProgress;
    TPxhlFileSegmentDownloadProgressEvent OnFileSegmentDownloadProgress;
    TPxhlFileDownloadStartEvent OnFileDownloadStart;
    TPxhlFileDownloadResumeEvent OnFileDownloadResume;
    // Empties all seven slots.
    void ClearEventHandlers();

private:
    void connectEvents();

    OleControlHost host_;
    Microsoft::WRL::ComPtr<IDownloadX> control_;
};

}  // namespace gui
