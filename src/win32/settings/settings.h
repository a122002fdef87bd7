// The user's preferences: read from the registry once before the main window
// is created, written once when it closes, held here in between.
#pragma once

#include <cstdint>

#include "engine/fat/dir/fs_options.h"

namespace vk::win32 {

constexpr int kColumnCount = 4;

// Where the main window stood when it last closed, in workspace
// coordinates as GetWindowPlacement gives them; no width before the first close.
struct WindowPlace {
    int left = 0;
    int top = 0;
    int width = 0;
    int height = 0;
    bool maximized = false;

    bool Known() const { return width > 0 && height > 0; }
};

struct Settings {
    int columnWidths[kColumnCount] = {0, 0, 0, 0};  // pixels; start-up fills the defaults
    uint32_t viewType = 1;            // 0 icons, 1 report, 2 small icons, 3 list
    uint32_t nameStrength = 1;        // as stored: 0 strict, anything else regular
    uint32_t defaultDiskFormat = 0xF9;
    int32_t defaultBootSector = 0;
    bool fastWrite = false;
    WindowPlace window;
};

// The process's one settings record.
Settings& TheSettings();

void LoadSettings(Settings& settings);
// The name strength the stored choice stands for: 0 strict, any other regular.
NameStrength NameStrengthOf(const Settings& settings);
void SaveSettings(const Settings& settings);

}  // namespace vk::win32
