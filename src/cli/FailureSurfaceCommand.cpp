// olm failure-surface: Tsai-Wu envelopes of a ply written to their text file.
#include <array>
#include <cstdio>
#include <memory>

#include "cli/Commands.hpp"
#include "composites/FailureSurfaceForm.hpp"

namespace olm::cli {

Command AddFailureSurfaceCommand(CLI::App& app) {
  struct Options {
    std::array<double, 12> values{};
    std::string output = CFailureSurfaceForm::kDefaultOutput;
  };
  auto o = std::make_shared<Options>();
  CLI::App* sub = app.add_subcommand(
      "failure-surface",
      "Tsai-Wu failure envelopes of a ply in the S22-S11 and S23-S13 planes (plain, scaled, "
      "centred and polar forms) written to a text file");
  static const char* const kFlags[12] = {"--s1t", "--s1c", "--s2t",       "--s2c",
                                         "--s3t", "--s3c", "--s12",       "--s23",
                                         "--s13", "--n",   "--s12-value", "--s33-value"};
  static const char* const kHelp[12] = {
      "tensile strength, direction 1",
      "compressive strength, direction 1",
      "tensile strength, direction 2",
      "compressive strength, direction 2",
      "tensile strength, direction 3",
      "compressive strength, direction 3",
      "shear strength, 1-2 plane",
      "shear strength, 2-3 plane",
      "shear strength, 1-3 plane",
      "exponent of the combined envelope",
      "applied in-plane shear stress for the S22-S11 envelope",
      "applied normal stress in direction 3 for the S23-S13 envelope"};
  for (int k = 0; k < 12; ++k) sub->add_option(kFlags[k], o->values[k], kHelp[k])->required();
  sub->add_option("-o,--output", o->output, "output file")->capture_default_str();

  auto run = [o]() {
    CFailureSurfaceForm form;
    CFailureSurfaceInput& in = form.Input();
    float* fields[12] = {&in.s1t, &in.s1c, &in.s2t, &in.s2c, &in.s3t,      &in.s3c,
                         &in.s12, &in.s23, &in.s13, &in.n,   &in.s12Value, &in.s33Value};
    for (int k = 0; k < 12; ++k) *fields[k] = static_cast<float>(o->values[k]);
    const std::string problem = CFailureSurfaceForm::Check(in);
    if (!problem.empty()) throw UsageError(problem);
    form.SetOutputPath(o->output);
    if (!form.Compute()) return static_cast<int>(kExitFailure);
    std::printf("Failure surface written to %s\n", o->output.c_str());
    return static_cast<int>(kExitOk);
  };
  return {sub, run};
}

}  // namespace olm::cli
