// Mail through Simple MAPI: which mail program counts, what each answer
// leads to (done, the "mailto:" hand-off, a message), and the message.
#include <gtest/gtest.h>

#include <set>

#include "image/mapi_rules.h"

namespace fw::mapi {
namespace {

TEST(MapiRegistration, TheUsersChoiceComesBeforeTheMachines) {
  EXPECT_EQ(ChosenMailProgram("Mozilla Thunderbird", "Microsoft Outlook"), "Mozilla Thunderbird");
  EXPECT_EQ(ChosenMailProgram("", "Microsoft Outlook"), "Microsoft Outlook");
  EXPECT_EQ(ChosenMailProgram("", ""), "");
}

TEST(MapiRegistration, AMailProgramCountsOnlyWithTheLibraryThatTakesTheCalls) {
  EXPECT_TRUE(TakesSimpleMapi("Mozilla Thunderbird", "C:\\Program Files\\Mozilla Thunderbird\\mozMapi32.dll", ""));
  // Outlook names the system's stub and an installer component.
  EXPECT_TRUE(TakesSimpleMapi("Microsoft Outlook", "mapi32.dll", "{6F0E1B2A-0000-0000-0000-000000000000}"));
  EXPECT_TRUE(TakesSimpleMapi("Microsoft Outlook", "", "{6F0E1B2A-0000-0000-0000-000000000000}"));
  // A name left behind by a mail program that was removed, or none at all.
  EXPECT_FALSE(TakesSimpleMapi("Old Mail", "", ""));
  EXPECT_FALSE(TakesSimpleMapi("", "C:\\mail.dll", ""));
}

// The order: Simple MAPI, then the keystroke hand-off only where no mail
// program took the file up.
TEST(AfterSendMail, HandedOverOrCancelledEndsThereWithoutAWord) {
  for (bool window : {false, true}) {
    EXPECT_EQ(AfterSendMail(0, window), Next::Done);  // SUCCESS_SUCCESS
    EXPECT_EQ(AfterSendMail(1, window), Next::Done);  // MAPI_USER_ABORT
  }
}

TEST(AfterSendMail, NoMailProgramForSimpleMapiGoesOnToTheKeystrokeHandOff) {
  // MAPI_E_NOT_SUPPORTED, with or without a window of its own first.
  EXPECT_EQ(AfterSendMail(26, false), Next::KeysHandOff);
  EXPECT_EQ(AfterSendMail(26, true), Next::KeysHandOff);
  // MAPI_E_FAILURE before any window: the mail program turned it down
  // before the user saw anything.
  EXPECT_EQ(AfterSendMail(2, false), Next::KeysHandOff);
}

TEST(AfterSendMail, EveryOtherAnswerIsAFailureToReport) {
  // MAPI_E_FAILURE once a window was up: the user has seen the mail
  // program; a second new message would only confuse.
  EXPECT_EQ(AfterSendMail(2, true), Next::ReportFailure);
  for (unsigned long code = 3; code <= 40; ++code) {
    if (code == 26) continue;
    for (bool window : {false, true}) {
      EXPECT_EQ(AfterSendMail(code, window), Next::ReportFailure) << code << " " << window;
    }
  }
}

TEST(FailureMessage, SaysTheMailProgramCouldNotTakeTheFileAndWhy) {
  EXPECT_EQ(FailureMessage(11),
            "The mail program could not take the file: the file was not found. It may have been moved or deleted "
            "since it was saved.");
  EXPECT_EQ(FailureMessage(2), "The mail program could not take the file: it reported an error.");
  EXPECT_EQ(FailureMessage(3),
            "The mail program could not take the file: signing in to the mail account did not "
            "succeed.");
  EXPECT_EQ(FailureMessage(28), "The mail program could not take the file: the file is too large to attach.");
  EXPECT_EQ(FailureMessage(1234), "The mail program could not take the file: it answered with the unknown code 1234.");
  // Each answer of mapi.h (2 to 28; 7 is unused) in words of its own.
  std::set<std::string> reasons;
  for (unsigned long code = 2; code <= 28; ++code) {
    if (code == 7) continue;
    std::string reason = Reason(code);
    EXPECT_EQ(reason.find("unknown code"), std::string::npos) << code;
    EXPECT_EQ(reason.back(), '.') << code;
    reasons.insert(reason);
  }
  EXPECT_EQ(reasons.size(), 26u);
}

TEST(FileNameOf, IsTheLastPartOfThePath) {
  EXPECT_EQ(FileNameOf("C:\\Shots\\Tom & Jerry 100% #2.bmp"), "Tom & Jerry 100% #2.bmp");
  EXPECT_EQ(FileNameOf("\\\\server\\share\\shot.bmp"), "shot.bmp");
  EXPECT_EQ(FileNameOf("C:/Shots/shot.bmp"), "shot.bmp");
  EXPECT_EQ(FileNameOf("C:shot.bmp"), "shot.bmp");
  EXPECT_EQ(FileNameOf("shot.bmp"), "shot.bmp");
}

}  // namespace
}  // namespace fw::mapi
