// The visible list: its columns, colours and overall progress bar.
#include "downloadcontrol/Pxhl.h"

#include "downloadcontrol/activex/ComText.h"

HRESULT STDMETHODCALLTYPE Pxhl::get_Columns(BSTR* columns) {
    return activex::returnText(listView_.columnsText(), columns);
}

HRESULT STDMETHODCALLTYPE Pxhl::put_Columns(BSTR columns) {
    const std::wstring text = activex::Bstr::textOf(columns);
    return putProperty(PxhlColumnsId, [&] { listView_.setColumnsText(text); });
}

HRESULT STDMETHODCALLTYPE Pxhl::SetColumn(short columnId, BSTR headerText, LONG width) {
    listView_.setColumn(columnId, activex::Bstr::textOf(headerText), width);
    return S_OK;
}

HRESULT STDMETHODCALLTYPE Pxhl::GetColumn(short columnId, short field, BSTR* value) {
    if (!value) {
        return E_POINTER;
    }
    return activex::returnText(listView_.column(columnId, field, errors_), value);
}

HRESULT Pxhl::putListColor(DISPID id, OLE_COLOR color, void (DownloadListView::*apply)(COLORREF)) {
    return putProperty(id, [&] {
        // A value that stands for no colour leaves the list as it is.
        COLORREF translated = 0;
        if (DownloadListView::translateColor(color, translated)) {
            (listView_.*apply)(translated);
        }
    });
}

HRESULT STDMETHODCALLTYPE Pxhl::get_ColumnsForeColor(OLE_COLOR* color) {
    if (!color) {
        return E_POINTER;
    }
    *color = listView_.textColor();
    return S_OK;
}

HRESULT STDMETHODCALLTYPE Pxhl::put_ColumnsForeColor(OLE_COLOR color) {
    return putListColor(PxhlColumnsForeColorId, color, &DownloadListView::setTextColor);
}

HRESULT STDMETHODCALLTYPE Pxhl::get_ColumnsBackColor(OLE_COLOR* color) {
    if (!color) {
        return E_POINTER;
    }
    *color = listView_.backColor();
    return S_OK;
}

HRESULT STDMETHODCALLTYPE Pxhl::put_ColumnsBackColor(OLE_COLOR color) {
    return putListColor(PxhlColumnsBackColorId, color, &DownloadListView::setBackColor);
}

HRESULT STDMETHODCALLTYPE Pxhl::SetProgressBar(VARIANT_BOOL visible, LONG topMargin, LONG height) {
    listView_.setProgressBar(visible != VARIANT_FALSE, topMargin, height);
    return S_OK;
}

HRESULT STDMETHODCALLTYPE Pxhl::GetProgressBar(short field, LONG* value) {
    if (!value) {
        return E_POINTER;
    }
    *value = listView_.progressBar(field, errors_);
    return S_OK;
}
