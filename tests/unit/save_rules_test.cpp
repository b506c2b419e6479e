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
  EXPECT_FALSE(NewClearsPicture(PromptOutcome::AlreadyAsking));
}

TEST(PromptOutcome, ExitGoesOnOnlyWhenNothingUnsavedIsLost) {
  EXPECT_TRUE(ExitMayContinue(PromptOutcome::NothingToAsk));
  EXPECT_TRUE(ExitMayContinue(PromptOutcome::Discarded));
  EXPECT_TRUE(ExitMayContinue(PromptOutcome::Saved));
  // The user chose to keep the picture and it is not saved.
  EXPECT_FALSE(ExitMayContinue(PromptOutcome::DialogCancelled));
  EXPECT_FALSE(ExitMayContinue(PromptOutcome::SaveFailed));
  // Another prompt is open: its answer decides.
  EXPECT_FALSE(ExitMayContinue(PromptOutcome::AlreadyAsking));
}

TEST(PromptOutcome, AFailedSaveSaysWhereWhyAndWhetherThePictureIsThere) {
  std::string text = PromptSaveFailedText("R:\\shots\\a.bmp", "Access is denied.", true);
  EXPECT_EQ(text,
            "The picture could not be saved as R:\\shots\\a.bmp.\n\nAccess is denied.\n\n"
            "It is still in the picture area, not saved.");
  text = PromptSaveFailedText("R:\\a.bmp", "", false);
  EXPECT_EQ(text.find("still"), std::string::npos) << text;
  EXPECT_EQ(text.find("\n\n\n"), std::string::npos) << "an empty reason leaves no gap";
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
