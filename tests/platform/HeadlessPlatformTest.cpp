#include "platform/HeadlessPlatform.h"

#include <gtest/gtest.h>

#ifndef _WIN32
#include <fcntl.h>
#include <unistd.h>
#endif

#include <cstdlib>
#include <string>

#include "support/TestSupport.h"

namespace {

// Pseudo-terminals are POSIX; on Windows the question goes to the console.
#ifndef _WIN32
// A pseudo-terminal: the test types on the master side; the question is asked
// on the slave side, as on the user's terminal.
class PseudoTerminal {
 public:
  PseudoTerminal() {
    m_master = ::posix_openpt(O_RDWR | O_NOCTTY);
    if (m_master >= 0 && ::grantpt(m_master) == 0 && ::unlockpt(m_master) == 0) {
      const char* name = ::ptsname(m_master);
      if (name != nullptr) m_slave = name;
    }
  }
  ~PseudoTerminal() {
    if (m_master >= 0) ::close(m_master);
  }
  bool ok() const { return !m_slave.empty(); }
  const char* device() const { return m_slave.c_str(); }
  void Type(const std::string& s) {
    EXPECT_EQ(::write(m_master, s.data(), s.size()), static_cast<ssize_t>(s.size()));
  }
  // What the program wrote to the terminal (the echo of typed keys included).
  std::string Shown() {
    std::string s;
    char buffer[512];
    ::fcntl(m_master, F_SETFL, O_NONBLOCK);
    for (ssize_t n; (n = ::read(m_master, buffer, sizeof buffer)) > 0;) s.append(buffer, n);
    return s;
  }

 private:
  int m_master = -1;
  std::string m_slave;
};

TEST(TerminalQuestionTest, AskedAndAnsweredOnTheTerminalDevice) {
  PseudoTerminal tty;
  if (!tty.ok()) GTEST_SKIP() << "no pseudo-terminals here";
  tty.Type("y\n");
  EXPECT_TRUE(AskYesNoOnTerminal(tty.device(), "Overwrite?"));
  EXPECT_NE(tty.Shown().find("Overwrite? [y/N] "), std::string::npos);

  tty.Type("no\n");
  EXPECT_FALSE(AskYesNoOnTerminal(tty.device(), "Overwrite?"));
  tty.Type("\n");
  EXPECT_FALSE(AskYesNoOnTerminal(tty.device(), "Overwrite?"));

  // The batch's four answers; anything unknown declines.
  tty.Shown();
  tty.Type("a\n");
  EXPECT_EQ(AskOverwriteOnTerminal(tty.device(), "Overwrite?"), OverwriteAnswer::YesToAll);
  EXPECT_NE(tty.Shown().find("Overwrite? [y/a/n/c] "), std::string::npos);
  for (const auto& [typed, answer] :
       {std::pair{"Y\n", OverwriteAnswer::Yes}, std::pair{"c\n", OverwriteAnswer::Cancel},
        std::pair{"x\n", OverwriteAnswer::No}, std::pair{"\n", OverwriteAnswer::No}}) {
    tty.Type(typed);
    EXPECT_EQ(AskOverwriteOnTerminal(tty.device(), "Overwrite?"), answer) << typed;
  }
}

#endif

TEST(TerminalQuestionTest, NoTerminalMeansNo) {
  testsupport::TempDir dir;
  EXPECT_FALSE(AskYesNoOnTerminal((dir / "no-such-tty").string().c_str(), "Overwrite?"));
}

}  // namespace
