// The flags and buttons of a box as the tests compare them: the platform's
// message-box values, so that a recorded prompt reads as the box VOLKARN
// shows for it, whatever terms the engine asked in.
#pragma once

namespace vk::test {

enum BoxFlags : unsigned {
    kBoxOk = 0x0000,
    kBoxAbortRetryIgnore = 0x0002,
    kBoxYesNoCancel = 0x0003,
    kBoxYesNo = 0x0004,
    kBoxYesAllNoCancel = 0x000E,  // ours: Yes, Yes to all, No, Cancel
    kIconError = 0x0010,
    kIconQuestion = 0x0020,
    kIconWarning = 0x0030,
    kIconInformation = 0x0040,
    kDefaultButton2 = 0x0100,
    kButtonMask = 0x000F,
    kIconMask = 0x00F0,
};

// The button a scripted box answers with; kNoBox when none could be shown.
enum BoxButton : int {
    kNoBox = 0,
    kIdOk = 1,
    kIdCancel = 2,
    kIdAbort = 3,
    kIdRetry = 4,
    kIdIgnore = 5,
    kIdYes = 6,
    kIdNo = 7,
    kIdYesToAll = 0x0100,
};

}  // namespace vk::test
