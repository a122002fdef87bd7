// The 9x back end through its seam: the register blocks it hands VWIN32 and
// the codes it makes of the answers. No 9x system runs here, so the table of
// system calls is replaced by a recorder that answers as a script says.
#include <gtest/gtest.h>

#include <windows.h>

#include <deque>
#include <vector>

#include "engine/drive/sector_device.h"
#include "win32/drive/drive_backend.h"
#include "win32/drive/win9x_drive.h"

namespace vk {
namespace {

struct SentCall {
    DWORD code;
    DiocRegisters regs;
    std::vector<uint8_t> addressFields;  // the INT 13h format list, when one was sent
};

struct Answer {
    bool ok = true;          // DeviceIoControl's result
    DWORD eax = 0;           // returned reg_EAX
    bool carry = false;
    DWORD lastError = 0;     // for a refused call
};

std::vector<SentCall> sent;
std::deque<Answer> answers;  // empty: every call succeeds and leaves the registers
int closes = 0;
std::string openedPath;
DWORD openedFlags = 0;
const HANDLE kVwin32 = reinterpret_cast<HANDLE>(0x5150);

HANDLE WINAPI FakeCreate(LPCSTR path, DWORD access, DWORD share, LPSECURITY_ATTRIBUTES, DWORD disposition,
                         DWORD flags, HANDLE) {
    openedPath = path;
    openedFlags = flags;
    EXPECT_EQ(access, 0u);
    EXPECT_EQ(share, 0u);
    EXPECT_EQ(disposition, 0u);
    return kVwin32;
}

BOOL WINAPI FakeControl(HANDLE handle, DWORD code, LPVOID in, DWORD inSize, LPVOID out, DWORD outSize, LPDWORD,
                        LPOVERLAPPED) {
    EXPECT_EQ(handle, kVwin32);
    EXPECT_EQ(in, out) << "the block is both input and output";
    EXPECT_EQ(inSize, 28u);
    EXPECT_EQ(outSize, 28u);
    auto* regs = static_cast<DiocRegisters*>(in);
    SentCall call{code, *regs, {}};
    if (code == kVwin32Int13 && sizeof(void*) == 4) {
        // Only a 32-bit program's address fits the register, as on the 9x family itself.
        const auto* list = reinterpret_cast<const uint8_t*>(static_cast<uintptr_t>(regs->ebx));
        call.addressFields.assign(list, list + (regs->eax & 0xFF) * 4);
    }
    sent.push_back(call);
    if (answers.empty()) {
        return TRUE;
    }
    const Answer a = answers.front();
    answers.pop_front();
    if (!a.ok) {
        SetLastError(a.lastError);
        return FALSE;
    }
    regs->eax = a.eax;
    regs->flags = a.carry ? kCarryFlag : 0;
    return TRUE;
}

BOOL WINAPI FakeClose(HANDLE handle) {
    EXPECT_EQ(handle, kVwin32);
    ++closes;
    return TRUE;
}

class Win9xDrive : public ::testing::Test {
protected:
    void SetUp() override {
        saved = Win9xCalls();
        Win9xCalls() = {FakeCreate, FakeControl, FakeClose};
        sent.clear();
        answers.clear();
        closes = 0;
        device.backend = &Win9xDriveBackend();
        device.drive = 1;  // B:
    }
    // A test that left the drive open closes it here, still through the fakes.
    void TearDown() override {
        CloseDrive(device);
        Win9xCalls() = saved;
    }
    Win9xSystem saved{};
    SectorDevice device;
};

TEST_F(Win9xDrive, OpenForWritingLocksTheVolumeAtLevelZero) {
    ASSERT_TRUE(OpenDrive(device));
    EXPECT_EQ(openedPath, "\\\\.\\VWIN32");
    EXPECT_EQ(openedFlags, DWORD{FILE_FLAG_DELETE_ON_CLOSE | FILE_FLAG_NO_BUFFERING});
    ASSERT_EQ(sent.size(), 1u);
    EXPECT_EQ(sent[0].code, kVwin32DosIoctl);
    EXPECT_EQ(sent[0].regs.eax, 0x440Du);
    EXPECT_EQ(sent[0].regs.ecx, 0x084Au);
    EXPECT_EQ(sent[0].regs.ebx, 2u) << "BL = 1-based drive, BH = level 0";
    EXPECT_EQ(sent[0].regs.edx, 0u);
    EXPECT_EQ(sent[0].regs.edi | sent[0].regs.esi | sent[0].regs.flags, 0u);
}

TEST_F(Win9xDrive, ReadOnlyOpenTakesNoLockAndRefusesWritesAndFormatsWithoutAsking) {
    device.readOnly = true;
    ASSERT_TRUE(OpenDrive(device));
    EXPECT_TRUE(sent.empty());
    uint8_t buffer[512] = {};
    EXPECT_FALSE(WriteSectors(device, buffer, 0, 1));
    EXPECT_EQ(device.lastError, ERROR_ACCESS_DENIED);
    EXPECT_FALSE(FormatTrack(device, MediaKind::kUnknown, 9, 0, 0));
    EXPECT_EQ(device.lastError, ERROR_ACCESS_DENIED);
    EXPECT_TRUE(sent.empty());
    EXPECT_TRUE(device.written) << "refused attempts still count";
    EXPECT_TRUE(CloseDrive(device));
    ASSERT_EQ(sent.size(), 1u) << "no unlock for a read-only record, but the reset after writes";
    EXPECT_EQ(sent[0].regs.eax, 0x710Du);
    EXPECT_EQ(sent[0].regs.ecx, 0u);
    EXPECT_EQ(sent[0].regs.edx, 2u);
    EXPECT_EQ(closes, 1);
}

TEST_F(Win9xDrive, FailedLockGivesTheDosErrorAndClosesTheDevice) {
    answers.push_back({true, 0x0005, true, 0});
    EXPECT_FALSE(OpenDrive(device));
    EXPECT_EQ(device.lastError, 5u);
    EXPECT_EQ(device.handle, kNoDriveHandle);
    EXPECT_EQ(closes, 1);
}

TEST_F(Win9xDrive, TransfersUseInt25AndInt26WithTheSectorRange) {
    ASSERT_TRUE(OpenDrive(device));
    sent.clear();
    std::vector<uint8_t> buffer(3 * 512);
    ASSERT_TRUE(ReadSectors(device, buffer.data(), 17, 3));
    ASSERT_TRUE(WriteSectors(device, buffer.data(), 18, 2));
    ASSERT_EQ(sent.size(), 2u);
    for (size_t i = 0; i < 2; ++i) {
        EXPECT_EQ(sent[i].code, i == 0 ? kVwin32Int25 : kVwin32Int26);
        EXPECT_EQ(sent[i].regs.eax, 1u) << "AL = 0-based drive";
        EXPECT_EQ(sent[i].regs.ebx, static_cast<DWORD>(reinterpret_cast<uintptr_t>(buffer.data())));
        EXPECT_EQ(sent[i].regs.ecx, i == 0 ? 3u : 2u);
        EXPECT_EQ(sent[i].regs.edx, i == 0 ? 17u : 18u);
    }
}

// Reads, writes and formats all take the BIOS status from AH alone: what
// comes back in AL and the upper half of EAX says nothing about the failure.
TEST_F(Win9xDrive, BiosStatusInAhBecomesTheErrorCode) {
    constexpr DWORD kNoiseAroundAh = 0x5A5A0009;  // upper half and AL filled in
    const struct {
        const char* what;
        uint8_t ah;
        uint32_t error;
    } statuses[] = {
        {"time-out", 0x80, ERROR_NOT_READY},
        {"drive not ready", 0xAA, ERROR_NOT_READY},
        {"sector not found", 0x04, ERROR_SECTOR_NOT_FOUND},
        {"CRC error", 0x10, ERROR_CRC},
        {"write-protected", 0x03, ERROR_WRITE_PROTECT},
        {"a status the BIOS lists nowhere", 0x20, ERROR_GEN_FAILURE},
    };
    const struct {
        const char* name;
        bool (*run)(SectorDevice&);
    } operations[] = {
        {"read", [](SectorDevice& d) { uint8_t b[512]; return ReadSectors(d, b, 0, 1); }},
        {"write", [](SectorDevice& d) { const uint8_t b[512] = {}; return WriteSectors(d, b, 0, 1); }},
        {"format", [](SectorDevice& d) { return FormatTrack(d, MediaKind::kUnknown, 9, 0, 0); }},
    };
    ASSERT_TRUE(OpenDrive(device));
    for (const auto& op : operations) {
        for (const auto& s : statuses) {
            answers.push_back({true, (kNoiseAroundAh & 0xFFFF00FF) | (DWORD{s.ah} << 8), true, 0});
            EXPECT_FALSE(op.run(device)) << op.name << ", " << s.what;
            EXPECT_EQ(device.lastError, s.error) << op.name << ", " << s.what;
        }
    }
}

TEST_F(Win9xDrive, ARefusedCallIsNeverTakenForSuccess) {
    ASSERT_TRUE(OpenDrive(device));
    // Nothing comes back in the registers, whose AH was 0 on the way in.
    answers.push_back({false, 0, false, ERROR_INVALID_FUNCTION});
    uint8_t buffer[512];
    EXPECT_FALSE(ReadSectors(device, buffer, 0, 1));
    EXPECT_EQ(device.lastError, ERROR_INVALID_FUNCTION);
    answers.push_back({false, 0, false, 0});
    EXPECT_FALSE(ReadSectors(device, buffer, 0, 1));
    EXPECT_EQ(device.lastError, ERROR_GEN_FAILURE);
    answers.push_back({true, 0x0000, true, 0});
    EXPECT_FALSE(ReadSectors(device, buffer, 0, 1)) << "carry with status 0";
    EXPECT_EQ(device.lastError, ERROR_GEN_FAILURE);
}

TEST_F(Win9xDrive, FormatSendsOneAddressFieldPerSectorNumberedFromOne) {
    ASSERT_TRUE(OpenDrive(device));
    sent.clear();
    ASSERT_TRUE(FormatTrack(device, MediaKind::kUnknown, 9, 39, 1));
    ASSERT_EQ(sent.size(), 1u);
    EXPECT_EQ(sent[0].code, kVwin32Int13);
    EXPECT_EQ(sent[0].regs.eax, 0x0509u) << "AH = 05h, AL = 9 sectors";
    EXPECT_EQ(sent[0].regs.ecx, 39u << 8) << "CH = cylinder, CL = 0";
    EXPECT_EQ(sent[0].regs.edx, (1u << 8) | 1u) << "DH = head, DL = unit";
    if (sizeof(void*) == 4) {
        std::vector<uint8_t> want;
        for (uint8_t r = 1; r <= 9; ++r) {
            want.insert(want.end(), {39, 1, r, 2});
        }
        EXPECT_EQ(sent[0].addressFields, want);
    }
    EXPECT_TRUE(device.written);
}

TEST(Win9xAddressFields, NineSectorsAreCH1ToCH9WithSize512) {
    uint8_t fields[9 * 4];
    FillAddressFields(fields, 9, 79, 1);
    for (uint8_t i = 0; i < 9; ++i) {
        EXPECT_EQ(fields[i * 4 + 0], 79);
        EXPECT_EQ(fields[i * 4 + 1], 1);
        EXPECT_EQ(fields[i * 4 + 2], i + 1);
        EXPECT_EQ(fields[i * 4 + 3], 2);
    }
}

TEST_F(Win9xDrive, CloseAfterWritesUnlocksThenResets) {
    ASSERT_TRUE(OpenDrive(device));
    uint8_t buffer[512] = {};
    ASSERT_TRUE(WriteSectors(device, buffer, 0, 1));
    sent.clear();
    ASSERT_TRUE(CloseDrive(device));
    ASSERT_EQ(sent.size(), 2u);
    EXPECT_EQ(sent[0].regs.eax, 0x440Du);
    EXPECT_EQ(sent[0].regs.ecx, 0x086Au);
    EXPECT_EQ(sent[0].regs.ebx, 2u);
    EXPECT_EQ(sent[1].regs.eax, 0x710Du);
    EXPECT_EQ(sent[1].regs.edx, 2u);
    EXPECT_EQ(closes, 1);
    EXPECT_EQ(device.handle, kNoDriveHandle);
}

TEST_F(Win9xDrive, ADeviceThatGoesWhileOpenUnlocksAndClosesTheService) {
    {
        SectorDevice open;
        open.backend = &Win9xDriveBackend();
        open.drive = 1;
        ASSERT_TRUE(OpenDrive(open));
        sent.clear();
    }
    ASSERT_EQ(sent.size(), 1u);
    EXPECT_EQ(sent[0].regs.ecx, 0x086Au) << "the unlock";
    EXPECT_EQ(closes, 1);
}

TEST(Win32Platform, WineAndNtAreTheNtFamily) {
    EXPECT_FALSE(IsWin9xPlatform());
    EXPECT_EQ(&Win32DriveBackend(), &NtDriveBackend());
}

// BIOS disk status bytes (AH after INT 13h, 25h or 26h), by what they say.
enum BiosStatus : uint8_t {
    kBiosOk = 0x00,
    kBiosBadCommand = 0x01,
    kBiosNoAddressMark = 0x02,
    kBiosWriteProtected = 0x03,
    kBiosSectorNotFound = 0x04,
    kBiosResetFailed = 0x05,
    kBiosDiskChanged = 0x06,
    kBiosParameterActivityFailed = 0x07,
    kBiosBadSectorFlag = 0x0A,
    kBiosBadTrackFlag = 0x0B,
    kBiosUnsupportedTrack = 0x0C,
    kBiosBadSectorCountOnFormat = 0x0D,
    kBiosControlDataMark = 0x0E,
    kBiosUncorrectableCrc = 0x10,
    kBiosCorrectedData = 0x11,
    kBiosSeekFailed = 0x40,
    kBiosTimeOut = 0x80,
    kBiosDriveNotReady = 0xAA,
    kBiosWriteFault = 0xCC,
};

struct BiosTrouble {
    const char* what;
    std::vector<uint8_t> statuses;
    uint32_t error;
};

// Every status that names one trouble, with the system error the user reads for it.
const BiosTrouble kBiosTroubles[] = {
    {"no trouble", {kBiosOk}, ERROR_SUCCESS},
    {"a request the BIOS does not know", {kBiosBadCommand}, ERROR_INVALID_FUNCTION},
    {"no disk to read the marks of", {kBiosNoAddressMark}, ERROR_NO_MEDIA_IN_DRIVE},
    {"a write-protected disk", {kBiosWriteProtected}, ERROR_WRITE_PROTECT},
    {"a sector the disk does not give",
     {kBiosSectorNotFound, kBiosBadSectorFlag, kBiosBadTrackFlag, kBiosBadSectorCountOnFormat},
     ERROR_SECTOR_NOT_FOUND},
    {"a drive that will not reset", {kBiosResetFailed}, ERROR_DISK_RESET_FAILED},
    {"a disk changed under the job", {kBiosDiskChanged}, ERROR_MEDIA_CHANGED},
    {"parameters the drive refuses", {kBiosParameterActivityFailed, kBiosControlDataMark},
     ERROR_INVALID_PARAMETER},
    {"a track or medium the drive cannot take", {kBiosUnsupportedTrack}, ERROR_INTERNAL_DB_CORRUPTION},
    {"data the checksum rejects", {kBiosUncorrectableCrc}, ERROR_CRC},
    {"data the BIOS had to correct", {kBiosCorrectedData}, ERROR_INVALID_DATA},
    {"a head that cannot find its track", {kBiosSeekFailed}, ERROR_SEEK},
    {"a drive that does not answer", {kBiosTimeOut, kBiosDriveNotReady}, ERROR_NOT_READY},
    {"a write the drive could not do", {kBiosWriteFault}, ERROR_WRITE_FAULT},
};

TEST(MapBiosStatus, EachTroubleReadsAsTheErrorThatNamesIt) {
    for (const BiosTrouble& trouble : kBiosTroubles) {
        for (const uint8_t status : trouble.statuses) {
            EXPECT_EQ(MapBiosStatus(status), trouble.error) << trouble.what << ", status " << std::hex << int{status};
        }
    }
}

// Whatever else a BIOS answers is a failure all the same, never a success.
TEST(MapBiosStatus, AnyOtherStatusIsAGeneralFailure) {
    std::vector<bool> named(256, false);
    for (const BiosTrouble& trouble : kBiosTroubles) {
        for (const uint8_t status : trouble.statuses) {
            named[status] = true;
        }
    }
    for (int status = 0; status < 256; ++status) {
        if (!named[static_cast<size_t>(status)]) {
            EXPECT_EQ(MapBiosStatus(static_cast<uint8_t>(status)), ERROR_GEN_FAILURE)
                << "status " << std::hex << status;
        }
        if (status != kBiosOk) {
            EXPECT_NE(MapBiosStatus(static_cast<uint8_t>(status)), ERROR_SUCCESS)
                << "status " << std::hex << status;
        }
    }
}

}  // namespace
}  // namespace vk
