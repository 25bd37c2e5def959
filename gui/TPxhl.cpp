#include "gui/TPxhl.h"

#include "PxhlLibrary.h"
#include "gui/Exception.h"
#include "gui/OleValues.h"

#include <cwchar>

namespace gui {

namespace {

std::wstring creationMessage(const wchar_t* what, HRESULT hr) {
    wchar_t text[160];
    std::swprintf(text, sizeof(text) / sizeof(text[0]), L"The download control %ls (error 0x%08lX).", what,
                  static_cast<unsigned long>(hr));
    return text;
}

// A text argument that lives for the duration of one call.
OleString arg(const std::wstring& text) {
    return OleString(text);
}

}  // namespace

TPxhl::TPxhl(TComponent* owner) : TComponent(owner) {
    HRESULT hr = host_.Create(CLSID_Pxhl);
    if (FAILED(hr))
        throw Exception(creationMessage(L"could not be created", hr));
    control_ = host_.As<IDownloadX>(IID_IDownloadX);
    if (!control_) {
        host_.Close();
        throw Exception(creationMessage(L"has no IDownloadX interface", E_NOINTERFACE));
    }
    hr = host_.ConnectEvents(DIID__IDownloadXEvents);
    if (FAILED(hr)) {
        control_.Reset();
        host_.Close();
        throw Exception(creationMessage(L"refused its event connection", hr));
    }
    connectEvents();
    host_.OnClosing = [this] { control_.Reset(); };
}

TPxhl::~TPxhl() {
    ClearEventHandlers();
    control_.Reset();
    host_.Close();
}

// Each event is handed to its slot through a copy, so that a handler may clear or replace its
// own slot (or every slot) while it runs.
void TPxhl::connectEvents() {
    host_.SetEventHandler(OnGetFileSizeLastModifiedId, [this](OleEventArguments& a) {
        if (auto handler = OnGetFileSizeLastModified)
            handler(this, a.Text(0), a.Text(1), a.Text(2));
    });
    host_.SetEventHandler(OnDownloadCompleteId, [this](OleEventArguments& a) {
        if (auto handler = OnDownloadComplete)
            handler(this, a.Boolean(0));
    });
    host_.SetEventHandler(OnFileDownloadCompleteId, [this](OleEventArguments& a) {
        if (auto handler = OnFileDownloadComplete)
            handler(this, a.Integer(0), a.Boolean(1));
    });
    host_.SetEventHandler(OnFileDownloadProgressId, [this](OleEventArguments& a) {
        if (auto handler = OnFileDownloadProgress)
            handler(this, a.Integer(0), a.Text(1), a.Text(2), a.Integer(3), a.Text(4), a.Integer(5),
                    a.Double(6));
    });
    host_.SetEventHandler(OnFileSegmentDownloadProgressId, [this](OleEventArguments& a) {
        if (auto handler = OnFileSegmentDownloadProgress)
            handler(this, a.Integer(0), a.Integer(1), a.Text(2), a.Text(3), a.Text(4));
    });
    host_.SetEventHandler(OnFileDownloadStartId, [this](OleEventArguments& a) {
        if (auto handler = OnFileDownloadStart)
            handler(this, a.Integer(0), a.Text(1), a.Integer(2));
    });
    host_.SetEventHandler(OnFileDownloadResumeId, [this](OleEventArguments& a) {
        if (auto handler = OnFileDownloadResume)
            handler(this, a.Text(0), a.Integer(1), a.Text(2));
    });
}

void TPxhl::ClearEventHandlers() {
    OnGetFileSizeLastModified = nullptr;
    OnDownloadComplete = nullptr;
    OnFileDownloadComplete = nullptr;
    OnFileDownloadProgress = nullptr;
    OnFileSegmentDownloadProgress = nullptr;
    OnFileDownloadStart = nullptr;
    OnFileDownloadResume = nullptr;
}

// ---- properties

HRESULT TPxhl::GetProperty(DISPID id, VARIANT* value) const {
    return host_.GetProperty(id, value);
}

HRESULT TPxhl::SetProperty(DISPID id, const VARIANT& value) {
    return host_.SetProperty(id, value);
}

std::wstring TPxhl::GetTextProperty(DISPID id) const {
    OleVariant value;
    return SUCCEEDED(host_.GetProperty(id, value.Out())) ? value.AsText() : std::wstring();
}

long TPxhl::GetIntegerProperty(DISPID id) const {
    OleVariant value;
    return SUCCEEDED(host_.GetProperty(id, value.Out())) ? value.AsInteger() : 0;
}

bool TPxhl::GetBooleanProperty(DISPID id) const {
    OleVariant value;
    return SUCCEEDED(host_.GetProperty(id, value.Out())) && value.AsBoolean();
}

bool TPxhl::SetTextProperty(DISPID id, const std::wstring& value) {
    return host_.SetProperty(id, OleVariant::FromText(value).Get()) == S_OK;
}

bool TPxhl::SetIntegerProperty(DISPID id, long value) {
    return host_.SetProperty(id, OleVariant::FromInteger(value).Get()) == S_OK;
}

bool TPxhl::SetBooleanProperty(DISPID id, bool value) {
    return host_.SetProperty(id, OleVariant::FromBoolean(value).Get()) == S_OK;
}

// ---- methods

void TPxhl::SetColumn(short columnId, const std::wstring& headerText, long width) {
    if (control_)
        control_->SetColumn(columnId, arg(headerText).Get(), width);
}

std::wstring TPxhl::GetColumn(short columnId, short field) {
    OleString value;
    if (!control_ || FAILED(control_->GetColumn(columnId, field, value.Out())))
        return std::wstring();
    return value.Text();
}

long TPxhl::GetLastError() {
    LONG code = 0;
    if (!control_ || FAILED(control_->GetLastError(&code)))
        return -1;
    return code;
}

std::wstring TPxhl::GetLastErrorDesc() {
    OleString value;
    if (!control_ || FAILED(control_->GetLastErrorDesc(value.Out())))
        return std::wstring();
    return value.Text();
}

void TPxhl::GetFileSizeLastModified(const std::wstring& url, const std::wstring& referer,
                                    const std::wstring& userName, const std::wstring& password,
                                    short options) {
    if (control_)
        control_->GetFileSizeLastModified(arg(url).Get(), arg(referer).Get(), arg(userName).Get(),
                                          arg(password).Get(), options);
}

long TPxhl::AddFile(const std::wstring& url, const std::wstring& fileSize,
                    const std::wstring& displayFileName, const std::wstring& savePath, long segmentCount,
                    const std::wstring& referer, const std::wstring& userName, const std::wstring& password,
                    short options) {
    LONG fileId = -1;
    if (!control_ || FAILED(control_->AddFile(arg(url).Get(), arg(fileSize).Get(), arg(displayFileName).Get(),
                                              arg(savePath).Get(), segmentCount, arg(referer).Get(),
                                              arg(userName).Get(), arg(password).Get(), options, &fileId)))
        return -1;
    return fileId;
}

bool TPxhl::RemoveFile(long fileId) {
    VARIANT_BOOL result = VARIANT_FALSE;
    return control_ && SUCCEEDED(control_->RemoveFile(fileId, &result)) && result != VARIANT_FALSE;
}

bool TPxhl::ClearFiles() {
    VARIANT_BOOL result = VARIANT_FALSE;
    return control_ && SUCCEEDED(control_->ClearFiles(&result)) && result != VARIANT_FALSE;
}

bool TPxhl::ClearDownloadSessionTempSubfolder() {
    VARIANT_BOOL result = VARIANT_FALSE;
    return control_ && SUCCEEDED(control_->ClearDownloadSessionTempSubfolder(&result)) &&
           result != VARIANT_FALSE;
}

bool TPxhl::Download() {
    VARIANT_BOOL result = VARIANT_FALSE;
    return control_ && SUCCEEDED(control_->Download(&result)) && result != VARIANT_FALSE;
}

void TPxhl::StopDownload() {
    if (control_)
        control_->StopDownload();
}

bool TPxhl::ResumeDownload() {
    VARIANT_BOOL result = VARIANT_FALSE;
    return control_ && SUCCEEDED(control_->ResumeDownload(&result)) && result != VARIANT_FALSE;
}

std::wstring TPxhl::GetFileInfo(long fileId, short field) {
    OleString value;
    if (!control_ || FAILED(control_->GetFileInfo(fileId, field, value.Out())))
        return std::wstring();
    return value.Text();
}

std::wstring TPxhl::GetFileSegmentInfo(long fileId, long segmentIndex, short field) {
    OleString value;
    if (!control_ || FAILED(control_->GetFileSegmentInfo(fileId, segmentIndex, field, value.Out())))
        return std::wstring();
    return value.Text();
}

bool TPxhl::SetProxy(short protocolId, const std::wstring& proxyServer, const std::wstring& proxyUserName,
                     const std::wstring& proxyPassword, short method) {
    VARIANT_BOOL result = VARIANT_FALSE;
    return control_ &&
           SUCCEEDED(control_->SetProxy(protocolId, arg(proxyServer).Get(), arg(proxyUserName).Get(),
                                        arg(proxyPassword).Get(), method, &result)) &&
           result != VARIANT_FALSE;
}

std::wstring TPxhl::GetProxy(short protocolId, short field) {
    OleString value;
    if (!control_ || FAILED(control_->GetProxy(protocolId, field, value.Out())))
        return std::wstring();
    return value.Text();
}

void TPxhl::SetProgressBar(bool visible, long topMargin, long height) {
    if (control_)
        control_->SetProgressBar(visible ? VARIANT_TRUE : VARIANT_FALSE, topMargin, height);
}

long TPxhl::GetProgressBar(short field) {
    LONG value = 0;
    if (!control_ || FAILED(control_->GetProgressBar(field, &value)))
        return -1;
    return value;
}

}  // namespace gui
