// The one start-up question answered before anything else: is /R on the
// command line? Registration then runs without a window or settings.
#pragma once

namespace vk {

// True when an argument after the program name is a switch ('/' or '-')
// whose letter is R in either case; the rest of such an argument is
// ignored, so "-register" counts.
bool HasRegisterSwitch(int argc, const char* const* argv);

}  // namespace vk
