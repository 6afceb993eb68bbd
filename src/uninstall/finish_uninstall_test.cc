#include "uninstall/finish_uninstall.h"

#include <gtest/gtest.h>

#include "fake/fake_machine.h"
#include "entry/program.h"

namespace scrsetup {
namespace {

using testing::FakeMachine;

constexpr char kTarget[] = "C:\\Savers\\UNINST~1.EXE";
constexpr char kCopy[] = "C:\\Temp\\Vornexuninst7.exe";

class FinishUninstallTest : public ::testing::Test {
 protected:
  FinishUninstallTest() {
    machine_.files.program_path = kCopy;
    machine_.files.AddFile(kCopy, "copy");
  }
  int Run(const std::string& arguments) {
    return RunProgram(machine_.platform, std::string("Vornexuninst7.exe ") + arguments);
  }
  FakeMachine machine_;
};

TEST_F(FinishUninstallTest, DeletesOnceFreeSchedulesItsOwnFileAndSaysGoodbye) {
  machine_.files.AddFile(kTarget, "uninstaller");
  machine_.files.Entry(kTarget).open_count = 1;  // the uninstaller still runs
  machine_.system.on_sleep = [this] {
    if (machine_.system.sleeps == 3) machine_.files.Entry(kTarget).open_count = 0;
  };
  EXPECT_EQ(Run("-delfile C:\\Savers\\UNINST~1.EXE \"Screensaver Setup\" \"Aurora is gone.\""), 0);
  EXPECT_FALSE(machine_.files.HasFile(kTarget));
  EXPECT_EQ(machine_.system.sleeps, 3u);
  EXPECT_EQ(machine_.files.scheduled_deletions, std::vector<std::string>{kCopy});
  ASSERT_EQ(machine_.dialogs.shown.size(), 1u);
  EXPECT_EQ(machine_.dialogs.shown[0].caption, "Screensaver Setup");
  EXPECT_EQ(machine_.dialogs.shown[0].text, "Aurora is gone.");
  EXPECT_EQ(machine_.dialogs.shown[0].icon, MessageIcon::kInformation);
  EXPECT_EQ(machine_.app.window, nullptr);  // no wizard in this run
  EXPECT_TRUE(machine_.app.title.empty());
}

TEST_F(FinishUninstallTest, TheMessageNeedsExactlyFourArguments) {
  struct Case {
    const char* arguments;
    bool message;
  } cases[] = {
      {"-delfile C:\\x.exe", false},
      {"-delfile C:\\x.exe Caption", false},
      {"-delfile C:\\x.exe Caption Text", true},
      {"-delfile C:\\x.exe Caption Text More", false},
      {"-delfile C:\\Program Files\\x.exe Caption Text", false},  // unquoted blank splits
  };
  for (const Case& c : cases) {
    machine_.dialogs.shown.clear();
    Run(c.arguments);
    EXPECT_EQ(machine_.dialogs.shown.size(), c.message ? 1u : 0u) << c.arguments;
  }
}

TEST_F(FinishUninstallTest, MissingTargetOrFolderGetsOneAttempt) {
  machine_.files.AddFolder("C:\\Savers");
  for (const char* target : {"C:\\Gone.exe", "C:\\Savers"}) {
    machine_.system.sleeps = 0;
    Run(std::string("-delfile ") + target + " C T");
    EXPECT_EQ(machine_.system.sleeps, 0u) << target;
    EXPECT_TRUE(machine_.files.HasFolder("C:\\Savers"));
    EXPECT_EQ(machine_.dialogs.shown.back().text, "T");
  }
}

TEST_F(FinishUninstallTest, AFileThatNeverGoesIsLeftToTheNextRestart) {
  machine_.files.AddFile(kTarget, "uninstaller");
  machine_.files.Entry(kTarget).read_only = true;
  Run("-delfile C:\\Savers\\UNINST~1.EXE C T");
  EXPECT_TRUE(machine_.files.HasFile(kTarget));
  EXPECT_GE(machine_.system.now - 1000, kDeleteRetryLimitMs);
  EXPECT_LE(machine_.system.now - 1000, kDeleteRetryLimitMs + kDeleteRetryPauseMs);
  EXPECT_EQ(machine_.files.scheduled_deletions, (std::vector<std::string>{kTarget, kCopy}));
  EXPECT_EQ(machine_.dialogs.shown.size(), 1u);
}

}  // namespace
}  // namespace scrsetup
