// The in-program text viewer: reading, finding forwards and backwards with
// wrap-around, reloading, and a file that cannot be read.
#include <gtest/gtest.h>

#include <QFile>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QTemporaryDir>
#include <QtTest/QtTest>

#include "ui/TextViewer.hpp"

namespace olm::test {
namespace {

using ui::CTextViewer;

class TextViewerTest : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_TRUE(m_dir.isValid()); }
  QString Write(const QByteArray& text) {
    const QString path = m_dir.filePath("report.out");
    QFile file(path);
    EXPECT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    file.write(text);
    return path;
  }
  static QPlainTextEdit* Text(CTextViewer& v) { return v.findChild<QPlainTextEdit*>(); }
  static QLineEdit* FindEdit(CTextViewer& v) { return v.findChild<QLineEdit*>(); }
  QTemporaryDir m_dir;
};

TEST_F(TextViewerTest, ShowsTheFileReadOnlyInAMonospaceFont) {
  CTextViewer viewer;
  ASSERT_TRUE(viewer.Open(Write("G11: 0.1\nG22: 1\n")));
  EXPECT_EQ(viewer.Text(), "G11: 0.1\nG22: 1\n");
  EXPECT_TRUE(Text(viewer)->isReadOnly());
  EXPECT_TRUE(QFontInfo(Text(viewer)->font()).fixedPitch());
  EXPECT_TRUE(viewer.windowTitle().startsWith("report.out"));
  EXPECT_TRUE(viewer.isWindow());
  EXPECT_FALSE(viewer.isModal());
}

TEST_F(TextViewerTest, CtrlFFindsNextAndPreviousWithWrapAround) {
  CTextViewer viewer;
  viewer.Open(Write("alpha beta\nbeta gamma\nalpha\n"));
  viewer.show();
  QApplication::setActiveWindow(&viewer);
  ASSERT_TRUE(QTest::qWaitForWindowActive(&viewer));
  QTest::keyClick(&viewer, Qt::Key_F, Qt::ControlModifier);
  QLineEdit* find = FindEdit(viewer);
  ASSERT_TRUE(find->isVisible());
  QTest::keyClicks(find, "alpha");
  QTest::keyClick(find, Qt::Key_Return);
  EXPECT_EQ(Text(viewer)->textCursor().selectionStart(), 0);
  QTest::keyClick(find, Qt::Key_Return);
  EXPECT_EQ(Text(viewer)->textCursor().selectionStart(), 22);
  QTest::keyClick(find, Qt::Key_Return);  // wraps to the first
  EXPECT_EQ(Text(viewer)->textCursor().selectionStart(), 0);
  QTest::keyClick(find, Qt::Key_Return, Qt::ShiftModifier);  // backwards, wrapping
  EXPECT_EQ(Text(viewer)->textCursor().selectionStart(), 22);
  find->setText("delta");
  EXPECT_FALSE(viewer.FindNext());
  EXPECT_TRUE(viewer.Status().contains("Not found"));
  QTest::keyClick(find, Qt::Key_Escape);
  EXPECT_FALSE(find->isVisible());
}

TEST_F(TextViewerTest, ReloadShowsTheNewContentAndAMissingFileSaysWhy) {
  CTextViewer viewer;
  const QString path = Write("first\n");
  viewer.Open(path);
  Write("second run\n");
  EXPECT_TRUE(viewer.Reload());
  EXPECT_EQ(viewer.Text(), "second run\n");
  QFile::remove(path);
  EXPECT_FALSE(viewer.Reload());
  EXPECT_TRUE(viewer.Text().isEmpty());
  EXPECT_TRUE(viewer.Status().contains(path));
}

TEST_F(TextViewerTest, ALongFileIsShownUpToAWholeLineWithinTheLimitAndSaysSo) {
  QByteArray text;
  for (int i = 0; i < 100; ++i) text += QByteArray::number(i).rightJustified(9, '0') + "\n";
  const QString path = Write(text);  // 1000 bytes
  CTextViewer viewer;
  viewer.SetShownBytes(255);
  ASSERT_TRUE(viewer.Open(path));
  // 25 whole lines of 10 bytes; the 26th is cut at the limit and left out.
  EXPECT_EQ(viewer.Text(), QString::fromLatin1(text.left(250)));
  EXPECT_TRUE(viewer.Status().contains("are shown")) << viewer.Status().toStdString();
  // Within the limit: the whole file and its path alone.
  viewer.SetShownBytes(CTextViewer::kDefaultShownBytes);
  ASSERT_TRUE(viewer.Reload());
  EXPECT_EQ(viewer.Text(), QString::fromLatin1(text));
  EXPECT_FALSE(viewer.Status().contains("are shown"));
}

}  // namespace
}  // namespace olm::test
