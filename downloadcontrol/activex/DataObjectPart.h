#pragma once
// IDataObject of a control: no data formats of its own, but data advise connections for
// containers that insist on them.
#include "downloadcontrol/activex/SystemHeaders.h"

#include "downloadcontrol/activex/ComPtr.h"
#include "downloadcontrol/activex/ObjectRoot.h"

namespace activex {

class ControlBase;

class DataObjectPart final : public DelegatingPart<IDataObject> {
public:
    explicit DataObjectPart(ControlBase& control);

    void releaseAdviseHolder() { adviseHolder_.reset(); }

    HRESULT STDMETHODCALLTYPE GetData(FORMATETC* format, STGMEDIUM* medium) override;
    HRESULT STDMETHODCALLTYPE GetDataHere(FORMATETC* format, STGMEDIUM* medium) override;
    HRESULT STDMETHODCALLTYPE QueryGetData(FORMATETC* format) override;
    HRESULT STDMETHODCALLTYPE GetCanonicalFormatEtc(FORMATETC* in, FORMATETC* out) override;
    HRESULT STDMETHODCALLTYPE SetData(FORMATETC* format, STGMEDIUM* medium, BOOL release) override;
    HRESULT STDMETHODCALLTYPE EnumFormatEtc(DWORD direction, IEnumFORMATETC** formats) override;
    HRESULT STDMETHODCALLTYPE DAdvise(FORMATETC* format, DWORD flags, IAdviseSink* sink,
                                      DWORD* connection) override;
    HRESULT STDMETHODCALLTYPE DUnadvise(DWORD connection) override;
    HRESULT STDMETHODCALLTYPE EnumDAdvise(IEnumSTATDATA** advises) override;

private:
    ComPtr<IDataAdviseHolder> adviseHolder_;
};

}  // namespace activex
