#include "win32/dragdrop/enum_format_etc.h"

namespace vk::win32 {

HRESULT STDMETHODCALLTYPE CEnumFormatEtc::QueryInterface(REFIID iid, void** result) {
    return AnswerQuery<IEnumFORMATETC>(this, IID_IEnumFORMATETC, iid, result);
}

ULONG STDMETHODCALLTYPE CEnumFormatEtc::AddRef() { return ++references_; }

ULONG STDMETHODCALLTYPE CEnumFormatEtc::Release() {
    const ULONG left = --references_;
    if (left == 0) {
        delete this;
    }
    return left;
}

HRESULT STDMETHODCALLTYPE CEnumFormatEtc::Next(ULONG count, FORMATETC* formats, ULONG* fetched) {
    if (formats == nullptr) {
        return E_POINTER;
    }
    if (fetched != nullptr) {
        *fetched = 0;
    }
    // Asked for nothing, nothing may be written into the caller's array.
    if (count == 0) {
        return S_OK;
    }
    if (done_) {
        return S_FALSE;
    }
    done_ = true;
    formats[0] = FileListFormat();
    if (fetched != nullptr) {
        *fetched = 1;
    }
    return count > 1 ? S_FALSE : S_OK;
}

HRESULT STDMETHODCALLTYPE CEnumFormatEtc::Skip(ULONG) { return E_NOTIMPL; }

HRESULT STDMETHODCALLTYPE CEnumFormatEtc::Reset() {
    done_ = false;
    return S_OK;
}

HRESULT STDMETHODCALLTYPE CEnumFormatEtc::Clone(IEnumFORMATETC** result) {
    if (result != nullptr) {
        *result = nullptr;
    }
    return E_NOTIMPL;
}

}  // namespace vk::win32
