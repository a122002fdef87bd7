#include "ui/write_to_disk.h"

#include "core/document.h"
#include "disk_dialogs/disk_dialogs.h"
#include "drive/write_disk.h"
#include "ui/app_state.h"

namespace vk::win32 {

bool ConfirmWriteToDisk(HWND owner) {
    WarnIfMediaErrors(TheDocument(), owner);
    return RunWriteToDiskDialog(owner);
}

}  // namespace vk::win32
