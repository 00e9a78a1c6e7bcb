#include <gtest/gtest.h>

#include "TestSupport.hpp"
#include "engine/EngineError.hpp"

namespace olm {
namespace {

TEST(EngineErrorTest, MessagesOfSelectedCodes) {
  EXPECT_STREQ(CEngineError::Message(1), "No raw data defined.");
  EXPECT_STREQ(CEngineError::Message(4), "Gap between zones.");
  EXPECT_STREQ(CEngineError::Message(6), "Cannot fit data. Error in equation solver.");
  EXPECT_STREQ(CEngineError::Message(21),
               "Number of points for smoothing must be odd and between 5 and 25 \nfor 3rd degree "
               "polynomial and between 7 and 25 for 5th order polynomial.");
  EXPECT_STREQ(CEngineError::Message(43), "Text in one replicate title exceeds character limit");
}

TEST(EngineErrorTest, UnlistedCodesAreUnknown) {
  for (int code : {26, 29, 44, 100, -1})
    EXPECT_STREQ(CEngineError::Message(code), "Unknown error.") << code;
}

TEST(EngineErrorTest, LineNumberIsAppendedAfterTheMessagesOwnPeriod) {
  EXPECT_EQ(CEngineError::Text(14, 12), "Input file needs *end as last line. on line number 12.");
  EXPECT_EQ(CEngineError::Text(13, 0), "Invalid input.");
  test::CRecordingUi ui;
  CEngineError::Report(13, 7);
  ASSERT_EQ(ui.messages.size(), 1u);
  EXPECT_EQ(ui.messages[0].first, MessageKind::Error);
  EXPECT_EQ(ui.messages[0].second, "Invalid input. on line number 7.");
}

TEST(EngineErrorTest, CodeZeroShowsBothMessagesAndTerminatesWithStatus1) {
  test::CRecordingUi ui;
  try {
    CEngineError::Report(0);
    FAIL() << "code 0 must not return";
  } catch (const test::TerminateCalled& t) {
    EXPECT_EQ(t.status, 1);
  }
  EXPECT_EQ(ui.Texts(), (std::vector<std::string>{"Invalid database.",
                                                   "Severe error. Terminating program."}));
}

TEST(EngineErrorDeathTest, CodeZeroEndsTheProcessByDefault) {
  EXPECT_EXIT(CEngineError::Report(0), ::testing::ExitedWithCode(1),
              "Severe error. Terminating program.");
}

}  // namespace
}  // namespace olm
