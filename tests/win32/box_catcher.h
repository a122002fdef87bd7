// Catches the real dialogs the running thread shows (message boxes and the
// common file dialogs) through a CBT hook: records what each showed and
// closes it with the answer queued for it, so that the call under test
// returns as if a user had clicked.
#pragma once

#include <windows.h>

#include <deque>
#include <string>
#include <vector>

namespace vk::test {

struct CaughtBox {
    bool fileDialog = false;
    HWND owner = nullptr;
    std::string caption;
    std::string text;           // message boxes: the message
    unsigned buttons = 0;       // message boxes: kBoxOk, kBoxYesNo, ... as the box shows them
    unsigned icon = 0;          // message boxes: kIconError, ... or 0 for none known
    int defaultButton = 0;      // message boxes: the id of the button Enter presses, 0 for none
    std::string fileType;       // file dialogs: the selected filter's name
    bool readOnlyShown = false; // file dialogs: the read-only check box is visible
    std::string fileName;       // file dialogs: the name proposed when it opened
    std::string folder;         // file dialogs: the folder it opened in
};

class BoxCatcher {
public:
    BoxCatcher();
    // With `boxesOnly` the catcher leaves every other dialog alone (property
    // sheets and dialogs a test drives itself): only message boxes and file
    // dialogs are caught.
    explicit BoxCatcher(bool boxesOnly);
    ~BoxCatcher();
    BoxCatcher(const BoxCatcher&) = delete;
    BoxCatcher& operator=(const BoxCatcher&) = delete;

    // The next message box is closed with `button`.
    BoxCatcher& Answer(int button);
    // The next file dialog gets `name` typed in (and its read-only box
    // ticked) and is confirmed.
    BoxCatcher& ChooseFile(const std::string& name, bool tickReadOnly = false);

    // Dialogs without a queued answer are cancelled (a box with OK alone is
    // confirmed), so that no test can hang on them.
    const std::vector<CaughtBox>& Boxes() const { return boxes_; }
    size_t Pending() const { return actions_.size(); }

private:
    struct Action {
        bool file = false;
        int button = IDOK;
        std::string name;
        bool tickReadOnly = false;
    };
    static LRESULT CALLBACK Hook(int code, WPARAM wParam, LPARAM lParam);
    static void CALLBACK OnTimer(HWND, UINT, UINT_PTR, DWORD);
    void OnActivate(HWND dialog);
    void Handle(HWND dialog);

    bool boxesOnly_ = false;
    HHOOK hook_ = nullptr;
    UINT_PTR timer_ = 0;
    std::deque<Action> actions_;
    std::vector<CaughtBox> boxes_;
    std::vector<HWND> handled_;
    std::vector<HWND> waiting_;  // activated, to be handled once their set-up is done
};

// A hidden top-level window to own the boxes of a test.
class OwnerWindow {
public:
    OwnerWindow();
    ~OwnerWindow();
    HWND Handle() const { return hwnd_; }

private:
    HWND hwnd_ = nullptr;
};

}  // namespace vk::test
