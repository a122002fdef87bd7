#include "win32/dragdrop/drop_source.h"

namespace vk::win32 {

HRESULT STDMETHODCALLTYPE DropSource::QueryInterface(REFIID iid, void** result) {
    return AnswerQuery<IDropSource>(this, IID_IDropSource, iid, result);
}

ULONG STDMETHODCALLTYPE DropSource::AddRef() { return ++references_; }

ULONG STDMETHODCALLTYPE DropSource::Release() {
    const ULONG left = --references_;
    if (left == 0) {
        delete this;
    }
    return left;
}

HRESULT STDMETHODCALLTYPE DropSource::QueryContinueDrag(BOOL escapePressed, DWORD keyState) {
    if (escapePressed) {
        return DRAGDROP_S_CANCEL;
    }
    if ((keyState & MK_LBUTTON) == 0) {
        return DRAGDROP_S_DROP;
    }
    return S_OK;
}

HRESULT STDMETHODCALLTYPE DropSource::GiveFeedback(DWORD) { return DRAGDROP_S_USEDEFAULTCURSORS; }

}  // namespace vk::win32
