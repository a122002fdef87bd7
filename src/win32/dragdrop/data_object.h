// The data of a drag out: a file list behind a DROPFILES header, handed to
// each receiver as a fresh global block of its own.
#pragma once

#include <windows.h>
#include <ole2.h>

#include <cstddef>

#include "engine/common/bytes.h"
#include "win32/dragdrop/com_shared.h"

namespace vk::win32 {

// DROPFILES as the platform lays it out: the list's offset, the drop point,
// the non-client flag and the wide-character flag, all 32-bit.
constexpr size_t kDropFilesHeaderSize = 20;
constexpr size_t kDropFilesListOffset = 0;
constexpr size_t kDropFilesPointX = 4;
constexpr size_t kDropFilesPointY = 8;
constexpr size_t kDropFilesNonClient = 12;
constexpr size_t kDropFilesWide = 16;

class DataObject : public IDataObject {
public:
    DataObject() = default;
    DataObject(const DataObject&) = delete;
    DataObject& operator=(const DataObject&) = delete;

    // Takes a copy of `fileList` (`length` bytes, the final zero included)
    // behind the header. False without memory; the object then has no data.
    bool SetFileList(const char* fileList, size_t length);

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** result) override;
    ULONG STDMETHODCALLTYPE AddRef() override;
    ULONG STDMETHODCALLTYPE Release() override;
    HRESULT STDMETHODCALLTYPE GetData(FORMATETC* format, STGMEDIUM* medium) override;
    HRESULT STDMETHODCALLTYPE GetDataHere(FORMATETC* format, STGMEDIUM* medium) override;
    HRESULT STDMETHODCALLTYPE QueryGetData(FORMATETC* format) override;
    HRESULT STDMETHODCALLTYPE GetCanonicalFormatEtc(FORMATETC* format, FORMATETC* canonical) override;
    HRESULT STDMETHODCALLTYPE SetData(FORMATETC* format, STGMEDIUM* medium, BOOL release) override;
    HRESULT STDMETHODCALLTYPE EnumFormatEtc(DWORD direction, IEnumFORMATETC** result) override;
    HRESULT STDMETHODCALLTYPE DAdvise(FORMATETC* format, DWORD flags, IAdviseSink* sink,
                                      DWORD* connection) override;
    HRESULT STDMETHODCALLTYPE DUnadvise(DWORD connection) override;
    HRESULT STDMETHODCALLTYPE EnumDAdvise(IEnumSTATDATA** result) override;

private:
    virtual ~DataObject() = default;

    ComObjectCount counted_;
    ULONG references_ = 0;
    ByteBlock block_;  // header and list; empty until a list was given
};

}  // namespace vk::win32
