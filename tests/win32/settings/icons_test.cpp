// The icon groups: the shell finds the disk-image icon by position (index 2
// in the associations), so 102 must be the third group.
#include <gtest/gtest.h>

#include <windows.h>

#include <algorithm>
#include <cstring>
#include <iterator>
#include <set>
#include <vector>

#include "resources/dialog_ids.h"

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

// One image of the icon group: a GRPICONDIRENTRY as the resource holds it.
#pragma pack(push, 2)
struct GroupEntry {
    BYTE width;   // 0 stands for 256
    BYTE height;
    BYTE colors;
    BYTE reserved;
    WORD planes;
    WORD bitCount;
    DWORD bytes;
    WORD iconId;
};
#pragma pack(pop)

const BYTE* ResourceBytes(LPCSTR type, LPCSTR name, DWORD& size) {
    HMODULE module = GetModuleHandleA(nullptr);
    HRSRC found = FindResourceA(module, name, type);
    size = found != nullptr ? SizeofResource(module, found) : 0;
    HGLOBAL loaded = found != nullptr ? LoadResource(module, found) : nullptr;
    return loaded != nullptr ? static_cast<const BYTE*>(LockResource(loaded)) : nullptr;
}

// The width and height an icon image says it has: a bitmap's header counts
// the colour rows and the mask rows together; a PNG image has its own.
bool ImageSize(const BYTE* image, DWORD size, LONG& width, LONG& height) {
    static const BYTE kPng[] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
    if (size >= 24 && std::equal(std::begin(kPng), std::end(kPng), image)) {
        width = static_cast<LONG>((image[16] << 24) | (image[17] << 16) | (image[18] << 8) | image[19]);
        height = static_cast<LONG>((image[20] << 24) | (image[21] << 16) | (image[22] << 8) | image[23]);
        return true;
    }
    if (size < sizeof(BITMAPINFOHEADER)) {
        return false;
    }
    BITMAPINFOHEADER header;
    std::memcpy(&header, image, sizeof header);
    width = header.biWidth;
    height = header.biHeight / 2;
    return true;
}

// The images the icon group really holds; loading one at a size would
// stretch whatever image is nearest, so the group's own list is read.
TEST(Icons, EveryIconHasItsSizes) {
    for (int id : {IDI_PROGRAM, IDI_DRIVE, IDI_DISK_IMAGE, IDI_FOLDER_CLOSED, IDI_FOLDER_OPEN, IDI_FILE}) {
        DWORD groupSize = 0;
        const BYTE* group = ResourceBytes(RT_GROUP_ICON, MAKEINTRESOURCEA(id), groupSize);
        ASSERT_NE(group, nullptr) << id;
        ASSERT_GE(groupSize, 6u) << id;
        WORD count = 0;
        std::memcpy(&count, group + 4, sizeof count);
        ASSERT_EQ(groupSize, 6u + count * sizeof(GroupEntry)) << id;
        std::set<int> sizes;
        for (WORD i = 0; i < count; ++i) {
            GroupEntry entry;
            std::memcpy(&entry, group + 6 + i * sizeof entry, sizeof entry);
            const int width = entry.width != 0 ? entry.width : 256;
            const int height = entry.height != 0 ? entry.height : 256;
            DWORD imageSize = 0;
            const BYTE* image = ResourceBytes(RT_ICON, MAKEINTRESOURCEA(entry.iconId), imageSize);
            ASSERT_NE(image, nullptr) << id << ": image " << entry.iconId;
            LONG realWidth = 0;
            LONG realHeight = 0;
            ASSERT_TRUE(ImageSize(image, imageSize, realWidth, realHeight)) << id << ": image " << entry.iconId;
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
