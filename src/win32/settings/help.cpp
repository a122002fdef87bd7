// The help requests of the program: the index from the Help menu, a topic
// page from each dialog's Help button, all in VOLKARN.CHM beside the program.
#include "win32/settings/help.h"

#include <string>

#include "win32/ports/main_window.h"
#include "engine/ports/prompts.h"
#include "win32/settings/help_control.h"
#include "engine/strings/string_ids.h"
#include "win32/ports/win32_prompts.h"

namespace vk::win32 {
namespace {

// Commands of the HTML help control.
constexpr UINT kHelpDisplayTopic = 0x0000;
constexpr UINT kHelpDisplayToc = 0x0001;
constexpr UINT kHelpInitialize = 0x001C;
constexpr UINT kHelpUninitialize = 0x001D;
constexpr UINT kHelpPretranslateMessage = 0x00FD;

constexpr char kHelpFileName[] = "VOLKARN.CHM";
constexpr char kTopicPrefix[] = "::/html/";
constexpr char kTopicSuffix[] = ".htm";

struct HelpSession {
    DWORD_PTR cookie = 0;
    bool initialised = false;
};

HelpSession& Session() {
    static HelpSession session;
    return session;
}

// The help file lies beside the running program.
std::string HelpFilePath() {
    char path[MAX_PATH] = "";
    const DWORD length = GetModuleFileNameA(nullptr, path, sizeof path);
    if (length == 0 || length >= sizeof path) {
        return kHelpFileName;
    }
    std::string directory(path, length);
    directory.erase(directory.find_last_of("\\/") + 1);
    return directory + kHelpFileName;
}

}  // namespace

void InitHelp() {
    HelpSession& session = Session();
    if (LoadHtmlHelp(nullptr, nullptr, kHelpInitialize, reinterpret_cast<DWORD_PTR>(&session.cookie)).reached) {
        session.initialised = true;
    }
}

void UninitHelp() {
    HelpSession& session = Session();
    if (!session.initialised) {
        return;
    }
    session.initialised = false;
    LoadHtmlHelp(nullptr, nullptr, kHelpUninitialize, session.cookie);
}

bool ShowHelp(HWND owner, const char* topic) {
    std::string path = HelpFilePath();
    if (topic != nullptr) {
        path += kTopicPrefix;
        path += topic;
        path += kTopicSuffix;
    }
    // Help outlives the dialog that asked for it, so the main window owns it.
    HWND helpOwner = MainWindowHandle() != nullptr ? MainWindowHandle() : owner;
    // Without a topic: the contents page beside the table of contents, not
    // an index tab over an empty page.
    const HelpAnswer answer =
        LoadHtmlHelp(helpOwner, path.c_str(), topic != nullptr ? kHelpDisplayTopic : kHelpDisplayToc, 0);
    if (answer.window == nullptr) {
        Tell(owner, TextNotice(kMsgHelpFailed, Tone::kWarning));
        return false;
    }
    return true;
}

bool PreTranslateHelpMessage(MSG* msg) {
    return LoadHtmlHelp(nullptr, nullptr, kHelpPretranslateMessage, reinterpret_cast<DWORD_PTR>(msg)).window !=
           nullptr;
}

}  // namespace vk::win32
