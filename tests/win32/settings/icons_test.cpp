// The icon groups: the shell finds the disk-image icon by position (index 2
// in the associations), so 102 must be the third group.
#include <gtest/gtest.h>

#include <windows.h>

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

TEST(Icons, EveryIconHasItsSizes) {
    for (int id : {IDI_PROGRAM, IDI_DRIVE, IDI_DISK_IMAGE, IDI_FOLDER_CLOSED, IDI_FOLDER_OPEN, IDI_FILE}) {
        for (int size : {16, 32, 48}) {
            HICON icon = static_cast<HICON>(
                LoadImageA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(id), IMAGE_ICON, size, size, 0));
            ASSERT_NE(icon, nullptr) << id << " at " << size;
            ICONINFO info = {};
            ASSERT_TRUE(GetIconInfo(icon, &info));
            BITMAP bits = {};
            GetObjectA(info.hbmColor, sizeof bits, &bits);
            EXPECT_EQ(bits.bmWidth, size) << id;
            DeleteObject(info.hbmColor);
            DeleteObject(info.hbmMask);
            DestroyIcon(icon);
        }
    }
}

}  // namespace
