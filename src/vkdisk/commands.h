// vkdisk's commands. Each takes its arguments after the command name and
// returns the process exit code.
#pragma once

#include <string>
#include <vector>

namespace vk::cli {

using Args = std::vector<std::string>;

int CmdNew(const Args& args);
int CmdInfo(const Args& args);
int CmdAdd(const Args& args);
int CmdGet(const Args& args);
int CmdLs(const Args& args);
int CmdRm(const Args& args);
int CmdRen(const Args& args);
int CmdMkdir(const Args& args);
int CmdRmdir(const Args& args);
int CmdLabel(const Args& args);
int CmdAttr(const Args& args);
int CmdRead(const Args& args);
int CmdWrite(const Args& args);
int CmdCheck(const Args& args);
int CmdUndelete(const Args& args);
int CmdCatalog(const Args& args);
int CmdFind(const Args& args);
int CmdList(const Args& args);

}  // namespace vk::cli
