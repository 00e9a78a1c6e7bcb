// olm flowrule: the flow-rule coefficients batch program.
#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include "cli/Commands.hpp"
#include "composites/FlowRuleProgram.hpp"
#include "numerics/UserInterface.hpp"

namespace olm::cli {

Command AddFlowRuleCommand(CLI::App& app) {
  auto files = std::make_shared<std::vector<std::string>>();
  CLI::App* sub = app.add_subcommand(
      "flowrule",
      "Flow-rule coefficients of an orthotropic material from a model file of twelve test "
      "curves: writes the results file and a material card of curves");
  sub->add_option("files", *files, "MODEL RESULTS CARD: the model file and the two output files")
      ->expected(0, 3);

  auto run = [files]() {
    CFlowRuleProgram program;
    const int status = program.Run(*files);
    if (files->size() < 3) return static_cast<int>(kExitUsage);
    if (status != 0) return static_cast<int>(kExitFailure);
    std::printf("Results written to %s\nMaterial card written to %s\n", (*files)[1].c_str(),
                (*files)[2].c_str());
    return static_cast<int>(kExitOk);
  };
  return {sub, run};
}

}  // namespace olm::cli
