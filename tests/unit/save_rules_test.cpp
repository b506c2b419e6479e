// What New and exit do with each outcome of the unsaved-image prompt.
#include <gtest/gtest.h>

#include "image/save_rules.h"

namespace fw {
namespace {

TEST(PromptOutcome, NewClearsOnlyWhenNothingIsLost) {
  EXPECT_TRUE(NewClearsPicture(PromptOutcome::NothingToAsk));
  EXPECT_TRUE(NewClearsPicture(PromptOutcome::Discarded));
  EXPECT_TRUE(NewClearsPicture(PromptOutcome::Saved));
  EXPECT_FALSE(NewClearsPicture(PromptOutcome::DialogCancelled));
  EXPECT_FALSE(NewClearsPicture(PromptOutcome::SaveFailed));
}

TEST(PromptOutcome, ExitStopsOnlyWhenTheSaveDialogWasCancelled) {
  EXPECT_TRUE(ExitMayContinue(PromptOutcome::NothingToAsk));
  EXPECT_TRUE(ExitMayContinue(PromptOutcome::Discarded));
  EXPECT_TRUE(ExitMayContinue(PromptOutcome::Saved));
  EXPECT_TRUE(ExitMayContinue(PromptOutcome::SaveFailed));
  EXPECT_FALSE(ExitMayContinue(PromptOutcome::DialogCancelled));
}

TEST(DialogFilter, PipesBecomeNulsWithADoubleNulEnd) {
  std::string f = DialogFilter(kImageFileFilter);
  ASSERT_GE(f.size(), 2u);
  EXPECT_EQ(f[f.size() - 1], '\0');
  EXPECT_EQ(f[f.size() - 2], '\0');
  EXPECT_EQ(f.find('|'), std::string::npos);
  // Five entries: ten pieces.
  int pieces = 0;
  for (std::size_t i = 0; i + 1 < f.size(); ++i) pieces += f[i] == '\0';
  EXPECT_EQ(pieces, 10);
  EXPECT_EQ(std::string(f.c_str()), "Bmp (*.bmp)");
}

}  // namespace
}  // namespace fw
