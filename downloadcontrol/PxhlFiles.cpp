// The queue: adding, removing and clearing files, reading their figures, and the header files.
#include "downloadcontrol/Pxhl.h"

#include "downloadcontrol/activex/ComText.h"

using activex::Bstr;

HRESULT STDMETHODCALLTYPE Pxhl::AddFile(BSTR url, BSTR fileSize, BSTR displayFileName, BSTR savePath,
                                        LONG segmentCount, BSTR referer, BSTR userName, BSTR password,
                                        short options, LONG* fileId) {
    if (!fileId) {
        return E_POINTER;
    }
    AddFileRequest request;
    request.url = Bstr::textOf(url);
    request.fileSize = Bstr::textOf(fileSize);
    request.displayFileName = Bstr::textOf(displayFileName);
    request.savePath = Bstr::textOf(savePath);
    request.segmentCount = segmentCount;
    request.referer = Bstr::textOf(referer);
    request.userName = Bstr::textOf(userName);
    request.password = Bstr::textOf(password);
    request.options = options;
    *fileId = engine_.addFile(request);
    return S_OK;
}

HRESULT STDMETHODCALLTYPE Pxhl::RemoveFile(LONG fileId, VARIANT_BOOL* result) {
    if (!result) {
        return E_POINTER;
    }
    *result = engine_.removeFile(fileId) ? VARIANT_TRUE : VARIANT_FALSE;
    return S_OK;
}

HRESULT STDMETHODCALLTYPE Pxhl::ClearFiles(VARIANT_BOOL* result) {
    if (!result) {
        return E_POINTER;
    }
    *result = engine_.clearFiles() ? VARIANT_TRUE : VARIANT_FALSE;
    return S_OK;
}

HRESULT STDMETHODCALLTYPE Pxhl::GetFileInfo(LONG fileId, short field, BSTR* value) {
    if (!value) {
        return E_POINTER;
    }
    return activex::returnText(engine_.fileInfo(fileId, field), value);
}

HRESULT STDMETHODCALLTYPE Pxhl::GetFileSegmentInfo(LONG fileId, LONG segmentIndex, short field, BSTR* value) {
    if (!value) {
        return E_POINTER;
    }
    return activex::returnText(engine_.segmentInfo(fileId, segmentIndex, field), value);
}

HRESULT STDMETHODCALLTYPE Pxhl::ClearDownloadSessionTempSubfolder(VARIANT_BOOL* result) {
    if (!result) {
        return E_POINTER;
    }
    *result = engine_.clearHeaderFiles() ? VARIANT_TRUE : VARIANT_FALSE;
    return S_OK;
}
