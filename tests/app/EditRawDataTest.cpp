// The raw-data editor dialog: the "Action" commands through the command box
// change the grid and undo restores it, the grid over a million rows, cell
// operations with their messages, the command box's history and completion,
// and the clipboard text of a selection.
#include <gtest/gtest.h>

#include <QAbstractItemView>
#include <QApplication>
#include <QClipboard>
#include <QComboBox>
#include <QCompleter>
#include <QLabel>
#include <QLineEdit>
#include <QRadioButton>
#include <QTest>
#include <QTreeWidget>

#include "DataDialogsTestUtil.hpp"
#include "app/EditRawData.hpp"
#include "editing/EditCommands.hpp"
#include "ui/CommandBox.hpp"

namespace olm::test {
namespace {

class EditRawDataTest : public ::testing::Test {
 protected:
  void SetUp() override {
    AddMadeUpReplicate(doc, 5, "first");
    AddMadeUpReplicate(doc, 5, "second");
  }
  QString Cell(CEditRawData& dlg, int row, int column) const {
    return dlg.grid->model()->index(row, column).data().toString();
  }
  // Types a command into the command box and presses Enter.
  void Type(CEditRawData& dlg, const QString& text) {
    dlg.command->clear();
    QTest::keyClicks(dlg.command, text);
    dlg.command->Completer()->popup()->hide();
    QTest::keyClick(dlg.command, Qt::Key_Return);
  }
  // Selects cells (rows and columns from 0) of the grid.
  void Select(CEditRawData& dlg, int top, int left, int bottom, int right) {
    auto* model = dlg.grid->model();
    dlg.grid->selectionModel()->select(
        QItemSelection(model->index(top, left), model->index(bottom, right)),
        QItemSelectionModel::ClearAndSelect);
  }

