// The stock properties, the settings of the control and its proxies.
#include "downloadcontrol/Pxhl.h"

#include <algorithm>
#include <climits>

#include "downloadcontrol/activex/ComText.h"
#include "downloadcontrol/net/DownloadClient.h"

HRESULT STDMETHODCALLTYPE Pxhl::put_BackColor(OLE_COLOR color) {
    return stock().putBackColor(color);
}
HRESULT STDMETHODCALLTYPE Pxhl::get_BackColor(OLE_COLOR* color) {
    return stock().getBackColor(color);
}
HRESULT STDMETHODCALLTYPE Pxhl::putref_Font(IFontDisp* font) {
    return stock().putRefFont(font);
}
HRESULT STDMETHODCALLTYPE Pxhl::put_Font(IFontDisp* font) {
    return stock().putFont(font);
}
HRESULT STDMETHODCALLTYPE Pxhl::get_Font(IFontDisp** font) {
    return stock().getFont(font);
}
HRESULT STDMETHODCALLTYPE Pxhl::put_Enabled(VARIANT_BOOL enabled) {
    return stock().putEnabled(enabled);
}
HRESULT STDMETHODCALLTYPE Pxhl::get_Enabled(VARIANT_BOOL* enabled) {
    return stock().getEnabled(enabled);
}
HRESULT STDMETHODCALLTYPE Pxhl::put_TabStop(VARIANT_BOOL tabStop) {
    return stock().putTabStop(tabStop);
}
HRESULT STDMETHODCALLTYPE Pxhl::get_TabStop(VARIANT_BOOL* tabStop) {
    return stock().getTabStop(tabStop);
}

namespace {

HRESULT returnBool(bool value, VARIANT_BOOL* out) {
    if (!out) {
        return E_POINTER;
    }
    *out = value ? VARIANT_TRUE : VARIANT_FALSE;
    return S_OK;
}

HRESULT returnLong(int32_t value, LONG* out) {
    if (!out) {
        return E_POINTER;
    }
    *out = value;
    return S_OK;
}

}  // namespace

HRESULT Pxhl::putPositive(DISPID id, LONG value, int32_t& field) {
    return putProperty(id, [&] {
        if (value >= 1) {
            field = value;
        }
    });
}

HRESULT STDMETHODCALLTYPE Pxhl::get_CommonSaveFolder(VARIANT_BOOL* value) {
    return returnBool(engine_.settings().commonSaveFolder, value);
}

HRESULT STDMETHODCALLTYPE Pxhl::put_CommonSaveFolder(VARIANT_BOOL value) {
    return putProperty(PxhlCommonSaveFolderId,
                       [&] { engine_.settings().commonSaveFolder = value != VARIANT_FALSE; });
}

HRESULT STDMETHODCALLTYPE Pxhl::get_ReceiveBufferSize(LONG* value) {
    return returnLong(engine_.settings().receiveBufferSize, value);
}

HRESULT STDMETHODCALLTYPE Pxhl::put_ReceiveBufferSize(LONG value) {
    // A larger buffer is stored as the largest one the transfers use, so that the value read back is the
    // one in effect (every running segment holds two such buffers).
    return putPositive(PxhlReceiveBufferSizeId, std::min<LONG>(value, kMaximumReceiveBufferSize),
                       engine_.settings().receiveBufferSize);
}

HRESULT STDMETHODCALLTYPE Pxhl::get_MinFileSegmentSize(LONG* value) {
    return returnLong(engine_.settings().minFileSegmentSize, value);
}

HRESULT STDMETHODCALLTYPE Pxhl::put_MinFileSegmentSize(LONG value) {
    return putPositive(PxhlMinFileSegmentSizeId, value, engine_.settings().minFileSegmentSize);
}

HRESULT STDMETHODCALLTYPE Pxhl::get_ConcurrentDownloadFileCount(LONG* value) {
    return returnLong(engine_.settings().concurrentDownloadFileCount, value);
}

HRESULT STDMETHODCALLTYPE Pxhl::put_ConcurrentDownloadFileCount(LONG value) {
    return putPositive(PxhlConcurrentDownloadFileCountId, value,
                       engine_.settings().concurrentDownloadFileCount);
}

HRESULT STDMETHODCALLTYPE Pxhl::get_AutoRemoveCompletedFiles(VARIANT_BOOL* value) {
    return returnBool(engine_.settings().autoRemoveCompletedFiles, value);
}

HRESULT STDMETHODCALLTYPE Pxhl::put_AutoRemoveCompletedFiles(VARIANT_BOOL value) {
    return putProperty(PxhlAutoRemoveCompletedFilesId,
                       [&] { engine_.settings().autoRemoveCompletedFiles = value != VARIANT_FALSE; });
}

HRESULT STDMETHODCALLTYPE Pxhl::get_ConnectionTimeout(LONG* value) {
    return returnLong(engine_.settings().connectionTimeout, value);
}

HRESULT STDMETHODCALLTYPE Pxhl::put_ConnectionTimeout(LONG value) {
    return putProperty(PxhlConnectionTimeoutId, [&] { engine_.settings().connectionTimeout = value; });
}

HRESULT STDMETHODCALLTYPE Pxhl::get_RetryWait(LONG* value) {
    return returnLong(engine_.settings().retryWait, value);
}

HRESULT STDMETHODCALLTYPE Pxhl::put_RetryWait(LONG value) {
    return putProperty(PxhlRetryWaitId, [&] { engine_.settings().retryWait = value; });
}

HRESULT STDMETHODCALLTYPE Pxhl::get_RetryCount(LONG* value) {
    return returnLong(engine_.settings().attempts - 1, value);
}

HRESULT STDMETHODCALLTYPE Pxhl::put_RetryCount(LONG value) {
    // A negative count, or one whose attempt count would overflow, means a single attempt.
    return putProperty(PxhlRetryCountId, [&] {
        engine_.settings().attempts = (value < 0 || value == LONG_MAX) ? 1 : value + 1;
    });
}

HRESULT STDMETHODCALLTYPE Pxhl::get_DownloadSessionTempSubfolder(BSTR* value) {
    return activex::returnText(engine_.sessionTempSubfolder(), value);
}

HRESULT STDMETHODCALLTYPE Pxhl::put_DownloadSessionTempSubfolder(BSTR value) {
    const std::wstring text = activex::Bstr::textOf(value);
    return putProperty(PxhlDownloadSessionTempSubfolderId, [&] { engine_.setSessionTempSubfolder(text); });
}

HRESULT STDMETHODCALLTYPE Pxhl::SetProxy(short protocolId, BSTR proxyServer, BSTR proxyUserName,
                                         BSTR proxyPassword, short method, VARIANT_BOOL* result) {
    if (!result) {
        return E_POINTER;
    }
    const bool stored = engine_.proxies().set(protocolId, activex::Bstr::textOf(proxyServer),
                                              activex::Bstr::textOf(proxyUserName),
                                              activex::Bstr::textOf(proxyPassword), method, errors_);
    *result = stored ? VARIANT_TRUE : VARIANT_FALSE;
    return S_OK;
}

HRESULT STDMETHODCALLTYPE Pxhl::GetProxy(short protocolId, short field, BSTR* value) {
    if (!value) {
        return E_POINTER;
    }
    return activex::returnText(engine_.proxies().get(protocolId, field, errors_), value);
}
