#include "win32/ui/write_to_disk.h"

#include "engine/core/document.h"
#include "win32/disk_dialogs/disk_dialogs.h"
#include "engine/drive/write_disk.h"
#include "win32/ui/app_state.h"
#include "win32/ports/win32_prompts.h"

namespace vk::win32 {

bool ConfirmWriteToDisk(HWND owner) {
    if (const std::optional<Notice> warning = MediaErrorsWarning(TheDocument())) {
        Tell(owner, *warning);
    }
    return RunWriteToDiskDialog(owner);
}

}  // namespace vk::win32
