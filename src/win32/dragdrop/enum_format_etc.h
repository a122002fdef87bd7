// The enumerator a DataObject hands out: exactly one format, the file list.
#pragma once

#include <windows.h>
#include <ole2.h>

#include "win32/dragdrop/com_shared.h"

namespace vk::win32 {

class CEnumFormatEtc : public IEnumFORMATETC {
public:
    CEnumFormatEtc() = default;
    CEnumFormatEtc(const CEnumFormatEtc&) = delete;
    CEnumFormatEtc& operator=(const CEnumFormatEtc&) = delete;

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** result) override;
    ULONG STDMETHODCALLTYPE AddRef() override;
    ULONG STDMETHODCALLTYPE Release() override;
    HRESULT STDMETHODCALLTYPE Next(ULONG count, FORMATETC* formats, ULONG* fetched) override;
    HRESULT STDMETHODCALLTYPE Skip(ULONG count) override;
    HRESULT STDMETHODCALLTYPE Reset() override;
    HRESULT STDMETHODCALLTYPE Clone(IEnumFORMATETC** result) override;

private:
    virtual ~CEnumFormatEtc() = default;

    ComObjectCount counted_;
    ULONG references_ = 0;
    bool done_ = false;
};

}  // namespace vk::win32
