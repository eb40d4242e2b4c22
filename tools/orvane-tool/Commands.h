#pragma once
// The commands of orvane-tool. Each takes the arguments after the command
// name and returns the process exit status; errors go to standard error as
// "orvane-tool: ...".

namespace orvane::tool {

using Command = int (*)(int argc, char** argv);

}  // namespace orvane::tool