  CRecordingUi ui;
  COLMDoc doc;
};

TEST_F(EditRawDataTest, GridShowsTheReplicateWithLabelledRowsAndColumns) {
  CEditRawData dlg(nullptr, doc, 2, kCurveRaw);
  EXPECT_EQ(dlg.windowTitle(), "Edit Raw Data & View Smoothened and Fitted Data");
  ASSERT_EQ(dlg.list->topLevelItemCount(), 2);
  EXPECT_EQ(dlg.list->columnCount(), 9);
  EXPECT_EQ(dlg.list->topLevelItem(1)->text(1), "second");
  EXPECT_EQ(dlg.list->topLevelItem(1)->text(2), "5");
  auto* model = dlg.grid->model();
  ASSERT_EQ(std::pair(model->rowCount(), model->columnCount()), std::pair(5, 3));
  EXPECT_EQ(model->headerData(0, Qt::Horizontal).toString(), "ds2_c1_raw\nx\nmm");
  EXPECT_EQ(model->headerData(4, Qt::Vertical).toString(), "ds2_r5");
  EXPECT_EQ(Cell(dlg, 1, 1), "1.5");  // 0.5 * 2 + 2 * 0.25 with "%-g"
  EXPECT_EQ(Cell(dlg, 4, 2), "50");
  // The smoothed view of an unprocessed replicate is empty.
  dlg.smoothedButton->click();
  EXPECT_EQ(model->rowCount(), 0);
  dlg.rawButton->click();
  dlg.list->setCurrentItem(dlg.list->topLevelItem(0));
  EXPECT_EQ(dlg.ShownReplicate(), 1);
  EXPECT_EQ(model->headerData(0, Qt::Vertical).toString(), "ds1_r1");
}

TEST_F(EditRawDataTest, ActionCommandsThroughTheCommandBoxChangeTheGridAndUndoRestoresIt) {
  CEditRawData dlg(nullptr, doc, 1, kCurveRaw);
  auto* model = dlg.grid->model();
  // Each template of the "Action" list, then the command typed over it.
  ASSERT_EQ(dlg.action->count(), 7);
  struct {
    int action;
    const char* command;
  } const steps[] = {
      {0, "ds1_c4_raw = ds1_c2_raw * 2"},  // a new column
      {3, "zero, 1, 3"},                   // column 3 starts at 0
      {5, "inv, 1, 1"},                    // negates column 1
      {6, "zeroinv, 1, 2"},
      {4, "createrep, made, raw, 1, 1, 2, 3"},
      {1, "deleterep, 2"},
  };
  std::vector<QString> before;
  for (const auto& step : steps) {
    SCOPED_TRACE(step.command);
    dlg.action->activated(step.action);
    EXPECT_EQ(dlg.command->text().toStdString(),
              CRawDataEditor::ActionTemplates()[static_cast<size_t>(step.action)]);
    before.push_back(Cell(dlg, 1, 0) + "|" + Cell(dlg, 1, 1) + "|" + Cell(dlg, 1, 2) + "|" +
                     QString::number(model->columnCount()) + "|" +
                     QString::number(dlg.list->topLevelItemCount()));
    const size_t steps0 = doc.UndoCount();
    Type(dlg, step.command);
    EXPECT_EQ(doc.UndoCount(), steps0 + 1);  // one undo step per command
    EXPECT_TRUE(dlg.command->text().isEmpty()) << ui.Last();
  }
  EXPECT_EQ(model->columnCount(), 4);
  EXPECT_EQ(Cell(dlg, 1, 3), "3");              // 2 * 1.5
  EXPECT_EQ(Cell(dlg, 1, 2), "10");             // 20 - 10
  EXPECT_EQ(Cell(dlg, 1, 0), "-2");             // negated
  EXPECT_EQ(Cell(dlg, 1, 1), "-0.75");          // -(1.5 - 0.75)
  EXPECT_EQ(dlg.list->topLevelItemCount(), 2);  // created "made", then deleted 2
  EXPECT_EQ(dlg.list->topLevelItem(1)->text(1), "made");
  // Undo walks back through the grid's states.
  for (size_t i = before.size(); i-- > 0;) {
    ASSERT_TRUE(doc.Undo());
    EXPECT_EQ(Cell(dlg, 1, 0) + "|" + Cell(dlg, 1, 1) + "|" + Cell(dlg, 1, 2) + "|" +
                  QString::number(model->columnCount()) + "|" +
                  QString::number(dlg.list->topLevelItemCount()),
              before[i])
        << steps[i].command;
  }
  // An assignment's scalar value goes to the status field.
  Type(dlg, "ds1_c3_raw = 7");
  EXPECT_EQ(Cell(dlg, 4, 2), "7");
  EXPECT_EQ(dlg.status->text(), "7");
}

TEST_F(EditRawDataTest, BadCommandsShowTheirMessagesAndChangeNothing) {
  CEditRawData dlg(nullptr, doc, 1, kCurveRaw);
  const QString cell = Cell(dlg, 0, 1);
  const struct {
    const char* command;
    const char* message;
  } bad[] = {{"ds1_c2_raw = ds1_c2_raw +", "Invalid expression"},
             {"ds1_c2_smt = 1", "Cannot modify smoothened or fitted data."},
             {"ds1_c9_raw = 1", "Invalid variable name."},
             {"deleterep 1", "Unrecognized command"},
             {"deleterep, 7", "Invalid replicate number"},
             {"createrep, x, Raw, 1, 1, 1, 2", "Invalid data type"},
             {"reformat, 1, 1, 1, 5", "Must process data before reformatting"}};
  for (const auto& b : bad) {
    SCOPED_TRACE(b.command);
    Type(dlg, b.command);
    EXPECT_EQ(ui.Last(), b.message);
    EXPECT_EQ(dlg.command->text(), b.command);  // kept for correcting
    EXPECT_EQ(doc.UndoName(), "Made up");  // nothing changed: no undo step
  }
  EXPECT_EQ(Cell(dlg, 0, 1), cell);
  EXPECT_EQ(dlg.grid->model()->columnCount(), 3);
  EXPECT_EQ(doc.Database().GetReplicateCount(), 2);
  // A command failing half-way keeps the pairs before the failure as one step.
  const QString first = Cell(dlg, 1, 0);
  EXPECT_FALSE(dlg.ApplyCommand("inv, 1, 1, 1, 9"));
  EXPECT_EQ(ui.Last(), "Invalid column number");
  EXPECT_EQ(Cell(dlg, 1, 0), "-" + first);
  EXPECT_EQ(doc.UndoName(), "Edit Data");
  ASSERT_TRUE(doc.Undo());
  EXPECT_EQ(Cell(dlg, 1, 0), first);
}

TEST_F(EditRawDataTest, GridOverAMillionRows) {
  AddMadeUpReplicate(doc, 1000000, "million");
  CEditRawData dlg(nullptr, doc, 3, kCurveRaw);
  auto* model = dlg.grid->model();
  ASSERT_EQ(model->rowCount(), 1000000);
  EXPECT_EQ(Cell(dlg, 0, 0), "1");
  EXPECT_EQ(Cell(dlg, 999999, 0), "1e+06");
  EXPECT_EQ(Cell(dlg, 999999, 2), "1e+07");
  EXPECT_EQ(model->headerData(999999, Qt::Vertical).toString(), "ds3_r1000000");
  dlg.show();
  dlg.grid->scrollToBottom();
  QApplication::processEvents();
  EXPECT_EQ(dlg.grid->rowAt(dlg.grid->viewport()->height() - 2), 999999);
}

TEST_F(EditRawDataTest, CellOperationsAndTheirMessages) {
  CEditRawData dlg(nullptr, doc, 1, kCurveRaw);
  auto* model = dlg.grid->model();
  EXPECT_FALSE(dlg.DeleteRows());
  EXPECT_EQ(ui.Last(), "Nothing selected");
  // Rows 2 and 3, after the question.
  Select(dlg, 1, 0, 2, 1);
  EXPECT_EQ(dlg.range->text(), "r2c1:r3c2");
  ui.QueueAnswer(false);
  EXPECT_FALSE(dlg.DeleteRows());
  EXPECT_EQ(ui.questions.back(), "2 row(s) will be deleted?");
  EXPECT_EQ(model->rowCount(), 5);
  EXPECT_TRUE(dlg.DeleteRows());
  EXPECT_EQ(model->rowCount(), 3);
  EXPECT_EQ(Cell(dlg, 1, 0), "4");
  EXPECT_EQ(doc.Database().Replicate(1).pointCount, 3);
  Select(dlg, 0, 0, 2, 0);
  EXPECT_FALSE(dlg.DeleteRows());
  EXPECT_EQ(ui.Last(), "Cannot delete all rows");
  // Columns: the x and y columns stay; all columns cannot go.
  Select(dlg, 0, 0, 0, 2);
  EXPECT_FALSE(dlg.DeleteColumns());
  EXPECT_EQ(ui.Last(), "Cannot delete all columns");
  Select(dlg, 0, 0, 0, 0);
  EXPECT_FALSE(dlg.DeleteColumns());
  EXPECT_EQ(ui.Last(), "Invalid column");
  Select(dlg, 0, 2, 0, 2);
  EXPECT_EQ(dlg.range->text(), "r1c3");
  EXPECT_TRUE(dlg.DeleteColumns());
  EXPECT_EQ(ui.questions.back(), "1 column(s) will be deleted?");
  EXPECT_EQ(model->columnCount(), 2);
  // Paste within the grid, and beyond it.
  Select(dlg, 1, 0, 1, 0);
  EXPECT_TRUE(dlg.Paste("7\t8\n9\t10\n"));
  EXPECT_EQ(Cell(dlg, 2, 1), "10");
  Select(dlg, 1, 0, 1, 0);
  EXPECT_FALSE(dlg.Paste("1\t2\t3\n"));
  EXPECT_EQ(ui.Last(), "Paste boundary exceeds current number of rows or columns");
  // Smoothed data are not edited.
  dlg.smoothedButton->click();
  EXPECT_FALSE(dlg.DeleteRows());
  // Every operation was one step; undo brings back the five rows.
  dlg.rawButton->click();
  ASSERT_TRUE(doc.Undo());
  ASSERT_TRUE(doc.Undo());
  ASSERT_TRUE(doc.Undo());
  EXPECT_EQ(std::pair(model->rowCount(), model->columnCount()), std::pair(5, 3));
}

TEST_F(EditRawDataTest, SelectionCopiesAsTabSeparatedText) {
  CEditRawData dlg(nullptr, doc, 1, kCurveRaw);
  Select(dlg, 0, 0, 1, 2);
  EXPECT_EQ(dlg.grid->SelectionText(), "1\t0.75\t10\n2\t1.5\t20\n");
  dlg.grid->setFocus();
  QTest::keySequence(dlg.grid, QKeySequence::Copy);
  EXPECT_EQ(QApplication::clipboard()->text(), "1\t0.75\t10\n2\t1.5\t20\n");
  // A copied block pastes back.
  Select(dlg, 3, 0, 3, 0);
  ASSERT_TRUE(dlg.Paste(QApplication::clipboard()->text()));
  EXPECT_EQ(Cell(dlg, 4, 2), "20");
}

TEST_F(EditRawDataTest, CommandBoxRemembersCommandsAndCompletesNames) {
  CEditRawData dlg(nullptr, doc, 1, kCurveRaw);
  Type(dlg, "ds1_c3_raw = 1");
  Type(dlg, "ds1_c3_raw = 2");
  QTest::keyClicks(dlg.command, "half");
  QTest::keyClick(dlg.command, Qt::Key_Up);
  EXPECT_EQ(dlg.command->text(), "ds1_c3_raw = 2");
  QTest::keyClick(dlg.command, Qt::Key_Up);
  EXPECT_EQ(dlg.command->text(), "ds1_c3_raw = 1");
  QTest::keyClick(dlg.command, Qt::Key_Down);
  QTest::keyClick(dlg.command, Qt::Key_Down);
  EXPECT_EQ(dlg.command->text(), "half");  // back to what was being typed
  // Completion of variable names and command words.
  dlg.command->clear();
  QTest::keyClicks(dlg.command, "x = ds2_c");
  EXPECT_EQ(dlg.command->WordAtCursor(), "ds2_c");
  QCompleter* completer = dlg.command->Completer();
  EXPECT_EQ(completer->completionCount(), 9);  // three columns, three kinds
  completer->activated(QStringLiteral("ds2_c3_raw"));
  EXPECT_EQ(dlg.command->text(), "x = ds2_c3_raw");
  dlg.command->clear();
  QTest::keyClicks(dlg.command, "delete");
  EXPECT_EQ(completer->currentCompletion(), "deleterep");
}

}  // namespace
}  // namespace olm::test
