#include "win32/dragdrop/raw_drop_target.h"

#include "win32/dragdrop/dragdrop.h"

namespace vk::win32 {

RawDropTarget::~RawDropTarget() { Revoke(); }

bool RawDropTarget::Register(HWND window) {
    window_ = window;
    registered_ = SUCCEEDED(RegisterDragDrop(window, this));
    return registered_;
}

void RawDropTarget::Revoke() {
    if (registered_ && IsWindow(window_)) {
        RevokeDragDrop(window_);
    }
    registered_ = false;
}

HRESULT STDMETHODCALLTYPE RawDropTarget::QueryInterface(REFIID iid, void** result) {
    return AnswerQuery<IDropTarget>(this, IID_IDropTarget, iid, result);
}

ULONG STDMETHODCALLTYPE RawDropTarget::AddRef() { return ++references_; }

ULONG STDMETHODCALLTYPE RawDropTarget::Release() {
    const ULONG left = --references_;
    if (left == 0) {
        delete this;
    }
    return left;
}

DWORD RawDropTarget::AcceptedEffect() const {
    return window_ == DragSourceWindow() ? DROPEFFECT_MOVE : DROPEFFECT_COPY;
}

HRESULT STDMETHODCALLTYPE RawDropTarget::DragEnter(IDataObject* data, DWORD, POINTL, DWORD* effect) {
    FORMATETC format = FileListFormat();
    acceptable_ = data != nullptr && data->QueryGetData(&format) == S_OK;
    if (effect != nullptr) {
        *effect = acceptable_ ? AcceptedEffect() : DROPEFFECT_NONE;
    }
    return S_OK;
}

HRESULT STDMETHODCALLTYPE RawDropTarget::DragOver(DWORD, POINTL, DWORD* effect) {
    if (effect != nullptr) {
        *effect = acceptable_ ? AcceptedEffect() : DROPEFFECT_NONE;
    }
    return S_OK;
}

HRESULT STDMETHODCALLTYPE RawDropTarget::DragLeave() {
    acceptable_ = false;
    return S_OK;
}

HRESULT STDMETHODCALLTYPE RawDropTarget::Drop(IDataObject* data, DWORD, POINTL, DWORD* effect) {
    acceptable_ = false;
    // Our own drag let go over us: the files are already in the image.
    if (window_ == DragSourceWindow()) {
        if (effect != nullptr) {
            *effect = DROPEFFECT_NONE;
        }
        return S_OK;
    }
    if (effect != nullptr) {
        *effect = DROPEFFECT_NONE;
    }
    if (data == nullptr) {
        return E_INVALIDARG;
    }
    FORMATETC format = FileListFormat();
    OwnedMedium medium;
    const HRESULT got = medium.GetFrom(data, format);
    if (FAILED(got)) {
        return got;
    }
    if (medium->tymed != TYMED_HGLOBAL) {
        return DV_E_TYMED;
    }
    void* block = GlobalLock(medium->hGlobal);
    if (block != nullptr) {
        SendMessageA(window_, kDroppedFilesMessage, reinterpret_cast<WPARAM>(block), 0);
        GlobalUnlock(medium->hGlobal);
    }
    if (block == nullptr) {
        return E_OUTOFMEMORY;
    }
    if (effect != nullptr) {
        *effect = DROPEFFECT_COPY;
    }
    return S_OK;
}

}  // namespace vk::win32
