// Values that cross the engine's ports. They are the platform's own numbers
// (message-box flags and results, system error codes), so that the Win32
// front end passes them through unchanged and the POSIX one maps onto them.
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

// System error codes the engine compares or reports.
namespace win_error {
constexpr uint32_t kSuccess = 0;
constexpr uint32_t kInvalidFunction = 1;
constexpr uint32_t kFileNotFound = 2;
constexpr uint32_t kPathNotFound = 3;
constexpr uint32_t kTooManyOpenFiles = 4;
constexpr uint32_t kAccessDenied = 5;
constexpr uint32_t kInvalidHandle = 6;
constexpr uint32_t kNotEnoughMemory = 8;
constexpr uint32_t kInvalidData = 13;
constexpr uint32_t kWriteProtect = 19;
constexpr uint32_t kNotReady = 21;
constexpr uint32_t kCrc = 23;
constexpr uint32_t kSeek = 25;
constexpr uint32_t kSectorNotFound = 27;
constexpr uint32_t kWriteFault = 29;
constexpr uint32_t kReadFault = 30;
constexpr uint32_t kGenFailure = 31;
constexpr uint32_t kSharingViolation = 32;
constexpr uint32_t kLockViolation = 33;
constexpr uint32_t kHandleEof = 38;
constexpr uint32_t kNotSupported = 50;
constexpr uint32_t kFileExists = 80;
constexpr uint32_t kInvalidParameter = 87;
constexpr uint32_t kDiskFull = 112;
constexpr uint32_t kInvalidName = 123;
constexpr uint32_t kDirNotEmpty = 145;
constexpr uint32_t kBusy = 170;
constexpr uint32_t kAlreadyExists = 183;
constexpr uint32_t kFilenameTooLong = 206;
constexpr uint32_t kDirectory = 267;
constexpr uint32_t kIoDevice = 1117;
constexpr uint32_t kNoMediaInDrive = 1112;
constexpr uint32_t kMediaChanged = 1110;
constexpr uint32_t kDiskResetFailed = 1128;
constexpr uint32_t kInternalDbCorruption = 1358;
}  // namespace win_error

}  // namespace vk
