#include "wizard/unshown_wizard_window.h"

#include <gtest/gtest.h>

#include "fake/fake_machine.h"

namespace scrsetup {
namespace {

TEST(UnshownWizardWindow, KeepsTextsAsAWindowDoesAndCloseEndsTheRun) {
  testing::FakeApplication app;
  UnshownWizardWindow window(app);
  EXPECT_EQ(window.Text(Control::edReadme), "");
  window.SetText(Control::edDirectory, "C:\\Savers");
  window.SetText(Control::edReadme, std::string("line 1\r\nline 2\0hidden", 22));
  EXPECT_EQ(window.Text(Control::edDirectory), "C:\\Savers");
  EXPECT_EQ(window.Text(Control::edReadme), "line 1\r\nline 2");
  EXPECT_FALSE(window.IsChecked(Control::rbAccept));
  EXPECT_TRUE(window.IsChecked(Control::rbNotAccept));
  EXPECT_FALSE(app.terminated);
  window.Close();
  EXPECT_TRUE(app.terminated);
}

}  // namespace
}  // namespace scrsetup
