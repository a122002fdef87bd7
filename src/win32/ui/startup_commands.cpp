#include "win32/ui/startup_commands.h"

#include "engine/core/document.h"
#include "engine/fat/ops/add_file.h"
#include "engine/ports/prompts.h"
#include "engine/strings/string_ids.h"
#include "win32/ui/app_state.h"
#include "win32/ui/file_options.h"
#include "win32/ui/command_line.h"
#include "win32/ui/document_view.h"
#include "win32/ui/list_sync.h"
#include "win32/ui/main_window.h"
#include "win32/ui/write_to_disk.h"
#include "win32/ports/win32_prompts.h"

namespace vk::win32 {

bool RunCommandLineActions(HWND mainWindow) {
    const CommandLine& line = TheCommandLine();
    if (!line.imagePath.empty()) {
        const bool opened = OpenDocument(TheDocument(), mainWindow, line.imagePath);
        if (line.writeSwitch) {
            if (opened) {
                ConfirmWriteToDisk(mainWindow);
            }
            PostMessageA(mainWindow, WM_CLOSE, 0, 0);
            return false;
        }
    }
    RunStartupCommands(mainWindow);
    return true;
}

bool RunStartupCommands(HWND mainWindow) {
    const CommandLine& line = TheCommandLine();
    ImageDocument& doc = TheDocument();
    bool ok = true;
    if (line.addSwitch) {
        if (line.hostFileArgument.empty()) {
            Tell(mainWindow, TextNotice(kMsgMissingFilename, Tone::kError));
            ok = false;
        } else if (!doc.IsOpen()) {
            // The image named first did not open, and its error was shown:
            // there is nothing to add to, and /C must not end the program.
            ok = false;
        } else {
            const ScopedPromptOwner boxes(mainWindow);
            const Result added = AddHostFile(doc, line.hostFileArgument, CurrentFileOptions());
            ShowResult(mainWindow, MainParts().list, doc, added);
            ok = added.Done();
        }
    }
    if (line.closeSwitch && ok) {
        if (doc.IsOpen()) {
            ok = SaveDocument(doc) && CloseDocument(doc, false);
        }
        if (ok) {
            PostMessageA(mainWindow, WM_CLOSE, 0, 0);
        }
    }
    return ok;
}

}  // namespace vk::win32
