#include "win32/dragdrop/com_shared.h"

namespace vk::win32 {
namespace {

int g_liveObjects = 0;

}  // namespace

FORMATETC FileListFormat() {
    FORMATETC format = {};
    format.cfFormat = CF_HDROP;
    format.ptd = nullptr;
    format.dwAspect = DVASPECT_CONTENT;
    format.lindex = -1;
    format.tymed = TYMED_HGLOBAL;
    return format;
}

bool IsFileListFormat(const FORMATETC& format) {
    return format.cfFormat == CF_HDROP && (format.dwAspect & DVASPECT_CONTENT) != 0 &&
           (format.tymed & TYMED_HGLOBAL) != 0;
}

int LiveComObjects() { return g_liveObjects; }

ComObjectCount::ComObjectCount() { ++g_liveObjects; }
ComObjectCount::~ComObjectCount() { --g_liveObjects; }

}  // namespace vk::win32
