// The system error codes the tests expect to see: the Windows numbers, which
// VOLKARN's ports return as they come and the POSIX ports map errno onto.
#pragma once

#include <cstdint>

namespace vk::test::win_code {
constexpr uint32_t kSuccess = 0;
constexpr uint32_t kInvalidFunction = 1;
constexpr uint32_t kFileNotFound = 2;
constexpr uint32_t kPathNotFound = 3;
constexpr uint32_t kAccessDenied = 5;
constexpr uint32_t kInvalidHandle = 6;
constexpr uint32_t kNotEnoughMemory = 8;
constexpr uint32_t kWriteProtect = 19;
constexpr uint32_t kNotReady = 21;
constexpr uint32_t kCrc = 23;
constexpr uint32_t kSectorNotFound = 27;
constexpr uint32_t kWriteFault = 29;
constexpr uint32_t kSharingViolation = 32;
constexpr uint32_t kHandleEof = 38;
constexpr uint32_t kNotSupported = 50;
constexpr uint32_t kFileExists = 80;
constexpr uint32_t kDiskFull = 112;
constexpr uint32_t kAlreadyExists = 183;
constexpr uint32_t kDirectory = 267;
constexpr uint32_t kNoMediaInDrive = 1112;
constexpr uint32_t kIoDevice = 1117;
}  // namespace vk::test::win_code
