// Members whose machinery this build of the control does not contain yet: the download engine,
// the size query, the proxies and the visible list. They answer E_NOTIMPL (with their
// out-values cleared) so that a host can tell them apart from a failed operation.
#include "downloadcontrol/Pxhl.h"

namespace {

HRESULT unavailable() { return E_NOTIMPL; }

template <class Value>
HRESULT unavailable(Value* out, Value empty) {
    if (!out) {
        return E_POINTER;
    }
    *out = empty;
    return E_NOTIMPL;
}

}  // namespace

HRESULT STDMETHODCALLTYPE Pxhl::get_Columns(BSTR* columns) { return unavailable<BSTR>(columns, nullptr); }
HRESULT STDMETHODCALLTYPE Pxhl::put_Columns(BSTR) { return unavailable(); }
HRESULT STDMETHODCALLTYPE Pxhl::SetColumn(short, BSTR, LONG) { return unavailable(); }
HRESULT STDMETHODCALLTYPE Pxhl::GetColumn(short, short, BSTR* value) { return unavailable<BSTR>(value, nullptr); }
HRESULT STDMETHODCALLTYPE Pxhl::get_ColumnsForeColor(OLE_COLOR* color) { return unavailable<OLE_COLOR>(color, 0); }
HRESULT STDMETHODCALLTYPE Pxhl::put_ColumnsForeColor(OLE_COLOR) { return unavailable(); }
HRESULT STDMETHODCALLTYPE Pxhl::get_ColumnsBackColor(OLE_COLOR* color) { return unavailable<OLE_COLOR>(color, 0); }
HRESULT STDMETHODCALLTYPE Pxhl::put_ColumnsBackColor(OLE_COLOR) { return unavailable(); }

HRESULT STDMETHODCALLTYPE Pxhl::GetFileSizeLastModified(BSTR, BSTR, BSTR, BSTR, short) { return unavailable(); }

HRESULT STDMETHODCALLTYPE Pxhl::Download(VARIANT_BOOL* result) {
    return unavailable<VARIANT_BOOL>(result, VARIANT_FALSE);
}
HRESULT STDMETHODCALLTYPE Pxhl::StopDownload() { return unavailable(); }
HRESULT STDMETHODCALLTYPE Pxhl::ResumeDownload(VARIANT_BOOL* result) {
    return unavailable<VARIANT_BOOL>(result, VARIANT_FALSE);
}

HRESULT STDMETHODCALLTYPE Pxhl::SetProxy(short, BSTR, BSTR, BSTR, short, VARIANT_BOOL* result) {
    return unavailable<VARIANT_BOOL>(result, VARIANT_FALSE);
}
HRESULT STDMETHODCALLTYPE Pxhl::GetProxy(short, short, BSTR* value) { return unavailable<BSTR>(value, nullptr); }

HRESULT STDMETHODCALLTYPE Pxhl::SetProgressBar(VARIANT_BOOL, LONG, LONG) { return unavailable(); }
HRESULT STDMETHODCALLTYPE Pxhl::GetProgressBar(short, LONG* value) { return unavailable<LONG>(value, 0); }

// Until the file list is part of the control.
HRESULT STDMETHODCALLTYPE Pxhl::AddFile(BSTR, BSTR, BSTR, BSTR, LONG, BSTR, BSTR, BSTR, short, LONG* fileId) {
    return unavailable<LONG>(fileId, -1);
}
HRESULT STDMETHODCALLTYPE Pxhl::RemoveFile(LONG, VARIANT_BOOL* result) {
    return unavailable<VARIANT_BOOL>(result, VARIANT_FALSE);
}
HRESULT STDMETHODCALLTYPE Pxhl::ClearFiles(VARIANT_BOOL* result) {
    return unavailable<VARIANT_BOOL>(result, VARIANT_FALSE);
}
HRESULT STDMETHODCALLTYPE Pxhl::ClearDownloadSessionTempSubfolder(VARIANT_BOOL* result) {
    return unavailable<VARIANT_BOOL>(result, VARIANT_FALSE);
}
HRESULT STDMETHODCALLTYPE Pxhl::get_DownloadSessionTempSubfolder(BSTR* value) {
    return unavailable<BSTR>(value, nullptr);
}
HRESULT STDMETHODCALLTYPE Pxhl::put_DownloadSessionTempSubfolder(BSTR) { return unavailable(); }
HRESULT STDMETHODCALLTYPE Pxhl::GetFileInfo(LONG, short, BSTR* value) { return unavailable<BSTR>(value, nullptr); }
HRESULT STDMETHODCALLTYPE Pxhl::GetFileSegmentInfo(LONG, LONG, short, BSTR* value) {
    return unavailable<BSTR>(value, nullptr);
}
