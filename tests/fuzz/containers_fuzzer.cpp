// Any byte string as a gzip or zip container: unpacked with the engine's own
// limit, it never gives more than its data can hold (deflate makes at most
// about 1032 bytes of one), and the allocations stay bounded with it
// (scripts/fuzz.sh runs this target with a malloc limit). What unpacks is
// changed, packed again and unpacked once more: the same bytes must come
// back, from the same member.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "engine/core/containers.h"

namespace {

constexpr uint64_t kEngineImageLimit = 0xFFFFFFFFull;
constexpr uint64_t kMostInflateRatio = 1032;

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    using namespace vk;
    // The first byte picks a member name to ask for: none, or one of two.
    if (size == 0) return 0;
    static const char* const kMembers[] = {"", "GAME.DSK", "B.DSK"};
    const std::string member = kMembers[data[0] % 3];
    ++data;
    --size;

    ContainerInfo info;
    ByteBlock image;
    const ContainerFault fault = UnpackContainer(data, size, member, kEngineImageLimit, info, image);
    if (fault != ContainerFault::kNone) {
        if (image.size() != 0) std::abort();  // a refusal hands out nothing
        ContainerFaultNotice(fault, "/fuzz", info);
        return 0;
    }
    if (image.size() > size * kMostInflateRatio + 1) std::abort();
    // The member opened is one the zip lists, and the one asked for.
    if (info.kind == ContainerKind::kZip &&
        (std::find(info.members.begin(), info.members.end(), info.member) == info.members.end() ||
         (!member.empty() && info.member != member))) {
        std::abort();
    }

    std::vector<uint8_t> changed(image.data(), image.data() + image.size());
    changed.push_back(0x5A);
    if (!changed.empty()) changed[0] ^= 0xFF;
    std::vector<uint8_t> packed;
    const ContainerFault repack =
        RepackContainer(data, size, info, changed.data(), changed.size(), DosDateTime{0x5821, 0x6000}, packed);
    if (repack != ContainerFault::kNone) {
        if (repack != ContainerFault::kTooLarge && repack != ContainerFault::kOutOfMemory) std::abort();
        return 0;
    }
    ContainerInfo again;
    ByteBlock back;
    if (UnpackContainer(packed.data(), packed.size(), info.member, kEngineImageLimit, again, back) !=
        ContainerFault::kNone) {
        std::abort();
    }
    if (again.kind != info.kind || again.member != info.member || back.size() != changed.size() ||
        std::memcmp(back.data(), changed.data(), changed.size()) != 0) {
        std::abort();
    }
    return 0;
}
