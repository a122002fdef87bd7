// Answers message boxes from a thread of its own, found by their caption
// among all top-level windows: the boxes of this process's main thread and
// those of a child program alike. Records what each box showed.
#pragma once

#include <windows.h>

#include <deque>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace vk::test {

struct AnsweredBox {
    DWORD processId = 0;
    std::string text;
    unsigned buttons = 0;        // MB_OK, MB_YESNO, ... as the box shows them
    unsigned icon = 0;           // MB_ICONERROR, ...; 0 when unknown (always for another process)
    int defaultButton = 0;       // IDYES, IDNO, ...; 0 when the box names none
};

class BoxAnswerer {
public:
    explicit BoxAnswerer(std::string caption);
    ~BoxAnswerer();
    BoxAnswerer(const BoxAnswerer&) = delete;
    BoxAnswerer& operator=(const BoxAnswerer&) = delete;

    // The next box is closed with `button`; a box without a queued answer
    // gets OK when it has only that, else No or Cancel.
    BoxAnswerer& Answer(int button);

    std::vector<AnsweredBox> Boxes() const;
    // The texts of the boxes so far, in order.
    std::vector<std::string> Texts() const;

private:
    void Run();
    void Visit(HWND window);
    static BOOL CALLBACK VisitWindow(HWND window, LPARAM self);

    std::string caption_;
    mutable std::mutex mutex_;
    std::deque<int> answers_;
    std::vector<AnsweredBox> boxes_;
    std::vector<HWND> handled_;
    bool stop_ = false;
    std::thread thread_;
};

}  // namespace vk::test
