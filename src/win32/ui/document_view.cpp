#include "win32/ui/document_view.h"

#include <commctrl.h>

#include "engine/strings/text_format.h"
#include "engine/fat/list_texts.h"
#include "engine/ports/prompts.h"
#include "engine/ports/window_sync.h"
#include "win32/ports/win32_prompts.h"
#include "win32/ui/list_sync.h"
#include "win32/ui/main_window.h"

namespace vk::win32 {

void UpdateTitle(const ImageDocument& doc) {
    HWND window = MainParts().window;
    if (window == nullptr) {
        return;
    }
    const std::string_view tail = PathTail(doc.fileName);
    std::string title;
    if (!tail.empty()) {
        title.assign(tail.data(), tail.size());
        title += " - ";
    }
    title += ProgramCaption();
    SetWindowTextA(window, title.c_str());
}

void EnableExplorerList(bool enable) {
    const MainWindowParts& parts = MainParts();
    if (parts.list == nullptr) {
        return;
    }
    EnableWindow(parts.list, enable ? TRUE : FALSE);
    SetFocus(enable ? parts.list : parts.window);
    // An image with an empty root adds no item, and no item change would
    // ever count its "0 Object(s)".
    UpdateStatusText();
}

void RemoveAllListItems() {
    if (MainParts().list != nullptr) {
        SendMessageA(MainParts().list, LVM_DELETEALLITEMS, 0, 0);
    }
}

bool Shown(WindowRef owner, const Result& result) {
    Report(owner, result);
    return result.Done();
}

bool CloseDocument(ImageDocument& doc, bool refreshTitle) {
    const bool wasOpen = doc.IsOpen();
    if (!Shown(MainWindow(), CloseImage(doc))) {
        return false;
    }
    if (wasOpen) {
        if (refreshTitle) {
            UpdateTitle(doc);
        }
        RemoveAllListItems();
        UpdateStatusText();
        EnableExplorerList(false);
    }
    return true;
}

bool OpenDocument(ImageDocument& doc, HWND owner, const std::string& path, bool readOnly) {
    if (path.empty() || !CloseDocument(doc, false)) {
        return false;
    }
    WaitCursor wait;
    if (!Shown(owner, OpenImage(doc, path, readOnly))) {
        return false;
    }
    EnableExplorerList(true);
    FillEntryList(MainParts().list, doc);
    UpdateStatusText();
    UpdateTitle(doc);
    CheckBackupFat(doc, owner);
    return true;
}

bool ShowNewDocument(ImageDocument& doc, HWND owner, const Result& made) {
    if (!Shown(owner, made)) {
        return false;
    }
    UpdateTitle(doc);
    EnableExplorerList(true);
    FillEntryList(MainParts().list, doc);
    UpdateStatusText();
    CheckBackupFat(doc, owner);
    return true;
}

bool SaveDocument(ImageDocument& doc) {
    const std::string before = doc.fileName;
    const Result saved = SaveImage(doc);
    if (doc.fileName != before) {
        // An untitled image got its file on the way.
        UpdateTitle(doc);
        EnableExplorerList(true);
    }
    return Shown(MainWindow(), saved);
}

bool SaveDocumentAs(ImageDocument& doc, HWND owner) {
    if (!Shown(owner, SaveImageAs(doc, owner))) {
        return false;
    }
    UpdateTitle(doc);
    EnableExplorerList(true);
    return SaveDocument(doc);
}

}  // namespace vk::win32
