#include "ui/write_to_disk.h"

#include "core/document.h"
#include "core/media_errors.h"
#include "ports/prompts.h"
#include "strings/string_ids.h"
#include "ui/app_state.h"

namespace vk::win32 {

bool ConfirmWriteToDisk(HWND owner) {
    if (HasMediaErrors(TheDocument())) {
        ShowMessage(owner, kMsgMediaErrorsNotWritten, kIconWarning);
    }
    // The Write-to-disk dialog arrives with the floppy-drive code; until
    // then no disk is written.
    return false;
}

}  // namespace vk::win32
