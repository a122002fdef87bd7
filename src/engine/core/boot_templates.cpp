// The three boot-sector templates new images get. Their loaders are data
// only: the program never runs or inspects them.
#include <cstring>
#include <string_view>

#include "engine/common/bytes.h"
#include "engine/core/boot_sector.h"
#include "engine/core/disk_format.h"

namespace vk {
namespace {

using Sector = std::array<uint8_t, kSectorSize>;

class SectorWriter {
public:
    SectorWriter(Sector& s, uint32_t at) : s_(s), at_(at) {}
    SectorWriter& Bytes(std::initializer_list<uint8_t> bytes) {
        for (uint8_t b : bytes) s_[at_++] = b;
        return *this;
    }
    SectorWriter& Text(std::string_view text) {
        std::memcpy(s_.data() + at_, text.data(), text.size());
        at_ += static_cast<uint32_t>(text.size());
        return *this;
    }
    SectorWriter& Word(uint32_t v) { return Bytes({static_cast<uint8_t>(v), static_cast<uint8_t>(v >> 8)}); }
    uint32_t At() const { return at_; }

private:
    Sector& s_;
    uint32_t at_;
};

// The BPB of the two MSX-DOS templates: a 720 KB double-sided disk.
void WriteMsxHeader(Sector& s) {
    SectorWriter(s, kBsJump).Bytes({0xEB, 0xFE, 0x90}).Text("Volkarn1");
    SectorWriter(s, kBpbBytesPerSector)
        .Word(512).Bytes({2}).Word(1).Bytes({2}).Word(112).Word(1440).Bytes({0xF9})
        .Word(3).Word(9).Word(2).Word(0);
}

// Z80 loader, entered by the disk ROM at `origin` (0xC000 + its offset).
// Through the BDOS at F37Dh it opens "MSXDOS  SYS", reads it to 0100h and
// jumps there; on failure it prints the '$'-text and retries after a key.
// In template 0 the loader's eighth byte lands on the byte FAT tools read as
// the "dirty" flag (0x25): the order below keeps its low bit clear.
void WriteMsxLoader(Sector& s, uint32_t offset) {
    const uint32_t origin = 0xC000 + offset;
    const uint32_t message = origin + 0x3A;
    const std::string_view text = "Boot error\r\nPress any key for retry\r\n$";
    const uint32_t fcb = message + static_cast<uint32_t>(text.size());
    SectorWriter w(s, offset);
    w.Bytes({0xD0});                                // ret nc       first call: not yet
    w.Bytes({0x31, 0x00, 0xC0});                    // retry: ld sp,0C000h
    w.Bytes({0x11, 0x00, 0x01});                    // ld de,0100h
    w.Bytes({0x0E, 0x1A, 0xCD, 0x7D, 0xF3});        // ld c,1Ah / call BDOS   set transfer address
    w.Bytes({0x11}).Word(fcb);                      // ld de,fcb
    w.Bytes({0x0E, 0x0F, 0xCD, 0x7D, 0xF3});        // ld c,0Fh / call BDOS   open file
    w.Bytes({0xB7, 0x20, 0x14});                    // or a / jr nz,error
    w.Bytes({0x21, 0x01, 0x00, 0x22}).Word(fcb + 14);  // ld hl,1 / ld (fcb+14),hl  record size 1
    w.Bytes({0x21, 0x00, 0x3F});                    // ld hl,3F00h  bytes to read
    w.Bytes({0x11}).Word(fcb);                      // ld de,fcb
    w.Bytes({0x0E, 0x27, 0xCD, 0x7D, 0xF3});        // ld c,27h / call BDOS   random block read
    w.Bytes({0xC3, 0x00, 0x01});                    // jp 0100h
    w.Bytes({0x11}).Word(message);                  // error: ld de,message
    w.Bytes({0x0E, 0x09, 0xCD, 0x7D, 0xF3});        // ld c,09h / call BDOS   print text
    w.Bytes({0x0E, 0x08, 0xCD, 0x7D, 0xF3});        // ld c,08h / call BDOS   wait for a key
    w.Bytes({0x18, static_cast<uint8_t>(1 - 0x3A)});  // jr retry
    w.Text(text);
    w.Bytes({0x00}).Text("MSXDOS  SYS");            // drive 0 (default), name and extension
}

Sector MakeMsxDos() {
    Sector s{};
    WriteMsxHeader(s);
    WriteMsxLoader(s, 0x1E);
    return s;
}

Sector MakeMsxDos22() {
    Sector s{};
    WriteMsxHeader(s);
    SectorWriter(s, 0x1E).Bytes({0x18, 0x10}).Text("VOL_ID").Bytes({0x01});  // jr 0030h over the volume id
    WriteMsxLoader(s, 0x30);
    return s;
}

// x86 loader at 0x3E: a disk made here carries no system, so it tells the
// user so (German text, code page 437) and restarts after a key, as a
// non-system disk does. The system file names stand near the sector's end.
Sector MakeMsDos6() {
    Sector s{};
    SectorWriter(s, kBsJump).Bytes({0xEB, 0x3C, 0x90}).Text("MSDOS5.0");
    SectorWriter(s, kBpbBytesPerSector)
        .Word(512).Bytes({1}).Word(1).Bytes({2}).Word(224).Word(2880).Bytes({0xF0})
        .Word(9).Word(18).Word(2).Word(0).Word(0).Word(0).Word(0)  // hidden sectors, 32-bit total sectors
        .Bytes({0x00, 0x00, 0x29, 0, 0, 0, 0}).Text("NO NAME    ").Text("FAT12   ");
    const uint32_t message = 0x7C00 + 0x60;
    SectorWriter(s, 0x3E)
        .Bytes({0xFA, 0x33, 0xC0, 0x8E, 0xD0, 0xBC, 0x00, 0x7C, 0x8E, 0xD8, 0xFB})  // cli, stack and data at 0000h, sti
        .Bytes({0xBE}).Word(message)                                             // mov si,message
        .Bytes({0xAC, 0x0A, 0xC0, 0x74, 0x09})                                   // next: lodsb / or al,al / jz wait
        .Bytes({0xB4, 0x0E, 0xBB, 0x07, 0x00, 0xCD, 0x10, 0xEB, 0xF2})           // teletype output, jmp next
        .Bytes({0x32, 0xE4, 0xCD, 0x16, 0xCD, 0x19})                             // wait: key, then restart
        .Text("\r\nKein System oder Laufwerksfehler\r\nDiskette wechseln und Taste dr\x81" "cken\r\n")
        .Bytes({0x00});
    SectorWriter(s, 0x1E0).Text("IO      SYS").Text("MSDOS   SYS");
    PutBootSignature(s.data());
    return s;
}

// An MSX boot sector for a volume of more than 65535 sectors: the DOS 4
// extended BPB (32-bit sector count at 0x20, signature, serial, label and
// file-system type), which the MSX-DOS 2 volume id would overlap, so the
// entry at 0x1E jumps over it to the loader at 0x3E.
Sector MakeMsxExtended() {
    Sector s{};
    WriteMsxHeader(s);
    SectorWriter(s, 0x1E).Bytes({0x18, 0x3E - 0x20});  // jr 003Eh
    SectorWriter(s, kBsExtendedSignature).Bytes({kExtendedBootSignature, 0, 0, 0, 0})
        .Text("NO NAME    ").Text("FAT16   ");
    WriteMsxLoader(s, 0x3E);
    return s;
}

const std::array<Sector, kBootTemplateCount> kTemplates = {MakeMsxDos(), MakeMsxDos22(), MakeMsDos6()};
const Sector kMsxExtended = MakeMsxExtended();

}  // namespace

const std::array<uint8_t, kSectorSize>& BootTemplate(unsigned index) {
    return kTemplates[index < kBootTemplateCount ? index : 0];
}

const std::array<uint8_t, kSectorSize>& BootTemplateWithExtendedBpb(unsigned index) {
    return index == kBootMsDos6 ? kTemplates[kBootMsDos6] : kMsxExtended;
}

}  // namespace vk
