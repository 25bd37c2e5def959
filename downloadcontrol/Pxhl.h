#pragma once
// The download control: the creatable class of Pxhl.dll and its dual interface IDownloadX.
//
// A host creates it by class identifier or ProgID, queues files with AddFile, starts them with
// Download and hears about them through _IDownloadXEvents, all on the thread that created it.
// Every IDownloadX member succeeds at the COM level (except for missing out-pointers) and reports
// failure through its result and GetLastError.
#include <winsock2.h>
#include <windows.h>

#include "PxhlLibrary.h"

#include <cstdint>
#include <string>

#include "downloadcontrol/ActivationContext.h"
#include "downloadcontrol/ControlEvents.h"
#include "downloadcontrol/LastErrorHolder.h"
#include "downloadcontrol/activex/ClassFactory.h"
#include "downloadcontrol/activex/ClassRegistration.h"
#include "downloadcontrol/activex/ControlBase.h"
#include "downloadcontrol/activex/DualDispatch.h"
#include "downloadcontrol/engine/DownloadEngine.h"
#include "downloadcontrol/ui/DownloadListView.h"

// Dispatch ids of the control's own properties (the stock ones are the system's).
enum PxhlPropertyId : DISPID {
    PxhlCommonSaveFolderId = 6,
    PxhlDownloadSessionTempSubfolderId = 9,
    PxhlMinFileSegmentSizeId = 10,
    PxhlConcurrentDownloadFileCountId = 11,
    PxhlAutoRemoveCompletedFilesId = 12,
    PxhlConnectionTimeoutId = 13,
    PxhlRetryWaitId = 14,
    PxhlRetryCountId = 15,
    PxhlColumnsForeColorId = 28,
    PxhlColumnsBackColorId = 29,
    PxhlColumnsId = 30,
    PxhlReceiveBufferSizeId = 31,
};

class Pxhl final : public activex::ControlBase, public activex::DualDispatch<IDownloadX>, private EngineHost {
public:
    // What DllRegisterServer writes for the class, and the module's class table entry.
    static const activex::ClassRegistration& registration();
    static const activex::ClassEntry& classEntry();
    // Creates a control (the class factory's work): `outer` aggregates it when not null.
    static HRESULT create(IUnknown* outer, REFIID iid, void** object);

    // IUnknown of the IDownloadX vtable: the object's controlling unknown answers.
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override;
    ULONG STDMETHODCALLTYPE AddRef() override;
    ULONG STDMETHODCALLTYPE Release() override;

    // Stock properties
    HRESULT STDMETHODCALLTYPE put_BackColor(OLE_COLOR color) override;
    HRESULT STDMETHODCALLTYPE get_BackColor(OLE_COLOR* color) override;
    HRESULT STDMETHODCALLTYPE putref_Font(IFontDisp* font) override;
    HRESULT STDMETHODCALLTYPE put_Font(IFontDisp* font) override;
    HRESULT STDMETHODCALLTYPE get_Font(IFontDisp** font) override;
    HRESULT STDMETHODCALLTYPE put_Enabled(VARIANT_BOOL enabled) override;
    HRESULT STDMETHODCALLTYPE get_Enabled(VARIANT_BOOL* enabled) override;
    HRESULT STDMETHODCALLTYPE put_TabStop(VARIANT_BOOL tabStop) override;
    HRESULT STDMETHODCALLTYPE get_TabStop(VARIANT_BOOL* tabStop) override;

    // List view columns and colours
    HRESULT STDMETHODCALLTYPE get_Columns(BSTR* columns) override;
    HRESULT STDMETHODCALLTYPE put_Columns(BSTR columns) override;
    HRESULT STDMETHODCALLTYPE SetColumn(short columnId, BSTR headerText, LONG width) override;
    HRESULT STDMETHODCALLTYPE GetColumn(short columnId, short field, BSTR* value) override;
    HRESULT STDMETHODCALLTYPE get_ColumnsForeColor(OLE_COLOR* color) override;
    HRESULT STDMETHODCALLTYPE put_ColumnsForeColor(OLE_COLOR color) override;
    HRESULT STDMETHODCALLTYPE get_ColumnsBackColor(OLE_COLOR* color) override;
    HRESULT STDMETHODCALLTYPE put_ColumnsBackColor(OLE_COLOR color) override;

    // Errors
    HRESULT STDMETHODCALLTYPE GetLastError(LONG* errorCode) override;
    HRESULT STDMETHODCALLTYPE GetLastErrorDesc(BSTR* errorDesc) override;

    // Files
    HRESULT STDMETHODCALLTYPE GetFileSizeLastModified(BSTR url, BSTR referer, BSTR userName, BSTR password,
                                                      short options) override;
    HRESULT STDMETHODCALLTYPE AddFile(BSTR url, BSTR fileSize, BSTR displayFileName, BSTR savePath,
                                      LONG segmentCount, BSTR referer, BSTR userName, BSTR password,
                                      short options, LONG* fileId) override;
    HRESULT STDMETHODCALLTYPE RemoveFile(LONG fileId, VARIANT_BOOL* result) override;
    HRESULT STDMETHODCALLTYPE ClearFiles(VARIANT_BOOL* result) override;
    HRESULT STDMETHODCALLTYPE ClearDownloadSessionTempSubfolder(VARIANT_BOOL* result) override;

