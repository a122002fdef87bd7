#include "win32/ui/extract_many.h"

#include <commctrl.h>
#include <shlobj.h>

#include <string>
#include <string_view>

#include "engine/fat/dir/dir_entry.h"
#include "engine/fat/ops/extract.h"
#include "engine/fat/ops/extract_tree.h"
#include "engine/fat/dir/list_texts.h"
#include "engine/fat/ops/name_claims.h"
#include "engine/ports/prompts.h"
#include "engine/strings/string_ids.h"
#include "engine/strings/strings.h"
#include "win32/ui/app_state.h"
#include "win32/ui/commands.h"
#include "win32/ui/folder_commands.h"
#include "win32/ui/list_sync.h"
#include "win32/ui/main_window.h"
#include "win32/ports/win32_prompts.h"

namespace vk::win32 {
namespace {

// What one Extract command into a folder carries from entry to entry.
struct ExtractRun {
    HostNameClaims claims;
    ItemQuestion replace{true};  // a folder's tree or several entries: Yes to all, Cancel
    ExtractTally tally;
};

// A folder into `folder`, with its tree; each file there asks before it
// replaces one. False stops the walk.
bool ExtractFolderInto(HWND owner, const std::string& folder, uint32_t entryOffset, ExtractRun& run) {
    ExtractTally& tally = run.tally;
    uint32_t written = 0;
    const ScopedPromptOwner boxes(owner);
    const Result extracted =
        ExtractTree(TheDocument(), {entryOffset}, folder, kReplaceAsk, &written, &run.claims, &run.replace);
    Report(owner, extracted);
    tally.files += static_cast<int>(written);
    tally.extracted += static_cast<int>(written);
    tally.failed = tally.failed || extracted.Failed();
    return extracted.goOn;
}

// One entry into `folder`, under a name nothing else of this command took
// (`claims`); false stops the walk.
bool ExtractInto(HWND owner, const std::string& folder, uint32_t entryOffset, ExtractRun& run) {
    ExtractTally& tally = run.tally;
    const ImageDocument& doc = TheDocument();
    const std::string name = EntryDisplayName(doc.Area() + entryOffset);
    if (doc.Area()[entryOffset + kDirAttr] & kAttrDirectory) {
        return ExtractFolderInto(owner, folder, entryOffset, run);
    }
    if (doc.Area()[entryOffset + kDirAttr] & kAttrVolume) {
        Tell(owner, TextNotice(kMsgCannotSaveEntry, Tone::kWarning, {name}));
        return true;
    }
    ++tally.files;
    std::optional<Notice> tailed;
    const std::string path = run.claims.ClaimPath(folder, SafeHostName(name), name, tailed);
    if (tailed) {
        Tell(owner, *tailed);
    }
    // Asked here rather than inside ExtractEntry, so that the summary can
    // tell a kept file from a written one.
    unsigned replace = kReplaceAsk;
    const ScopedPromptOwner boxes(owner);
    if (GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES) {
        const ItemQuestion::Reply reply =
            run.replace.Ask(TextNotice(kMsgReplaceHostFile, Tone::kQuestion, {path}), true);
        if (reply != ItemQuestion::Reply::kYes) {
            return reply == ItemQuestion::Reply::kNo;
        }
        replace = kReplaceSilently;
    }
    const Result extracted = ExtractEntry(doc, entryOffset, replace, path);
    Report(owner, extracted);
    if (extracted.Failed()) {
        tally.failed = true;
        return false;
    }
    ++tally.extracted;
    return true;
}

int CALLBACK StartInFolder(HWND picker, UINT message, LPARAM, LPARAM data) {
    // Posted once more: some pickers fill their tree only after this notice.
    if (message == BFFM_INITIALIZED && data != 0) {
        SendMessageA(picker, BFFM_SETSELECTIONA, TRUE, data);
        PostMessageA(picker, BFFM_SETSELECTIONA, TRUE, data);
    }
    return 0;
}

}  // namespace

bool ChooseExtractFolder(HWND owner, std::string& folder) {
    char display[MAX_PATH] = "";
    const std::string title(LoadText(kStrExtractFolderTitle));
    BROWSEINFOA info = {};
    info.hwndOwner = owner;
    info.pszDisplayName = display;
    info.lpszTitle = title.c_str();
    info.ulFlags = BIF_RETURNONLYFSDIRS;
    info.lpfn = StartInFolder;
    info.lParam = folder.empty() ? 0 : reinterpret_cast<LPARAM>(folder.c_str());
    LPITEMIDLIST chosen = SHBrowseForFolderA(&info);
    if (chosen == nullptr) {
        return false;
    }
    char path[MAX_PATH] = "";
    const bool ok = SHGetPathFromIDListA(chosen, path) && path[0] != '\0';
    CoTaskMemFree(chosen);
    if (!ok) {
        return false;
    }
    folder = path;
    // A drive's root comes with its separator; the paths add their own.
    if (!folder.empty() && folder.back() == '\\') {
        folder.pop_back();
    }
    return true;
}

ExtractTally ExtractSelectionInto(HWND owner, const std::string& folder) {
    ExtractRun run;
    for (const uint32_t entry : SelectedEntries(MainParts().list)) {
        if (!ExtractInto(owner, folder, entry, run)) {
            break;
        }
    }
    return run.tally;
}

void ShowExtractSummary(HWND owner, const ExtractTally& tally, const std::string& folder) {
    const Tone tone = tally.extracted == tally.files && !tally.failed ? Tone::kInformation : Tone::kWarning;
    Tell(owner, TextNotice(kMsgExtractSummary, tone,
                           {std::to_string(tally.extracted), std::to_string(tally.files), folder}));
}

std::string& LastExtractFolder() {
    static std::string folder;
    return folder;
}

void ExtractCommand(HWND mainWindow) {
    const LRESULT selected = SendMessageA(MainParts().list, LVM_GETSELECTEDCOUNT, 0, 0);
    // A folder goes into a folder the user picks, as several entries do.
    if (selected <= 1 && !SelectionIsFolders(MainParts().list, TheDocument())) {
        ExtractEachWithSaveDialog(mainWindow);
        return;
    }
    std::string folder = LastExtractFolder();
    if (!ChooseExtractFolder(mainWindow, folder)) {
        return;
    }
    LastExtractFolder() = folder;
    const ExtractTally tally = ExtractSelectionInto(mainWindow, folder);
    // Nothing to sum up when no file was met: each folder that could not be
    // written got its own message.
    if (tally.files > 0) {
        ShowExtractSummary(mainWindow, tally, folder);
    }
}

}  // namespace vk::win32
