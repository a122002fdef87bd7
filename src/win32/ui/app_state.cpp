#include "win32/ui/app_state.h"

namespace vk::win32 {

ImageDocument& TheDocument() {
    static ImageDocument document;
    return document;
}

AppState& App() {
    static AppState state;
    return state;
}

}  // namespace vk::win32
