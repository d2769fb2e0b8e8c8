// The terminal program's commands, each the camera page's work (or the
// network check's) run to its end; each returns the exit code.
#pragma once

#include "cli/camera_session.h"
#include "cli/command_line.h"

namespace cli {

int runSearch(const SearchCommand& command, const Context& context);
int runSet(const SetCommand& command, const Context& context);
int runPlan(const PlanCommand& command, const Context& context);
int runCheck(const CheckCommand& command, const Context& context);
int runAdapters(const Context& context);

}  // namespace cli
