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

// One reference to a COM object, given back when the owner goes. Made
// from a pointer it adds a reference of its own, so a fresh object (which
// starts at none) lives exactly as long as its owners.
template <class T>
class ComRef {
public:
    ComRef() = default;
    explicit ComRef(T* object) : object_(object) {
        if (object_ != nullptr) {
            object_->AddRef();
        }
    }
    ~ComRef() { Reset(); }
    ComRef(ComRef&& other) noexcept : object_(other.object_) { other.object_ = nullptr; }
    ComRef& operator=(ComRef&& other) noexcept {
        if (this != &other) {
            Reset();
            object_ = other.object_;
            other.object_ = nullptr;
        }
        return *this;
    }
    ComRef(const ComRef&) = delete;
    ComRef& operator=(const ComRef&) = delete;

    T* get() const { return object_; }
    T* operator->() const { return object_; }
    explicit operator bool() const { return object_ != nullptr; }
    // Gives the reference back now.
    void Reset() {
        T* object = object_;
        object_ = nullptr;
        if (object != nullptr) {
            object->Release();
        }
    }

private:
    T* object_ = nullptr;
};

// A medium a data object filled in, given back to it when the owner goes.
class OwnedMedium {
public:
    OwnedMedium() = default;
    ~OwnedMedium() {
        if (filled_) {
            ReleaseStgMedium(&medium_);
        }
    }
    OwnedMedium(const OwnedMedium&) = delete;
    OwnedMedium& operator=(const OwnedMedium&) = delete;

    // Asks `data` for `format`; only a medium it answered with success is
    // given back, since a failed call need not have filled one in.
    HRESULT GetFrom(IDataObject* data, FORMATETC& format) {
        const HRESULT result = data->GetData(&format, &medium_);
        filled_ = SUCCEEDED(result);
        return result;
    }
    const STGMEDIUM* operator->() const { return &medium_; }

private:
    STGMEDIUM medium_ = {};
    bool filled_ = false;
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
