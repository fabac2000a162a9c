#pragma once

// The probe of the helper's test build, inert unless the environment variable MALLOWBROOK_HELPER_PROBE is set (to anything
// not empty). Then the helper reports to the mailslot \\.\mailslot\MallowbrookHelperProbe, if a
// test has created it: first "command line:" followed by its command line, then "work starting"
// and "work finished" around its work. At those two points it also waits, up to 10 seconds, for
// the auto-reset event "MallowbrookHelperProbeContinue" when a test has created that event,
// dispatching messages meanwhile, so the test can look at the progress window. The names are
// fixed: the elevated helper never writes to a place its caller chooses.

constexpr char kProbeVariable[] = "MALLOWBROOK_HELPER_PROBE";
constexpr char kProbeMailslot[] = "\\\\.\\mailslot\\MallowbrookHelperProbe";
constexpr char kProbeContinueEvent[] = "MallowbrookHelperProbeContinue";
constexpr char kProbeCommandLine[] = "command line:";
constexpr char kProbeWorkStarting[] = "work starting";
constexpr char kProbeWorkFinished[] = "work finished";
constexpr unsigned long kProbeHoldMs = 10000;
