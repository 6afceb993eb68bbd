// Loading damaged packages: every prefix of a real package, and every byte of
// its record set to 0x00, 0xFF and its value with the top bit flipped. Each
// load either succeeds or gives the corrupted report, for the wizard, a
// silent run (which goes on to install) and the uninstaller written by an
// installation. The fake machine fails the test on any read past the end of
// the file.
#include <gtest/gtest.h>

#include <vector>

#include "fake/wizard_run.h"

namespace scrsetup {
namespace {

using testing::FakeMachine;
using testing::EveryPartPackage;
using testing::WizardRun;

constexpr char kCorrupted[] = "The file is corrupted. Setup can not continue.";

enum class Run { kWizard, kSilent, kUninstaller };
enum class Outcome { kLoaded, kCorruptedReport, kNeither };

// The uninstaller a silent installation of FullPackage writes.
std::string InstalledUninstaller() {
  FakeMachine machine;
  WizardRun run(machine, EveryPartPackage().Bytes(), "setup.exe -silent C:\\Savers");
  return machine.files.Contents("C:\\Savers\\entfernen Aurora.exe");
}

Outcome Load(const std::string& bytes, Run kind) {
  FakeMachine machine;
  WizardRun run(machine, bytes, kind == Run::kSilent ? "setup.exe -silent" : "setup.exe");
  const std::vector<testing::ShownMessage>& shown = machine.dialogs.shown;
  const bool terminated = machine.app.terminated;
  const bool reported = !shown.empty() && shown.back().text == kCorrupted;
  switch (kind) {
    case Run::kWizard:
      if (shown.empty() && !terminated) return Outcome::kLoaded;
      return shown.size() == 1 && reported && terminated ? Outcome::kCorruptedReport
                                                         : Outcome::kNeither;
    case Run::kSilent:
      // Never a window; exit code 1 is the report, 0 and 2 end an installation.
      if (!shown.empty() || !terminated) return Outcome::kNeither;
      return run.setup().exit_code() == kExitPackageUnreadable ? Outcome::kCorruptedReport
                                                               : Outcome::kLoaded;
    case Run::kUninstaller:
      if (!terminated) return Outcome::kNeither;
      if (reported) return Outcome::kCorruptedReport;
      return run.window().hidden_for_exit ? Outcome::kLoaded : Outcome::kNeither;
  }
  return Outcome::kNeither;
}

struct Subject {
  const char* name;
  std::string bytes;
  Run kind;
};

std::vector<Subject> Subjects() {
  const std::string setup = EveryPartPackage().Bytes();
  return {{"wizard", setup, Run::kWizard},
          {"silent", setup, Run::kSilent},
          {"uninstaller", InstalledUninstaller(), Run::kUninstaller}};
}

TEST(LoadingSweep, EveryShortenedPackageIsReportedAsCorrupted) {
  for (const Subject& subject : Subjects()) {
    ASSERT_EQ(Load(subject.bytes, subject.kind), Outcome::kLoaded) << subject.name;
    std::vector<size_t> wrong;
    for (size_t length = 0; length < subject.bytes.size(); ++length) {
      if (Load(subject.bytes.substr(0, length), subject.kind) != Outcome::kCorruptedReport) {
        wrong.push_back(length);
      }
    }
    EXPECT_TRUE(wrong.empty()) << subject.name << ", lengths " << ::testing::PrintToString(wrong);
  }
}

TEST(LoadingSweep, ADamagedRecordByteLoadsOrIsReportedAsCorrupted) {
  for (const Subject& subject : Subjects()) {
    const size_t record_start = subject.bytes.size() - kTailSize;
    std::vector<std::pair<size_t, int>> wrong;  // record offset, byte value
    for (size_t offset = 0; offset < kRecordSize; ++offset) {
      const auto original = static_cast<unsigned char>(subject.bytes[record_start + offset]);
      for (int value : {0x00, 0xFF, original ^ 0x80}) {
        if (value == original) continue;
        std::string damaged = subject.bytes;
        damaged[record_start + offset] = static_cast<char>(value);
        if (Load(damaged, subject.kind) == Outcome::kNeither) wrong.emplace_back(offset, value);
      }
    }
    EXPECT_TRUE(wrong.empty()) << subject.name << ", (offset, value) "
                               << ::testing::PrintToString(wrong);
  }
}

}  // namespace
}  // namespace scrsetup
