#include <gtest/gtest.h>

#include <sstream>

#include "ui/ConsoleDialogs.h"

namespace vorlix {
namespace {

struct Console {
    explicit Console(std::string input = "") : in(std::move(input)) {}
    std::istringstream in;
    std::ostringstream out, err;
    ConsoleDialogs dialogs{in, out, err};
};

TEST(ConsoleDialogs, MessagesGoToOutputAndStopMessagesToErrors) {
    Console console;
    console.dialogs.MessageBox("first\r\nsecond", "Caption", MessageIcon::Information,
                               MessageButtons::Ok, DefaultButton::Yes);
    console.dialogs.MessageBox("Error Reading File /x", "Error Read File", MessageIcon::Stop,
                               MessageButtons::Ok, DefaultButton::Yes);
    EXPECT_EQ(console.out.str(), "Caption: first\nsecond\n");
    EXPECT_EQ(console.err.str(), "Error Read File: Error Reading File /x\n");
}

struct QuestionCase {
    const char* input;
    DefaultButton defaultButton;
    Answer expected;
    const char* shown;
};

TEST(ConsoleDialogs, QuestionsReadOneLineAndEndOfInputIsNo) {
    const QuestionCase cases[] = {
        {"y\n", DefaultButton::No, Answer::Yes, "Q: Overwrite? [y/N] "},
        {"YES\n", DefaultButton::No, Answer::Yes, "Q: Overwrite? [y/N] "},
        {"n\n", DefaultButton::Yes, Answer::No, "Q: Overwrite? [Y/n] "},
        {"No\r\n", DefaultButton::Yes, Answer::No, "Q: Overwrite? [Y/n] "},
        {"\n", DefaultButton::No, Answer::No, "Q: Overwrite? [y/N] "},
        {"\n", DefaultButton::Yes, Answer::Yes, "Q: Overwrite? [Y/n] "},
        {"", DefaultButton::No, Answer::No, "Q: Overwrite? [y/N] \n"},
        // The end of the input is nobody's consent, whatever the default.
        {"", DefaultButton::Yes, Answer::No, "Q: Overwrite? [Y/n] \n"},
        {"maybe\n", DefaultButton::Yes, Answer::No, "Q: Overwrite? [Y/n] [Y/n] \n"},
        {"maybe\ny\n", DefaultButton::No, Answer::Yes, "Q: Overwrite? [y/N] [y/N] "},
    };
    for (const auto& [input, defaultButton, expected, shown] : cases) {
        Console console(input);
        EXPECT_EQ(console.dialogs.MessageBox("Overwrite?", "Q", MessageIcon::Question,
                                             MessageButtons::YesNo, defaultButton),
                  expected)
            << input;
        EXPECT_EQ(console.out.str(), shown) << input;
    }
}

TEST(ConsoleDialogs, FileDialogReadsAPathAndAnEmptyLineCancels) {
    FileDialogRequest request;
    request.title = "Choose a file";
    Console chosen("/tmp/a b.txt\n");
    EXPECT_EQ(chosen.dialogs.OpenFile(request), "/tmp/a b.txt");
    EXPECT_EQ(chosen.out.str(), "Choose a file: ");
    Console empty("\n");
    EXPECT_EQ(empty.dialogs.OpenFile(request), std::nullopt);
    Console closed("");
    EXPECT_EQ(closed.dialogs.OpenFile(request), std::nullopt);
}

TEST(ConsoleDialogs, SaveDialogTakesANewNameAndAddsTheExtension) {
    FileDialogRequest request;
    request.title = "Save as";
    request.defaultExtension = "MD5";
    request.mode = FileDialogMode::Save;
    const std::pair<const char*, const char*> cases[] = {
        {"/tmp/new\n", "/tmp/new.MD5"},
        {"/tmp/new.md5\n", "/tmp/new.md5"},
        {"/tmp/.hidden\n", "/tmp/.hidden.MD5"},
        {"/tmp/dir.d/name\n", "/tmp/dir.d/name.MD5"},
    };
    for (const auto& [input, expected] : cases) {
        Console console(input);
        EXPECT_EQ(console.dialogs.OpenFile(request), expected) << input;
    }
    request.mode = FileDialogMode::Open;
    Console open("/tmp/new\n");
    EXPECT_EQ(open.dialogs.OpenFile(request), "/tmp/new");
}

TEST(ConsoleDialogs, EmergencyHelpIsPrintedLikeAStopMessage) {
    Console console;
    console.dialogs.ShowEmergencyHelp("Emergency Help", "line one\r\nline two");
    EXPECT_EQ(console.err.str(), "Emergency Help: line one\nline two\n");
    EXPECT_EQ(console.out.str(), "");
}

}  // namespace
}  // namespace vorlix
