#pragma once
// The subcommands of the `olm` command-line tool.
//
// Each command adds its CLI11 subcommand to the application and returns the
// routine that runs it once the command line has been parsed.  Exit status:
// 0 success, 1 the engine reported a failure, 2 a usage error.
#include <CLI/CLI.hpp>
#include <functional>

namespace olm::cli {

enum ExitStatus { kExitOk = 0, kExitFailure = 1, kExitUsage = 2 };

struct Command {
  CLI::App* sub = nullptr;
  std::function<int()> run;
};

// Thrown by a command for a usage error found after parsing (exit status 2).
struct UsageError : std::runtime_error {
  using std::runtime_error::runtime_error;
};

// olm failure-surface --s1t ... --s33-value ... [-o FILE]
Command AddFailureSurfaceCommand(CLI::App& app);
// olm flowrule MODEL RESULTS CARD
Command AddFlowRuleCommand(CLI::App& app);

Command AddReduceCommand(CLI::App& app);
Command AddDemoCommand(CLI::App& app);
// olm dist: distribution analysis of an input file (DistCommand.cpp).
Command AddDistCommand(CLI::App& app);
// olm calc STATEMENT...: evaluates calculator statements and prints their values.
Command AddCalcCommand(CLI::App& app);
Command AddShowCommand(CLI::App& app);
Command AddReportCommand(CLI::App& app);
Command AddBestFitCommand(CLI::App& app);
Command AddProcessCommand(CLI::App& app);
// olm edit PROJECT COMMAND...: runs raw-data editor commands and saves the project.
Command AddEditCommand(CLI::App& app);
// olm plot PROJECT -o FILE.png|.svg|.pdf [--axes ..] [--size WxH] [--best-fit]
Command AddPlotCommand(CLI::App& app);

// Parses argv, runs the chosen command and returns the exit status.
int RunOlm(int argc, char** argv);

}  // namespace olm::cli
