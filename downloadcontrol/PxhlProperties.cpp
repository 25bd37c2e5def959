// The stock properties and the settings of the control.
#include "downloadcontrol/Pxhl.h"

#include <climits>

#include "downloadcontrol/activex/ComText.h"

HRESULT STDMETHODCALLTYPE Pxhl::put_BackColor(OLE_COLOR color) { return stock().putBackColor(color); }
HRESULT STDMETHODCALLTYPE Pxhl::get_BackColor(OLE_COLOR* color) { return stock().getBackColor(color); }
HRESULT STDMETHODCALLTYPE Pxhl::putref_Font(IFontDisp* font) { return stock().putRefFont(font); }
HRESULT STDMETHODCALLTYPE Pxhl::put_Font(IFontDisp* font) { return stock().putFont(font); }
HRESULT STDMETHODCALLTYPE Pxhl::get_Font(IFontDisp** font) { return stock().getFont(font); }
HRESULT STDMETHODCALLTYPE Pxhl::put_Enabled(VARIANT_BOOL enabled) { return stock().putEnabled(enabled); }
HRESULT STDMETHODCALLTYPE Pxhl::get_Enabled(VARIANT_BOOL* enabled) { return stock().getEnabled(enabled); }
HRESULT STDMETHODCALLTYPE Pxhl::put_TabStop(VARIANT_BOOL tabStop) { return stock().putTabStop(tabStop); }
HRESULT STDMETHODCALLTYPE Pxhl::get_TabStop(VARIANT_BOOL* tabStop) { return stock().getTabStop(tabStop); }

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
    return returnBool(commonSaveFolder_, value);
}

HRESULT STDMETHODCALLTYPE Pxhl::put_CommonSaveFolder(VARIANT_BOOL value) {
    return putProperty(PxhlCommonSaveFolderId, [&] { commonSaveFolder_ = value != VARIANT_FALSE; });
}

HRESULT STDMETHODCALLTYPE Pxhl::get_ReceiveBufferSize(LONG* value) { return returnLong(receiveBufferSize_, value); }

HRESULT STDMETHODCALLTYPE Pxhl::put_ReceiveBufferSize(LONG value) {
    return putPositive(PxhlReceiveBufferSizeId, value, receiveBufferSize_);
}

HRESULT STDMETHODCALLTYPE Pxhl::get_MinFileSegmentSize(LONG* value) { return returnLong(minFileSegmentSize_, value); }

HRESULT STDMETHODCALLTYPE Pxhl::put_MinFileSegmentSize(LONG value) {
    return putPositive(PxhlMinFileSegmentSizeId, value, minFileSegmentSize_);
}

HRESULT STDMETHODCALLTYPE Pxhl::get_ConcurrentDownloadFileCount(LONG* value) {
    return returnLong(concurrentDownloadFileCount_, value);
}

HRESULT STDMETHODCALLTYPE Pxhl::put_ConcurrentDownloadFileCount(LONG value) {
    return putPositive(PxhlConcurrentDownloadFileCountId, value, concurrentDownloadFileCount_);
}

HRESULT STDMETHODCALLTYPE Pxhl::get_AutoRemoveCompletedFiles(VARIANT_BOOL* value) {
    return returnBool(autoRemoveCompletedFiles_, value);
}

HRESULT STDMETHODCALLTYPE Pxhl::put_AutoRemoveCompletedFiles(VARIANT_BOOL value) {
    return putProperty(PxhlAutoRemoveCompletedFilesId, [&] { autoRemoveCompletedFiles_ = value != VARIANT_FALSE; });
}

HRESULT STDMETHODCALLTYPE Pxhl::get_ConnectionTimeout(LONG* value) { return returnLong(connectionTimeout_, value); }

HRESULT STDMETHODCALLTYPE Pxhl::put_ConnectionTimeout(LONG value) {
    return putProperty(PxhlConnectionTimeoutId, [&] { connectionTimeout_ = value; });
}

HRESULT STDMETHODCALLTYPE Pxhl::get_RetryWait(LONG* value) { return returnLong(retryWait_, value); }

HRESULT STDMETHODCALLTYPE Pxhl::put_RetryWait(LONG value) {
    return putProperty(PxhlRetryWaitId, [&] { retryWait_ = value; });
}

HRESULT STDMETHODCALLTYPE Pxhl::get_RetryCount(LONG* value) { return returnLong(attempts_ - 1, value); }

HRESULT STDMETHODCALLTYPE Pxhl::put_RetryCount(LONG value) {
    // A negative count, or one whose attempt count would overflow, means a single attempt.
    return putProperty(PxhlRetryCountId, [&] { attempts_ = (value < 0 || value == LONG_MAX) ? 1 : value + 1; });
}
