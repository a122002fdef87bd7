#include "common/dialog_helpers.h"

namespace vk {

int LoadFilterString(UINT id, char* buffer, int size) {
    if (size <= 0) {
        return 0;
    }
    buffer[0] = '\0';
    if (size < 2) {
        return 0;
    }
    // One character is kept back for the list's closing zero, which a filter
    // cut short by the buffer would otherwise lack.
    const int length = LoadStringA(GetModuleHandleA(nullptr), id, buffer, size - 1);
    buffer[length + 1] = '\0';
    for (int i = 0; i < length; ++i) {
        if (buffer[i] == '|') {
            buffer[i] = '\0';
        }
    }
    return length;
}

}  // namespace vk
