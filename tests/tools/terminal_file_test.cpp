#include "terminal_file.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

#include "terminal_text.h"

namespace drevanti::tool {
namespace {

std::string fixture(const std::string& name) {
  return std::string(std::getenv("DREVANTI_FIXTURES")) + "/tools/" + name;
}

std::string errorOf(std::string_view text) {
  try {
    parseTerminals(text, "in.txt");
  } catch (const InputError& e) {
    return e.what();
  }
  return "no error";
}

TEST(TerminalFile, ReadsPlainPairsWithCommentsAndBlankLines) {
  const auto instances = parseTerminals("# corners\n\n0 0\n1 0  # right\n\t1 1\r\n0 1\n", "f");
  ASSERT_EQ(instances.size(), 1u);
  const auto& t = instances[0].terminals;
  ASSERT_EQ(t.size(), 4u);
  EXPECT_EQ(t[1].x, 1);
  EXPECT_EQ(t[1].y, 0);
  EXPECT_EQ(t[2].x, 1);
  EXPECT_EQ(t[2].y, 1);
}

TEST(TerminalFile, ReadsFilesAsWindowsEditorsSaveThem) {
  // A UTF-8 byte order mark and CRLF line ends.
  const auto instances = parseTerminals(
      "\xEF\xBB\xBF"
      "0 0\r\n10 0\r\n10 10\r\n0 10\r\n",
      "f");
  ASSERT_EQ(instances.size(), 1u);
  EXPECT_EQ(instances[0].terminals.size(), 4u);
  EXPECT_EQ(instances[0].terminals[0].x, 0);
  EXPECT_EQ(parseTerminals("\xEF\xBB\xBF"
                           "1\r\n3\r\n0 0\r\n1 0\r\n0 1\r\n",
                           "f")
                .size(),
            1u);
}

TEST(TerminalFile, EchoesAShortSafeExcerptOfABadToken) {
  // Cut to forty bytes; escape sequences and invisible bytes shown, not passed to the terminal.
  EXPECT_EQ(errorOf("0 0\n1 0\n" + std::string(900, '7') + "x 5\n"),
            "in.txt:3: '" + std::string(40, '7') + "...' is not a number");
  EXPECT_EQ(errorOf("0 0\n1 0\n\x1b[2J\xEF\xBB\xBF 5\n"),
            "in.txt:3: '\\x1b[2J\\xef\\xbb\\xbf' is not a number");
  // Lines past any sane length are refused as soon as that is clear, not read whole.
  EXPECT_EQ(errorOf("0 0\n" + std::string(10'000'000, ' ') + "\n"),
            "in.txt:2: the line is longer than 1000 characters: not a file of terminals");
}

TEST(TerminalFile, ReadsOrLibraryInstancesWithBareDecimalPoints) {
  const auto instances = readTerminalFile(fixture("orlib_two.txt"));
  ASSERT_EQ(instances.size(), 2u);
  EXPECT_EQ(instances[0].terminals.size(), 4u);
  ASSERT_EQ(instances[1].terminals.size(), 5u);
  EXPECT_DOUBLE_EQ(instances[1].terminals[2].y, 0.8183892);
  EXPECT_DOUBLE_EQ(instances[1].terminals[0].x, 0.1);
}

TEST(TerminalFile, NamesFileLineAndProblemForBadInput) {
  EXPECT_EQ(errorOf("0 0\n1 0\nabc 2\n"), "in.txt:3: 'abc' is not a number");
  EXPECT_EQ(errorOf("0 0\n1 0\n2 inf\n"), "in.txt:3: 'inf' is not a finite number");
  EXPECT_EQ(errorOf("0 0\n1 0\nnan 2\n"), "in.txt:3: 'nan' is not a finite number");
  EXPECT_EQ(errorOf("0 0\n1 0\n2 1e999\n"), "in.txt:3: '1e999' is not a number");
  EXPECT_EQ(errorOf("0 0\n1 0\n2 5x\n"), "in.txt:3: '5x' is not a number");
  EXPECT_EQ(errorOf("0 0\n1 0\n"), "in.txt:1: 2 terminals; at least 3 are needed");
  EXPECT_EQ(errorOf("0 0\n1 0\n2 5\n\n1 0\n"), "in.txt:5: duplicate of the terminal on line 2");
  EXPECT_EQ(errorOf("0 0\n-0 5\n2 5\n0 -0\n"), "in.txt:4: duplicate of the terminal on line 1");
  EXPECT_EQ(errorOf("0 0 1\n1 0\n2 5\n"), "in.txt:1: expected an 'x y' pair, found 3 values");
  EXPECT_EQ(errorOf("# nothing\n\n"), "in.txt:1: no terminals in the file");
  EXPECT_EQ(errorOf("2\n3\n0 0\n1 0\n0 1\n3\n0 0\n1 0\n"),
            "in.txt:8: the file ends where an 'x y' pair was expected");
  EXPECT_EQ(errorOf("1.5\n3\n0 0\n1 0\n0 1\n"),
            "in.txt:1: the number of instances must be a whole number, found '1.5'");
  EXPECT_EQ(errorOf("0\n"), "in.txt:1: the file holds no instance");
  EXPECT_EQ(errorOf("1\n3\n0 0\n1 0\n0 1\n5 5\n"),
            "in.txt:6: unexpected data after the last instance");
  EXPECT_EQ(errorOf("1\n2\n0 0\n1 0\n"), "in.txt:2: 2 terminals; at least 3 are needed");
}

TEST(TerminalFile, AcceptsFortyNineTerminalsAndRejectsFifty) {
  std::string text;
  for (int i = 0; i < 49; ++i) text += std::to_string(i) + " " + std::to_string(i % 7) + "\n";
  EXPECT_EQ(parseTerminals(text, "f")[0].terminals.size(), 49u);
  text += "100 100\n";
  EXPECT_EQ(errorOf(text), "in.txt:1: 50 terminals; at most 49 fit the solver");
  EXPECT_EQ(errorOf("1\n50\n"), "in.txt:2: 50 terminals; at most 49 fit the solver");
}

TEST(TerminalFile, ReportsAnUnreadableFile) {
  EXPECT_THROW(readTerminalFile(fixture("no_such_file.txt")), InputError);
  EXPECT_THROW(readTerminalFile(std::getenv("DREVANTI_FIXTURES")), InputError);
}

}  // namespace
}  // namespace drevanti::tool
