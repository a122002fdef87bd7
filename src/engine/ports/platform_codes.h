// DEPRECATED, goes when fat/add_file, extract, delete_rename, directory and
// volume_info return Results instead of showing boxes: the message-box flags
// and results of the older ShowMessage/ShowSystemError/ShowTextBox calls, and
// the few Windows error numbers those files still compare. Nothing else may
// include this header: the engine speaks Tone/Choices/Answer (notice.h) and
// HostFailure (host_failure.h).
#pragma once

#include <cstdint>

namespace vk {

// Message-box flags: buttons, icons and default button.
enum BoxFlags : unsigned {
    kBoxOk = 0x0000,
    kBoxAbortRetryIgnore = 0x0002,
    kBoxYesNoCancel = 0x0003,
    kBoxYesNo = 0x0004,
    // Yes, Yes to all, No and Cancel: a question about one of several items
    // whose answer may stand for the rest. No message box has this set.
    kBoxYesAllNoCancel = 0x000E,
    kIconError = 0x0010,
    kIconQuestion = 0x0020,
    kIconWarning = 0x0030,
    kIconInformation = 0x0040,
    kDefaultButton2 = 0x0100,
    kButtonMask = 0x000F,
    kIconMask = 0x00F0,
};

// The button that closed a box; kNoBox when none could be shown.
enum BoxResult : int {
    kNoBox = 0,
    kIdOk = 1,
    kIdCancel = 2,
    kIdAbort = 3,
    kIdRetry = 4,
    kIdIgnore = 5,
    kIdYes = 6,
    kIdNo = 7,
    kIdYesToAll = 0x0100,  // the answer of kBoxYesAllNoCancel's "Yes to all"
};

// Error numbers fat/* still compares (and its tests expect); use
// ClassifyHostCode and HostCodeFor instead.
namespace win_error {
constexpr uint32_t kSuccess = 0;
constexpr uint32_t kFileNotFound = 2;
constexpr uint32_t kPathNotFound = 3;
constexpr uint32_t kAccessDenied = 5;
constexpr uint32_t kSharingViolation = 32;
constexpr uint32_t kHandleEof = 38;
constexpr uint32_t kFileExists = 80;
constexpr uint32_t kDiskFull = 112;
constexpr uint32_t kAlreadyExists = 183;
}  // namespace win_error

}  // namespace vk
