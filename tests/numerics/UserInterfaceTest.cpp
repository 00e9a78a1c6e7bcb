#include <gtest/gtest.h>

#include "TestSupport.hpp"
#include "numerics/UserInterface.hpp"

namespace olm {
namespace {

TEST(UserInterfaceTest, InstalledInterfaceReceivesMessagesAndIsRestored) {
  {
    test::CRecordingUi ui;
    ShowMessage("hello");
    EXPECT_TRUE(AskUser("Proceed?", QuestionKind::OkCancel));
    ui.QueueAnswer(false, true);
    bool stop = false;
    EXPECT_FALSE(AskUser("Delete?", QuestionKind::YesNo, "t", &stop));
    EXPECT_TRUE(stop);
    EXPECT_EQ(ui.Texts(), std::vector<std::string>{"hello"});
    EXPECT_EQ(ui.questions.size(), 2u);
  }
  EXPECT_NE(dynamic_cast<CStderrUserInterface*>(&UserInterface()), nullptr);
}

TEST(UserInterfaceTest, FormatUsesCLocaleStyle) {
  EXPECT_EQ(Format("%g|%d|%s", 0.5, 3, "x"), "0.5|3|x");
  EXPECT_EQ(Format("%-g", 1e-7), "1e-07");
  EXPECT_EQ(Format("%s", std::string(300, 'a').c_str()).size(), 300u);
}

}  // namespace
}  // namespace olm
