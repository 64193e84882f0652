// The wizard driver's commands for the benchmark (tools/bench.sh): timings and damage outcomes,
// printed as "key value" lines for the script to read.
#ifndef VELTMOOR_BENCH_COMMANDS_H
#define VELTMOOR_BENCH_COMMANDS_H

namespace driver {

// unpack-time RUNS FOLDER: installs RUNS times into FOLDER and prints, for each run, the time from
// Next on the summary page to the end of the unpacking ("unpack-ms N").
int UnpackTimeCommand(int argc, char **argv);
// run-program TIMEOUT_MS FOLDER COMMANDLINE: runs a program (another installer, silently), answering
// any dialog it shows; prints its time, exit status, the dialogs' texts and the files left in FOLDER.
int RunProgramCommand(int argc, char **argv);
// damaged-run INSTALLER FOLDER: walks the given installer to its install run and reports what the
// user is told and whether any file of the product was written into FOLDER.
int DamagedRunCommand(int argc, char **argv);

}  // namespace driver

#endif
