// The 9x family's drive access: DOS and BIOS services through VWIN32, each
// call a block of registers handed to DeviceIoControl. The system calls are
// reached through a table the tests replace, since no 9x system runs here.
#pragma once

#include <windows.h>

#include <cstdint>

namespace vk {

// DIOC_REGISTERS: what VWIN32 takes and returns, in this order.
struct DiocRegisters {
    DWORD ebx;
    DWORD edx;
    DWORD ecx;
    DWORD eax;
    DWORD edi;
    DWORD esi;
    DWORD flags;
};
static_assert(sizeof(DiocRegisters) == 28, "VWIN32 takes seven 32-bit registers");

// VWIN32 control codes.
constexpr DWORD kVwin32DosIoctl = 1;  // INT 21h AX=440Dh and friends
constexpr DWORD kVwin32Int25 = 2;     // absolute disk read
constexpr DWORD kVwin32Int26 = 3;     // absolute disk write
constexpr DWORD kVwin32Int13 = 4;     // BIOS disk services
constexpr DWORD kCarryFlag = 0x0001;

// DOS IOCTL and BIOS function numbers the back end sends.
constexpr DWORD kGenericBlockIoctl = 0x440D;
constexpr DWORD kLockLogicalVolume = 0x084A;    // category 08h, minor 4Ah
constexpr DWORD kUnlockLogicalVolume = 0x086A;  // category 08h, minor 6Ah
constexpr DWORD kResetDrive = 0x710D;
constexpr DWORD kBiosFormatTrack = 0x0500;      // AH = 05h
constexpr uint8_t kSectorSizeCode512 = 2;       // N of an address field

// The INT 13h format list of one track: (C, H, R, N) per sector, R from 1
// in physical order with no interleave, N = 2 for 512-byte sectors.
void FillAddressFields(uint8_t* fields, uint32_t sectorsPerTrack, uint32_t cylinder, uint32_t head);

// The system error code of a BIOS disk status byte (AH after INT 13h, 25h or
// 26h): the code whose text names the same trouble, a general failure for
// any other status.
uint32_t MapBiosStatus(uint8_t status);

struct Win9xSystem {
    HANDLE(WINAPI* createFile)(LPCSTR, DWORD, DWORD, LPSECURITY_ATTRIBUTES, DWORD, DWORD, HANDLE);
    BOOL(WINAPI* deviceIoControl)(HANDLE, DWORD, LPVOID, DWORD, LPVOID, DWORD, LPDWORD, LPOVERLAPPED);
    BOOL(WINAPI* closeHandle)(HANDLE);
};

// The calls the 9x back end makes; the system's own unless a test replaced them.
Win9xSystem& Win9xCalls();

}  // namespace vk
