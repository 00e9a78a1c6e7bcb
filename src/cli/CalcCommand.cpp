// olm calc STATEMENT...: evaluates calculator statements in order in one
// evaluator (so later statements see the variables of earlier ones) and
// prints the value of each.
#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include "cli/Commands.hpp"
#include "numerics/ExpressionEvaluator.hpp"

namespace olm::cli {

Command AddCalcCommand(CLI::App& app) {
  auto statements = std::make_shared<std::vector<std::string>>();
  CLI::App* sub = app.add_subcommand(
      "calc",
      "Evaluate calculator statements in order and print each value (write -- before the "
      "statements when one begins with a minus sign followed by a letter)");
  sub->add_option("statements", *statements, "Statements, e.g. \"x = 2\" \"sqrt(x)*3\"")
      ->required();
  return {sub, [statements]() -> int {
            CExpressionEvaluator evaluator;
            CExpressionValue value;
            for (std::size_t k = 0; k < statements->size(); ++k) {
              const std::string& statement = (*statements)[k];
              const int status = evaluator.Evaluate(statement, value);
              if (status != kExprOk) {
                std::fflush(stdout);
                std::fprintf(stderr, "olm calc: statement %zu \"%s\": status %d: %s\n", k + 1,
                             statement.c_str(), status, ExpressionStatusText(status));
                return kExitFailure;
              }
              std::printf("%s\n", value.ToText().c_str());
            }
            return kExitOk;
          }};
}

}  // namespace olm::cli