    // Settings
    HRESULT STDMETHODCALLTYPE get_CommonSaveFolder(VARIANT_BOOL* value) override;
    HRESULT STDMETHODCALLTYPE put_CommonSaveFolder(VARIANT_BOOL value) override;
    HRESULT STDMETHODCALLTYPE get_DownloadSessionTempSubfolder(BSTR* value) override;
    HRESULT STDMETHODCALLTYPE put_DownloadSessionTempSubfolder(BSTR value) override;
    HRESULT STDMETHODCALLTYPE get_ReceiveBufferSize(LONG* value) override;
    HRESULT STDMETHODCALLTYPE put_ReceiveBufferSize(LONG value) override;
    HRESULT STDMETHODCALLTYPE get_MinFileSegmentSize(LONG* value) override;
    HRESULT STDMETHODCALLTYPE put_MinFileSegmentSize(LONG value) override;
    HRESULT STDMETHODCALLTYPE get_ConcurrentDownloadFileCount(LONG* value) override;
    HRESULT STDMETHODCALLTYPE put_ConcurrentDownloadFileCount(LONG value) override;
    HRESULT STDMETHODCALLTYPE get_AutoRemoveCompletedFiles(VARIANT_BOOL* value) override;
    HRESULT STDMETHODCALLTYPE put_AutoRemoveCompletedFiles(VARIANT_BOOL value) override;
    HRESULT STDMETHODCALLTYPE get_ConnectionTimeout(LONG* value) override;
    HRESULT STDMETHODCALLTYPE put_ConnectionTimeout(LONG value) override;
    HRESULT STDMETHODCALLTYPE get_RetryWait(LONG* value) override;
    HRESULT STDMETHODCALLTYPE put_RetryWait(LONG value) override;
    HRESULT STDMETHODCALLTYPE get_RetryCount(LONG* value) override;
    HRESULT STDMETHODCALLTYPE put_RetryCount(LONG value) override;

    // Runs
    HRESULT STDMETHODCALLTYPE Download(VARIANT_BOOL* result) override;
    HRESULT STDMETHODCALLTYPE StopDownload() override;
    HRESULT STDMETHODCALLTYPE ResumeDownload(VARIANT_BOOL* result) override;

    // File information
    HRESULT STDMETHODCALLTYPE GetFileInfo(LONG fileId, short field, BSTR* value) override;
    HRESULT STDMETHODCALLTYPE GetFileSegmentInfo(LONG fileId, LONG segmentIndex, short field,
                                                 BSTR* value) override;

    // Proxies
    HRESULT STDMETHODCALLTYPE SetProxy(short protocolId, BSTR proxyServer, BSTR proxyUserName,
                                       BSTR proxyPassword, short method, VARIANT_BOOL* result) override;
    HRESULT STDMETHODCALLTYPE GetProxy(short protocolId, short field, BSTR* value) override;

    // Overall progress bar
    HRESULT STDMETHODCALLTYPE SetProgressBar(VARIANT_BOOL visible, LONG topMargin, LONG height) override;
    HRESULT STDMETHODCALLTYPE GetProgressBar(short field, LONG* value) override;

    // The error holder that the engine and the protocol clients report into.
    LastErrorHolder& errors() { return errors_; }
    DownloadEngine& engine() { return engine_; }
    DownloadListView& listView() { return listView_; }

    // Framework hooks
    LRESULT onMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam, bool& handled) override;
    void onStockPropertyChanged(DISPID id) override;

private:
    explicit Pxhl(IUnknown* outer);
    ~Pxhl() override;
    template <class Object>
    friend HRESULT activex::createObject(IUnknown* outer, REFIID iid, void** object);

    HRESULT finalConstruct() override;
    void finalRelease() override;
    void* primaryInterface(REFIID iid) override;

    // EngineHost: the list view, the save dialogs' owner and context, and the control's lifetime
    // while the engine's notification window works.
    void fileChanged(int32_t fileId) override;
    void fileRemoved(int32_t fileId) override;
    void filesCleared() override;
    void overallProgressChanged() override;
    HWND dialogOwner() override;
    ULONG_PTR activateDialogContext() override;
    void deactivateDialogContext(ULONG_PTR cookie) override;
    void holdControl() override;
    void releaseControl() override;

    // The put protocol for a long setting whose value must be 1 or more: other values are
    // ignored (still S_OK).
    HRESULT putPositive(DISPID id, LONG value, int32_t& field);
    // The put protocol for one of the list's colours.
    HRESULT putListColor(DISPID id, OLE_COLOR color, void (DownloadListView::*apply)(COLORREF));
    // Hands the stock font's handle to the list, holding a reference on it while the list uses it.
    void applyListFont();
    void releaseListFont();

    LastErrorHolder errors_;
    ControlEvents events_;
    DownloadEngine engine_;
    DownloadListView listView_;
    ActivationContext activationContext_;
    activex::ComPtr<IFont> listFontOwner_;  // the font whose handle the list holds
    HFONT listFont_ = nullptr;
};
