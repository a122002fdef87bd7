// The source side of a drag out: the drag goes on while the left button is
// held, drops when it is let go, and ends on Escape.
#pragma once

#include <windows.h>
#include <ole2.h>

#include "win32/dragdrop/com_shared.h"

namespace vk::win32 {

class DropSource : public IDropSource {
public:
    DropSource() = default;
    DropSource(const DropSource&) = delete;
    DropSource& operator=(const DropSource&) = delete;

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** result) override;
    ULONG STDMETHODCALLTYPE AddRef() override;
    ULONG STDMETHODCALLTYPE Release() override;
    HRESULT STDMETHODCALLTYPE QueryContinueDrag(BOOL escapePressed, DWORD keyState) override;
    HRESULT STDMETHODCALLTYPE GiveFeedback(DWORD effect) override;

private:
    virtual ~DropSource() = default;

    ComObjectCount counted_;
    ULONG references_ = 0;
};

}  // namespace vk::win32
