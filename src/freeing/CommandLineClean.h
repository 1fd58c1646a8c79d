// A clean with no window at all: what a start with "/smartclean" or
// "/deepclean" runs when no copy of the program is running (a scheduled
// clean, say). No window, no tray icon, no settings, no language file: the
// clean runs, its figures go to the support trace, and the exit code says
// whether it could run. Of the settings only the excluded processes count.
#pragma once
#include "freeing/ExclusionRules.h"
#include "platform/CommandLineRules.h"

namespace freeing {

// Runs the clean the switch names to its end and returns the process's exit
// code (CleanExitCode): 0 when it ran, 1 when it could not, or when anything
// raised an error (which nobody could be shown). Smart Clean's passes walk
// the processes without the processor-usage pacing, which needs the
// monitor's history (nobody samples the processor here), and pass over the
// processes `excluded` names (the one setting such a clean reads); Deep
// Clean runs at once, with its pauses and its address-space reserve. None
// gives 1. The trace gets the clean's figures, how many processes Smart
// Clean passed over, and the exit code.
int CleanWithoutWindow(platform::CleanSwitch clean, const ExclusionList& excluded = ExclusionList());

}  // namespace freeing
