#pragma once
// The database as JSON, for `olm reduce --json` and `olm show --json`.
#include <nlohmann/json.hpp>
#include <string>

#include "engine/Database.hpp"
#include "plot/Project.hpp"

namespace olm::cli {

// Texts from project files may be in an 8-bit code page: valid UTF-8 is kept,
// anything else is read as Latin-1.
std::string ToUtf8(const std::string& text);

// The database; with data, the raw, smoothed, fitted and outlier matrices as
// arrays of rows.  Doubles are written so that they read back exactly.
nlohmann::json DatabaseToJson(const CReplicateDB& db, bool withData);

// The stored fields of the plot settings record; the curve styles of the
// replicates in use.
nlohmann::json PlotSettingsToJson(const CPlotSettings& settings, int replicates);
// The annotation objects in insertion order, with all their fields.
nlohmann::json AnnotationsToJson(const CGEList& objects);
// DatabaseToJson plus "plot_settings" and "annotations".
nlohmann::json ProjectToJson(const CProject& project, bool withData);
nlohmann::json ProjectToJson(const CReplicateDB& db, const CGEList& objects, bool withData);

// Prints JSON to stdout (two-space indent, newline).
void PrintJson(const nlohmann::json& j);

}  // namespace olm::cli
