#include <cstdio>
#include <new>
#include <vector>

#include "cli/Commands.hpp"
#include "numerics/OutputFile.hpp"
#include "numerics/UserInterface.hpp"

namespace olm::cli {

int RunOlm(int argc, char** argv) {
  // A file-size limit then fails the write that reaches it, which is reported.
  IgnoreFileSizeSignal();
  CLI::App app{
      "olm: reduce experimental test data (import, zones, outliers, smoothing, fits, "
      "areas) in batch"};
  app.require_subcommand(1);
  app.set_version_flag("--version", "olm 1.0");

  std::vector<Command> commands;
  commands.push_back(AddReduceCommand(app));
  commands.push_back(AddDemoCommand(app));
  commands.push_back(AddFailureSurfaceCommand(app));
  commands.push_back(AddFlowRuleCommand(app));
  commands.push_back(AddDistCommand(app));
  commands.push_back(AddCalcCommand(app));
  commands.push_back(AddShowCommand(app));
  commands.push_back(AddReportCommand(app));
  commands.push_back(AddBestFitCommand(app));
  commands.push_back(AddProcessCommand(app));
  commands.push_back(AddEditCommand(app));
  commands.push_back(AddPlotCommand(app));

  try {
    app.parse(argc, argv);
  } catch (const CLI::CallForHelp& e) {
    return app.exit(e);
  } catch (const CLI::CallForAllHelp& e) {
    return app.exit(e);
  } catch (const CLI::CallForVersion& e) {
    return app.exit(e);
  } catch (const CLI::ParseError& e) {
    app.exit(e);
    return kExitUsage;
  }
  for (const Command& c : commands) {
    if (c.sub && c.sub->parsed()) {
      try {
        return c.run();
      } catch (const UsageError& e) {
        std::fprintf(stderr, "olm %s: %s\n", c.sub->get_name().c_str(), e.what());
        return kExitUsage;
      } catch (const std::bad_alloc&) {
        std::fprintf(stderr, "olm %s: not enough memory\n", c.sub->get_name().c_str());
        return kExitFailure;
      }
    }
  }
  return kExitUsage;
}

}  // namespace olm::cli
