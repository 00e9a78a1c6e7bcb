// olm dist INPUT [-o RESULTS] [--json]: the probability-distribution analysis.
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <iostream>
#include <nlohmann/json.hpp>

#include "cli/Commands.hpp"
#include "cli/Reduction.hpp"
#include "distribution/DistributionFiles.hpp"
#include "numerics/OutputFile.hpp"

namespace olm::cli {

namespace {

struct CDistOptions {
  std::string input;
  std::string results;
  bool json = false;
};

// The results path: INPUT with its extension replaced by ".out" (".out"
// appended when that would be the input itself).
std::string DefaultResultsPath(const std::string& input) {
  std::filesystem::path p(input);
  p.replace_extension(".out");
  if (p == std::filesystem::path(input)) return input + ".out";
  return p.string();
}

// A number, or null when it is not finite (JSON has no NaN or infinity).
nlohmann::json Number(double v) {
  if (std::isfinite(v)) return v;
  return nullptr;
}

nlohmann::json ParametersJson(const CDistributionResult& r) {
  nlohmann::json p;
  const double p1 = r.parameters(1), p2 = r.parameters(2);
  switch (r.code) {
    case kNormal:
      p = {{"mean", Number(p1)}, {"standard_deviation", Number(p2)}};
      break;
    case kLognormal:
      p = {{"median", Number(p1)}, {"log_standard_deviation", Number(p2)}};
      break;
    case kGamma:
      p = {{"scale", Number(p1)}, {"shape", Number(p2)}};
      break;
    case kGeneralizedExponential:
      p = {{"rate", Number(p1)}, {"shape", Number(p2)}};
      break;
    default:
      p = {{"scale", Number(p1)}, {"shape", Number(p2)}, {"location", Number(r.location)}};
      break;
  }
  return p;
}

nlohmann::json ToJson(const CDistOptions& o, const CDistributionAnalysis& a) {
  nlohmann::json j;
  j["input"] = o.input;
  j["results"] = o.results;
  j["sample_size"] = a.Sample().size();
  j["distributions"] = nlohmann::json::array();
  for (const CDistributionResult& r : a.Results()) {
    nlohmann::json d;
    d["code"] = r.code;
    d["keyword"] = DistributionName(r.code).keyword;
    d["name"] = DistributionName(r.code).display;
    d["tag"] = r.tag;
    d["fitted"] = r.fitted;
    if (!r.fitted) {
      d["message"] = r.message;
    } else {
      d["parameters"] = ParametersJson(r);
      if (r.optimized) {
        d["minimized_value"] = Number(r.minimized);
        d["evaluations"] = r.evaluations;
      }
      d["ks_distance"] = Number(r.ks);
      d["ad_statistic"] = Number(r.ad);
      d["chi_square"] = Number(r.chiSquare);
    }
    j["distributions"].push_back(d);
  }
  j["pairwise"] = nlohmann::json::array();
  for (const CPairwiseComparison& p : a.Pairwise()) {
    const CDistributionResult& x = a.Results()[static_cast<size_t>(p.first)];
    const CDistributionResult& y = a.Results()[static_cast<size_t>(p.second)];
    nlohmann::json c{{"first", DistributionName(x.code).display},
                     {"second", DistributionName(y.code).display}};
    if (p.available) {
      c["log_likelihood_ratio"] = Number(p.logLikelihoodRatio);
      c["favours"] = DistributionName(p.logLikelihoodRatio <= 0.0 ? y.code : x.code).display;
    } else {
      c["log_likelihood_ratio"] = nullptr;
    }
    j["pairwise"].push_back(c);
  }
  return j;
}

int RunDist(CDistOptions& o) {
  if (o.results.empty()) o.results = DefaultResultsPath(o.input);
  // Refused before the work: a results file that would destroy the input or
  // replace a device.
  if (!CheckOutputTarget("dist", o.results, {o.input})) return kExitFailure;
  CDistributionAnalysis analysis;
  try {
    const CDistributionInput input = ReadDistributionInput(o.input);
    if (!analysis.Run(input, o.json ? nullptr : &std::cout)) {
      std::fprintf(stderr, "olm dist: %s\n", analysis.ErrorMessage().c_str());
      return kExitFailure;
    }
  } catch (const CDistributionError& e) {
    std::fprintf(stderr, "FATAL ERROR: %s\n", e.what());
    if (!e.Detail().empty()) std::fprintf(stderr, "olm dist: %s\n", e.Detail().c_str());
    return kExitFailure;
  }
  std::cout.flush();
  for (const CDistributionResult& r : analysis.Results()) {
    if (!r.fitted) std::fprintf(stderr, "olm dist: %s\n", r.message.c_str());
  }
  std::string error;
  if (!WriteDistributionReport(o.results, analysis, &error, {o.input})) {
    std::fprintf(stderr, "olm dist: %s\n", error.c_str());
    return kExitFailure;
  }
  if (o.json) {
    std::cout << ToJson(o, analysis).dump(2) << "\n";
  } else {
    std::cout << "\nResults written to " << o.results << "\n";
  }
  return analysis.AllFitted() ? kExitOk : kExitFailure;
}

}  // namespace

Command AddDistCommand(CLI::App& app) {
  auto opts = std::make_shared<CDistOptions>();
  CLI::App* sub = app.add_subcommand(
      "dist",
      "Fit six probability distributions to the sample of a distribution input file and "
      "write the results report");
  sub->add_option("INPUT", opts->input, "distribution input file (*heading ... *end)")->required();
  sub->add_option("-o,--output", opts->results,
                  "results report (default: INPUT with the extension .out)");
  sub->add_flag("--json", opts->json,
                "print parameters and measures per distribution as JSON on stdout");
  return {sub, [opts] { return RunDist(*opts); }};
}

}  // namespace olm::cli
