// The icon groups: the shell finds the disk-image icon by position (index 2
// in the associations), so 102 must be the third group.
#include <gtest/gtest.h>

#include <windows.h>

#include <algorithm>
#include <iterator>
#include <set>
#include <vector>

#include "win32/resources/dialog_ids.h"

namespace {

BOOL CALLBACK CollectGroup(HMODULE, LPCSTR, LPSTR name, LONG_PTR param) {
    if (IS_INTRESOURCE(name)) {
        reinterpret_cast<std::vector<int>*>(param)->push_back(static_cast<int>(reinterpret_cast<ULONG_PTR>(name)));
    }
    return TRUE;
}

TEST(Icons, GroupsComeInIdOrderWithTheDiskImageThird) {
    std::vector<int> groups;
    EnumResourceNamesA(GetModuleHandleA(nullptr), RT_GROUP_ICON, CollectGroup, reinterpret_cast<LONG_PTR>(&groups));
    EXPECT_EQ(groups, (std::vector<int>{IDI_PROGRAM, IDI_DRIVE, IDI_DISK_IMAGE, IDI_FOLDER_CLOSED, IDI_FOLDER_OPEN,
                                        IDI_FILE}));
}

// An icon group resource (GRPICONDIR): a count, then one entry per image.
constexpr DWORD kGroupCount = 4;
constexpr DWORD kGroupEntries = 6;
constexpr DWORD kEntrySize = 14;
constexpr DWORD kEntryWidth = 0;  // 0 stands for 256
constexpr DWORD kEntryHeight = 1;
constexpr DWORD kEntryIconId = 12;
// An icon image: a BITMAPINFOHEADER, or a PNG file with its IHDR chunk.
constexpr DWORD kBitmapWidth = 4;
constexpr DWORD kBitmapHeight = 8;
constexpr DWORD kPngWidth = 16;
constexpr DWORD kPngHeight = 20;

DWORD Little(const BYTE* p, int bytes) {
    DWORD value = 0;
    for (int i = bytes - 1; i >= 0; --i) {
        value = (value << 8) | p[i];
    }
    return value;
}

DWORD Big32(const BYTE* p) { return (DWORD{p[0]} << 24) | (DWORD{p[1]} << 16) | (DWORD{p[2]} << 8) | p[3]; }

const BYTE* ResourceBytes(LPCSTR type, LPCSTR name, DWORD& size) {
    HMODULE module = GetModuleHandleA(nullptr);
    HRSRC found = FindResourceA(module, name, type);
    size = found != nullptr ? SizeofResource(module, found) : 0;
    HGLOBAL loaded = found != nullptr ? LoadResource(module, found) : nullptr;
    return loaded != nullptr ? static_cast<const BYTE*>(LockResource(loaded)) : nullptr;
}

// The width and height an icon image says it has: a bitmap's header counts
// the colour rows and the mask rows together.
bool ImageSize(const BYTE* image, DWORD size, LONG& width, LONG& height) {
    static const BYTE kPng[] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
    if (size >= kPngHeight + 4 && std::equal(std::begin(kPng), std::end(kPng), image)) {
        width = static_cast<LONG>(Big32(image + kPngWidth));
        height = static_cast<LONG>(Big32(image + kPngHeight));
        return true;
    }
    if (size < sizeof(BITMAPINFOHEADER)) {
        return false;
    }
    width = static_cast<LONG>(Little(image + kBitmapWidth, 4));
    height = static_cast<LONG>(Little(image + kBitmapHeight, 4)) / 2;
    return true;
}

// The images the icon group really holds; loading one at a size would
// stretch whatever image is nearest, so the group's own list is read.
TEST(Icons, EveryIconHasItsSizes) {
    for (int id : {IDI_PROGRAM, IDI_DRIVE, IDI_DISK_IMAGE, IDI_FOLDER_CLOSED, IDI_FOLDER_OPEN, IDI_FILE}) {
        DWORD groupSize = 0;
        const BYTE* group = ResourceBytes(RT_GROUP_ICON, MAKEINTRESOURCEA(id), groupSize);
        ASSERT_NE(group, nullptr) << id;
        ASSERT_GE(groupSize, kGroupEntries) << id;
        const DWORD count = Little(group + kGroupCount, 2);
        ASSERT_EQ(groupSize, kGroupEntries + count * kEntrySize) << id;
        std::set<int> sizes;
        for (DWORD i = 0; i < count; ++i) {
            const BYTE* entry = group + kGroupEntries + i * kEntrySize;
            const int width = entry[kEntryWidth] != 0 ? entry[kEntryWidth] : 256;
            const int height = entry[kEntryHeight] != 0 ? entry[kEntryHeight] : 256;
            const WORD iconId = static_cast<WORD>(Little(entry + kEntryIconId, 2));
            DWORD imageSize = 0;
            const BYTE* image = ResourceBytes(RT_ICON, MAKEINTRESOURCEA(iconId), imageSize);
            ASSERT_NE(image, nullptr) << id << ": image " << iconId;
            LONG realWidth = 0;
            LONG realHeight = 0;
            ASSERT_TRUE(ImageSize(image, imageSize, realWidth, realHeight)) << id << ": image " << iconId;
            EXPECT_EQ(realWidth, width) << id << ": the group's size is the image's";
            EXPECT_EQ(realHeight, height) << id << ": the group's size is the image's";
            if (width == height) {
                sizes.insert(width);
            }
        }
        for (int size : {16, 32, 48}) {
            EXPECT_EQ(sizes.count(size), 1u) << id << " has no image of " << size << "x" << size;
        }
    }
}

}  // namespace
