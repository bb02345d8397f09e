#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <vector>

#include "update/GostCipher.h"
#include "update/UpdateFileTool.h"

namespace vorlix {
namespace {

struct ToolRun {
    int status = -1;
    std::string out;
    std::string err;
};

ToolRun Tool(const std::vector<std::string>& words, const std::string& input,
             bool terminal = false) {
    std::istringstream in(input);
    std::ostringstream out;
    std::ostringstream err;
    ToolRun run;
    run.status = RunUpdateFileTool(words, in, out, err, terminal);
    run.out = out.str();
    run.err = err.str();
    return run;
}

TEST(UpdateFileTool, EnciphersToOneLineOfWholeBlocksAndDeciphersBack) {
    const std::string otherKey(63, 'a');
    for (const std::vector<std::string>& key : {std::vector<std::string>{},
                                                {"--key-text", otherKey},
                                                {"--key-text=" + otherKey + "0F"}}) {
        std::vector<std::string> encipher{"encipher"};
        encipher.insert(encipher.end(), key.begin(), key.end());
        const ToolRun made =
            Tool(encipher, "[ProgramNames]\nProgram1=Příliš žluťoučký kůň\r\nend\rX");
        ASSERT_EQ(made.status, 0) << made.err;
        ASSERT_TRUE(made.out.ends_with("\r\n"));
        const std::string line = made.out.substr(0, made.out.size() - 2);
        EXPECT_EQ(line.size() % 16, 0u);
        EXPECT_EQ(line.find_first_not_of("0123456789ABCDEF"), std::string::npos);

        std::vector<std::string> decipher{"decipher"};
        decipher.insert(decipher.end(), key.begin(), key.end());
        const ToolRun back = Tool(decipher, made.out + "trailing lines are not read\r\n");
        ASSERT_EQ(back.status, 0) << back.err;
        // CR LF line ends, spaces up to whole blocks of 8 bytes.
        EXPECT_EQ(back.out, "[ProgramNames]\r\nProgram1=Příliš žluťoučký kůň\r\nend\r\nX   ");
    }
    // Escape sequences reach a file as they are, a terminal never.
    // (ESC [ 2 J, the unassigned code 81, three spaces.)
    const std::string escape = EncipherHex("1B5B324A81202020", KeyText());
    EXPECT_EQ(Tool({"decipher"}, escape).out, "\x1b[2J\xC2\x81   ");
    EXPECT_EQ(Tool({"decipher"}, escape, true).out, "?[2J?   ");

    // Another key makes another file.
    EXPECT_NE(Tool({"encipher"}, "x").out, Tool({"encipher", "--key-text", otherKey}, "x").out);
    EXPECT_EQ(Tool({"encipher"}, "").out, "\r\n");
}

TEST(UpdateFileTool, RefusesWhatItCannotDoWithStatusTwo) {
    struct Case {
        std::vector<std::string> words;
        std::string input;
    };
    const Case cases[] = {
        {{"encipher"}, "Program1=Ж\n"},      // no code in Windows-1250
        {{"encipher"}, "Program1=\xC3\n"},   // not UTF-8
        {{"encipher"}, "\xF0\x9F\x98\x80"},  // outside the code page
        {{"encipher", "--key-text", std::string(62, 'A')}, "x"},
        {{"encipher", "--key-text", std::string(62, 'A') + "G"}, "x"},
        {{"encipher", "--key-text"}, "x"},
        {{"decipher"}, "0123456789ABCDEFX\r\n"},  // not a cipher text
        {{}, "x"},
        {{"encrypt"}, "x"},
        {{"encipher", "decipher"}, "x"},
    };
    for (const Case& c : cases) {
        const ToolRun run = Tool(c.words, c.input);
        EXPECT_EQ(run.status, 2) << c.input;
        EXPECT_EQ(run.out, "") << c.input;
        EXPECT_TRUE(run.err.starts_with("vorlix-update-file: ")) << run.err;
    }
    EXPECT_NE(Tool({"encipher"}, "Program1=Ж\n").err.find("line 1"), std::string::npos);

    const ToolRun help = Tool({"--help"}, "");
    EXPECT_EQ(help.status, 0);
    EXPECT_NE(help.out.find("encipher"), std::string::npos);
}

}  // namespace
}  // namespace vorlix
