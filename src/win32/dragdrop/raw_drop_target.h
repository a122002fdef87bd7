// The main window's drop target: file lists from other programs are copied
// in through kDroppedFilesMessage; the window's own drag dropped back on it
// is shown as a move and changes nothing.
#pragma once

#include <windows.h>
#include <ole2.h>

#include "win32/dragdrop/com_shared.h"

namespace vk::win32 {

class RawDropTarget : public IDropTarget {
public:
    RawDropTarget() = default;
    RawDropTarget(const RawDropTarget&) = delete;
    RawDropTarget& operator=(const RawDropTarget&) = delete;

    // Registers the object as `window`'s drop target. False when the platform
    // refused; the window then takes no drops.
    bool Register(HWND window);
    // Withdraws the registration, which gives back the platform's reference.
    void Revoke();
    HWND Window() const { return window_; }

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** result) override;
    ULONG STDMETHODCALLTYPE AddRef() override;
    ULONG STDMETHODCALLTYPE Release() override;
    HRESULT STDMETHODCALLTYPE DragEnter(IDataObject* data, DWORD keys, POINTL point, DWORD* effect) override;
    HRESULT STDMETHODCALLTYPE DragOver(DWORD keys, POINTL point, DWORD* effect) override;
    HRESULT STDMETHODCALLTYPE DragLeave() override;
    HRESULT STDMETHODCALLTYPE Drop(IDataObject* data, DWORD keys, POINTL point, DWORD* effect) override;

private:
    virtual ~RawDropTarget();
    // Move over the window that started the drag, copy elsewhere.
    DWORD AcceptedEffect() const;

    ComObjectCount counted_;
    ULONG references_ = 0;
    HWND window_ = nullptr;
    bool registered_ = false;
    bool acceptable_ = false;
};

}  // namespace vk::win32
