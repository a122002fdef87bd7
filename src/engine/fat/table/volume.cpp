#include "engine/fat/table/volume.h"

#include "engine/core/document.h"

namespace vk {

Volume VolumeOf(ImageDocument& doc) { return Volume(doc.GetLayout(), doc.Area(), doc.AreaLength()); }

ConstVolume VolumeOf(const ImageDocument& doc) { return ConstVolume(doc.GetLayout(), doc.Area(), doc.AreaLength()); }

}  // namespace vk
