#include "win32/ui/document_view.h"

#include <commctrl.h>

#include "engine/fat/ops/partition_info.h"
#include "engine/strings/string_ids.h"
#include "engine/strings/strings.h"
#include "engine/strings/text_format.h"
#include "engine/fat/dir/dir_path.h"
#include "engine/fat/dir/list_texts.h"
#include "engine/ports/prompts.h"
#include "engine/ports/window_sync.h"
#include "win32/common/file_dialog.h"
#include "win32/ports/main_window.h"
#include "win32/ports/win32_prompts.h"
#include "win32/sheets/member_dialog.h"
#include "win32/sheets/partition_dialog.h"
#include "win32/ui/current_folder.h"
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
        if (!doc.container.member.empty()) {
            std::string named;
            ExpandInserts(LoadText(kStrTitleMember), {title, doc.container.member}, named);
            title = named;
        }
        if (doc.partition != 0) {
            std::string named;
            ExpandInserts(LoadText(kStrTitlePartition), {title, std::to_string(doc.partition)}, named);
            title = named;
        }
        if (!TheFolder().AtRoot()) {
            title += kPathSeparator;
            title += TheFolder().Path();
        }
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

bool Shown(HWND owner, const Result& result) {
    Report(owner, result);
    return result.Done();
}

bool CloseDocument(ImageDocument& doc, bool refreshTitle) {
    const bool wasOpen = doc.IsOpen();
    if (!Shown(MainWindowHandle(), CloseImage(doc))) {
        return false;
    }
    TheFolder().Reset();
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

bool ChoosePartition(const ImageDocument& doc, HWND owner, const std::string& path, const std::string& member,
                     uint32_t current, uint32_t& partition) {
    partition = 0;
    PartitionChoice choice;
    {
        WaitCursor wait;
        if (doc.IsOpen() && doc.partition != 0 && IsSameHostFile(doc.imageFile, path)) {
            DescribeOpenPartitions(doc, choice.partitions);
        } else {
            PartitionTable table;
            if (!DescribeImagePartitions(path, member, table, choice.partitions).Done()) {
                choice.partitions.clear();
            }
        }
    }
    if (choice.partitions.empty()) {
        return true;
    }
    const std::string_view name = PathTail(path);
    choice.imageName.assign(name.data(), name.size());
    choice.preselect = current;
    partition = RunPartitionDialog(owner, choice);
    return partition != 0;
}

// The file of a zip holding several disk-images, asked for in the Choose
// file dialog; empty for anything else. False when the user cancelled.
bool ChooseMember(HWND owner, const std::string& path, std::string& member) {
    member.clear();
    MemberChoice choice;
    bool mustChoose = false;
    {
        WaitCursor wait;
        ContainerInfo info;
        if (!ReadImageMembers(path, info, mustChoose).Done() || !mustChoose) {
            return true;  // the opening says what is wrong, or takes the one image itself
        }
        choice.members = std::move(info.members);
    }
    const std::string_view name = PathTail(path);
    choice.imageName.assign(name.data(), name.size());
    member = RunMemberDialog(owner, choice);
    return !member.empty();
}

bool OpenDocument(ImageDocument& doc, HWND owner, const std::string& path, bool readOnly, uint32_t partition,
                  const std::string& knownMember) {
    // The zip's file and the partition are chosen before the open document
    // is closed, so that Cancel leaves it as it was.
    std::string member = knownMember;
    if (path.empty() || (member.empty() && !ChooseMember(owner, path, member))) {
        return false;
    }
    if ((partition == 0 && !ChoosePartition(doc, owner, path, member, 0, partition)) ||
        !CloseDocument(doc, false)) {
        return false;
    }
    Result opened;
    {
        WaitCursor wait;
        opened = OpenImage(doc, path, OpenOptions{readOnly, partition, member});
    }
    // A table that was not there or could not be read before (the image
    // changed, or another program held it): the partitions are asked for now.
    uint32_t chosen = 0;
    if (opened.kind == FailureKind::kNoPartitionChosen) {
        if (!ChoosePartition(doc, owner, path, member, partition, chosen)) {
            return false;
        }
        if (chosen != 0) {
            WaitCursor wait;
            opened = OpenImage(doc, path, OpenOptions{readOnly, chosen, member});
        }
    }
    if (!Shown(owner, opened)) {
        return false;
    }
    NoteImageFolder(path);
    EnableExplorerList(true);
    FillEntryList(MainParts().list, doc);
    UpdateStatusText();
    UpdateTitle(doc);
    const ScopedPromptOwner boxes(owner);
    CheckBackupFat(doc);
    return true;
}

bool OpenOtherPartition(ImageDocument& doc, HWND owner) {
    if (!doc.IsOpen() || doc.partition == 0) {
        return false;
    }
    const std::string path = doc.fileName;
    uint32_t partition = 0;
    // The zip's file stays the one open.
    const std::string member = doc.container.member;
    if (!ChoosePartition(doc, owner, path, member, doc.partition, partition) || partition == 0 ||
        partition == doc.partition) {
        return false;
    }
    return OpenDocument(doc, owner, path, doc.readOnly, partition, member);
}

bool ShowNewDocument(ImageDocument& doc, HWND owner, const Result& made) {
    if (!Shown(owner, made)) {
        return false;
    }
    TheFolder().Reset();
    UpdateTitle(doc);
    EnableExplorerList(true);
    FillEntryList(MainParts().list, doc);
    UpdateStatusText();
    const ScopedPromptOwner boxes(owner);
    CheckBackupFat(doc);
    return true;
}

void ShowCurrentFolder(const ImageDocument& doc, uint32_t focusEntry) {
    HWND list = MainParts().list;
    SendMessageA(list, WM_SETREDRAW, FALSE, 0);
    RemoveAllListItems();
    FillEntryList(list, doc);
    SendMessageA(list, WM_SETREDRAW, TRUE, 0);
    const int item = focusEntry == 0 ? 0 : FindEntryItem(list, focusEntry);
    if (item >= 0 && SendMessageA(list, LVM_GETITEMCOUNT, 0, 0) > 0) {
        LVITEMA state = {};
        state.stateMask = LVIS_FOCUSED | LVIS_SELECTED;
        state.state = focusEntry == 0 ? LVIS_FOCUSED : LVIS_FOCUSED | LVIS_SELECTED;
        SendMessageA(list, LVM_SETITEMSTATE, static_cast<WPARAM>(item), reinterpret_cast<LPARAM>(&state));
        SendMessageA(list, LVM_ENSUREVISIBLE, static_cast<WPARAM>(item), FALSE);
    }
    UpdateStatusText();
    UpdateTitle(doc);
}

void ShowChangedDisk(const ImageDocument& doc) {
    TheFolder().Revisit(doc);
    ShowCurrentFolder(doc, 0);
}

bool OpenFolderEntry(const ImageDocument& doc, HWND owner, uint32_t entryOffset) {
    const Result entered = TheFolder().Enter(doc, entryOffset);
    if (!Shown(owner, entered)) {
        return false;
    }
    ShowCurrentFolder(doc, 0);
    return true;
}

bool GoToParentFolder(const ImageDocument& doc) {
    if (TheFolder().AtRoot()) {
        return false;
    }
    const uint32_t left = TheFolder().Leave();
    ShowCurrentFolder(doc, left);
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
    return Shown(MainWindowHandle(), saved);
}

bool SaveDocumentAs(ImageDocument& doc, HWND owner) {
    Result chosen;
    {
        const ScopedPromptOwner boxes(owner);
        chosen = SaveImageAs(doc);
    }
    if (!Shown(owner, chosen)) {
        return false;
    }
    UpdateTitle(doc);
    EnableExplorerList(true);
    return SaveDocument(doc);
}

}  // namespace vk::win32
