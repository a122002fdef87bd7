#include "win32/dragdrop/data_object.h"

#include <cstring>
#include <new>

#include "win32/dragdrop/enum_format_etc.h"

namespace vk::win32 {

bool DataObject::SetFileList(const char* fileList, size_t length) {
    block_.Reset();
    if (!block_.Allocate(kDropFilesHeaderSize + length)) {
        return false;
    }
    uint8_t* block = block_.data();
    std::memset(block, 0, kDropFilesHeaderSize);
    Store32(block + kDropFilesListOffset, kDropFilesHeaderSize);
    std::memcpy(block + kDropFilesHeaderSize, fileList, length);
    return true;
}

HRESULT STDMETHODCALLTYPE DataObject::QueryInterface(REFIID iid, void** result) {
    return AnswerQuery<IDataObject>(this, IID_IDataObject, iid, result);
}

ULONG STDMETHODCALLTYPE DataObject::AddRef() { return ++references_; }

ULONG STDMETHODCALLTYPE DataObject::Release() {
    const ULONG left = --references_;
    if (left == 0) {
        delete this;
    }
    return left;
}

HRESULT STDMETHODCALLTYPE DataObject::GetData(FORMATETC* format, STGMEDIUM* medium) {
    if (format == nullptr || medium == nullptr) {
        return E_POINTER;
    }
    if (!IsFileListFormat(*format)) {
        return DV_E_FORMATETC;
    }
    if (block_.empty()) {
        return STG_E_MEDIUMFULL;
    }
    // The receiver owns and frees this copy; ours stays for the next one.
    HGLOBAL copy = GlobalAlloc(GHND, block_.size());
    if (copy == nullptr) {
        return STG_E_MEDIUMFULL;
    }
    void* target = GlobalLock(copy);
    if (target == nullptr) {
        GlobalFree(copy);
        return STG_E_MEDIUMFULL;
    }
    std::memcpy(target, block_.data(), block_.size());
    GlobalUnlock(copy);
    medium->tymed = TYMED_HGLOBAL;
    medium->hGlobal = copy;
    medium->pUnkForRelease = nullptr;
    return S_OK;
}

HRESULT STDMETHODCALLTYPE DataObject::GetDataHere(FORMATETC*, STGMEDIUM*) { return E_NOTIMPL; }

HRESULT STDMETHODCALLTYPE DataObject::QueryGetData(FORMATETC* format) {
    if (format == nullptr) {
        return E_POINTER;
    }
    return IsFileListFormat(*format) ? S_OK : DV_E_FORMATETC;
}

HRESULT STDMETHODCALLTYPE DataObject::GetCanonicalFormatEtc(FORMATETC*, FORMATETC* canonical) {
    if (canonical != nullptr) {
        canonical->ptd = nullptr;
    }
    return E_NOTIMPL;
}

HRESULT STDMETHODCALLTYPE DataObject::SetData(FORMATETC*, STGMEDIUM*, BOOL) { return E_NOTIMPL; }

HRESULT STDMETHODCALLTYPE DataObject::EnumFormatEtc(DWORD, IEnumFORMATETC** result) {
    if (result == nullptr) {
        return E_POINTER;
    }
    auto* enumerator = new (std::nothrow) CEnumFormatEtc;
    if (enumerator == nullptr) {
        *result = nullptr;
        return E_OUTOFMEMORY;
    }
    enumerator->AddRef();
    *result = enumerator;
    return S_OK;
}

HRESULT STDMETHODCALLTYPE DataObject::DAdvise(FORMATETC*, DWORD, IAdviseSink*, DWORD*) { return E_NOTIMPL; }

HRESULT STDMETHODCALLTYPE DataObject::DUnadvise(DWORD) { return E_NOTIMPL; }

HRESULT STDMETHODCALLTYPE DataObject::EnumDAdvise(IEnumSTATDATA** result) {
    if (result != nullptr) {
        *result = nullptr;
    }
    return E_NOTIMPL;
}

}  // namespace vk::win32
