// The Windows back ends of SectorDevice: the NT family's raw volume and the
// 9x family's VWIN32 device, chosen once per process by the platform family.
#pragma once

#include "engine/drive/sector_device.h"

namespace vk {

// True on the 9x family; decided on the first call and kept.
bool IsWin9xPlatform();

const DriveBackend& NtDriveBackend();
const DriveBackend& Win9xDriveBackend();
// The back end of the running platform family.
const DriveBackend& Win32DriveBackend();

}  // namespace vk
