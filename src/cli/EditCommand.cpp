// olm edit: run raw-data editor commands on a saved project.
//
// The commands run in order through the editor, as typed into its command
// box one after another.  Notices go to stdout and failures to stderr, as the
// editor's message boxes would show them; a question is answered Yes.  The
// first failing command ends the run with status 1 and nothing is saved;
// when all succeed the extents and plot limits are refreshed (as after the
// editor closes) and the project is saved.  --export writes a replicate's x
// and y data after the commands.
#include <cstdio>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "cli/Commands.hpp"
#include "cli/Reduction.hpp"
#include "document/Document.hpp"
#include "editing/EditCommands.hpp"
#include "numerics/OutputFile.hpp"
#include "numerics/UserInterface.hpp"

namespace olm::cli {

namespace {

struct EditOptions {
  std::string project;
  std::vector<std::string> commands;
  std::string output;
  std::pair<int, std::string> exportTo;
  CLI::Option* exportOption = nullptr;
  std::string kind = Info(CurveKind::kRaw).keyword;
  bool list = false;
};

// Shows the editor's messages as its message boxes would: notices on stdout,
// failures on stderr; questions are printed and answered Yes.
class CEditUi : public IUserInterface {
 public:
  void Show(MessageKind kind, std::string_view text) override {
    if (kind == MessageKind::Information) {
      std::fwrite(text.data(), 1, text.size(), stdout);
      std::fputc('\n', stdout);
      std::fflush(stdout);
      return;
    }
    std::fflush(stdout);
    std::fwrite(text.data(), 1, text.size(), stderr);
    if (kind != MessageKind::Diagnostic) std::fputc('\n', stderr);
    std::fflush(stderr);
  }
  bool Ask(std::string_view text, QuestionKind kind, std::string_view, bool* stopAsking) override {
    std::printf("%.*s %s\n", static_cast<int>(text.size()), text.data(),
                kind == QuestionKind::YesNo ? "[Yes]" : "[OK]");
    std::fflush(stdout);
    if (stopAsking) *stopAsking = false;
    return true;
  }
};

// "raw, smt or fit"
std::string KindKeywords() {
  return JoinColumn(kCurveKinds, &CCurveKindInfo::keyword, ", ", " or ");
}

int KindOf(const std::string& name) {
  const int i = KeywordIndex(kCurveKinds, name);
  if (i < 0) throw UsageError("--kind must be " + KindKeywords());
  return kCurveKinds[static_cast<size_t>(i)].stored;
}

void PrintList(const CReplicateDB& db, const CRawDataEditor& editor) {
  std::vector<std::vector<std::string>> rows = {CRawDataEditor::ListHeadings()};
  for (int r = 1; r <= db.GetReplicateCount(); ++r) rows.push_back(editor.ListRow(r));
  std::vector<std::size_t> widths(rows[0].size(), 0);
  for (const auto& row : rows)
    for (std::size_t k = 0; k < row.size() && k < widths.size(); ++k)
      widths[k] = std::max(widths[k], row[k].size());
  for (const auto& row : rows) {
    std::string line;
    for (std::size_t k = 0; k < row.size(); ++k) {
      std::string cell = row[k];
      if (k + 1 < row.size()) cell.resize(widths[k] + 2, ' ');
      line += cell;
    }
    while (!line.empty() && line.back() == ' ') line.pop_back();
    std::printf("%s\n", line.c_str());
  }
}

int RunEdit(const EditOptions& o) {
  const bool exporting = o.exportOption && o.exportOption->count() > 0;
  if (o.commands.empty() && !exporting && !o.list)
    throw UsageError("give at least one COMMAND, --export or --list");
  const int kind = KindOf(o.kind);

  CEditUi ui;
  CScopedUserInterface scoped(ui);
  const std::string& target = o.output.empty() ? o.project : o.output;
  // Refused before anything is changed: an export over the project (or over
  // the file the commands' result is saved to), or onto a device.
  const std::vector<std::string> exportInputs{o.project, o.commands.empty() ? o.project : target};
  if (exporting && !CheckOutputTarget("edit", o.exportTo.second, exportInputs)) return kExitFailure;
  if (!o.commands.empty() && !o.output.empty() && !CheckOutputTarget("edit", o.output, {}))
    return kExitFailure;
  COLMDoc doc;
  doc.SetHistory(false);  // nothing is undone here: change replicates in place
  if (!doc.Open(o.project)) return kExitFailure;

  // The commands run in one editor, as typed one after another, and make one
  // step of the document; the first failure ends the run unsaved.
  if (!o.commands.empty()) {
    const bool ok = static_cast<bool>(
        doc.Modify("Edit Data", kChangeData | kChangeSettings, [&](CReplicateDB& db, CGEList&) {
          CRawDataEditor editor(db);
          for (std::size_t k = 0; k < o.commands.size(); ++k) {
            if (!editor.Apply(o.commands[k])) {
              std::fflush(stdout);
              std::fprintf(stderr,
                           "olm edit: command %zu \"%s\" failed; the project was not saved\n",
                           k + 1, o.commands[k].c_str());
              return false;
            }
          }
          CRawDataEditor::UpdateDocument(db);
          return true;
        }));
    if (!ok) return kExitFailure;
    if (!doc.SaveAs(target)) {
      std::fprintf(stderr, "olm edit: the project was not saved to %s\n", target.c_str());
      return kExitFailure;
    }
  }
  CRawDataEditor editor(doc.MutableDatabase());
  if (exporting && !editor.Export(o.exportTo.first, o.exportTo.second, kind, exportInputs))
    return kExitFailure;
  if (o.list) PrintList(doc.Database(), editor);
  return kExitOk;
}

}  // namespace

Command AddEditCommand(CLI::App& app) {
  auto o = std::make_shared<EditOptions>();
  CLI::App* sub = app.add_subcommand(
      "edit",
      "Run raw-data editor commands on a saved project and save it when all succeed, e.g. "
      "\"ds1_c4_raw = ds1_c3_raw * 2\", \"zero, 1, 2\", \"deleterep, 2\", "
      "\"createrep, copy, raw, 1, 2, 1, 3\", \"reformat, 1, 1, 2, 100\"");
  sub->add_option("PROJECT", o->project, "Project file")->required();
  sub->add_option("COMMAND", o->commands, "Editor commands, run in order");
  sub->add_option("-o,--output", o->output, "Save to this file instead of PROJECT");
  o->exportOption =
      sub->add_option("--export", o->exportTo,
                      "After the commands, write the x and y data of replicate REPLICATE to FILE")
          ->type_name("REPLICATE FILE");
  sub->add_option("--kind", o->kind, "Data that --export writes: " + KindKeywords())
      ->capture_default_str();
  sub->add_flag("--list", o->list, "Print the replicate list after the commands");
  return {sub, [o] { return RunEdit(*o); }};
}

}  // namespace olm::cli
