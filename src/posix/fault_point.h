// A place where a test may stop the program as a kill would: just before a
// change to the file system. Built in only with VK_FAULT_HOOKS (the native
// test build): VK_KILL_AT_WRITE=N in the environment sends the process
// SIGKILL before its Nth change, so that a test can break a save off after
// every one of its steps in turn. Elsewhere it is nothing.
#pragma once

namespace vk {

#ifdef VK_FAULT_HOOKS
void FaultPoint();
#else
inline void FaultPoint() {}
#endif

}  // namespace vk
