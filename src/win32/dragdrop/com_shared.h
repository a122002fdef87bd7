// What the four drag-and-drop COM classes share: the one format they trade,
// the QueryInterface rule, and a count of live objects that shows every
// reference was given back.
#pragma once

#include <windows.h>
#include <ole2.h>

namespace vk::win32 {

// CF_HDROP as content in global memory, the only data we hand out or take.
FORMATETC FileListFormat();
// Whether `format` asks for the file list: CF_HDROP with the content aspect
// among its aspects and global memory among its media; the index is ignored.
bool IsFileListFormat(const FORMATETC& format);

// Objects of the four classes alive in this process.
int LiveComObjects();

// Counts one object from construction to destruction.
class ComObjectCount {
public:
    ComObjectCount();
    ~ComObjectCount();
    ComObjectCount(const ComObjectCount&) = delete;
    ComObjectCount& operator=(const ComObjectCount&) = delete;
};

// QueryInterface of an object with one interface `own`: that interface and
// IUnknown get `self` with a reference added; a missing result pointer is
// E_POINTER; anything else E_NOINTERFACE with the result cleared.
template <class Interface>
HRESULT AnswerQuery(Interface* self, REFIID own, REFIID asked, void** result) {
    if (result == nullptr) {
        return E_POINTER;
    }
    if (IsEqualIID(asked, own) || IsEqualIID(asked, IID_IUnknown)) {
        *result = self;
        self->AddRef();
        return S_OK;
    }
    *result = nullptr;
    return E_NOINTERFACE;
}

}  // namespace vk::win32
