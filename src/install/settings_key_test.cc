#include "install/settings_key.h"

#include <gtest/gtest.h>

#include "fake/fake_machine.h"

namespace scrsetup {
namespace {

using testing::FakeRegistry;
using testing::FakeValue;

constexpr char kKey[] = "Software\\Lumivane\\Aurora";
constexpr RegistryRoot kUser = RegistryRoot::kCurrentUser;

TEST(SettingsKey, PurgeKeepsOnlyStartId) {
  FakeRegistry registry;
  registry.SetValue(kUser, kKey, "StartID", FakeValue{FakeValue::kDword, "", 5});
  registry.SetString(kUser, kKey, "FileName_", "C:\\S\\Aurora.scr");
  registry.SetString(kUser, kKey, "Speed", "3");
  registry.SetString(kUser, std::string(kKey) + "\\PlayList\\Deep", "x", "y");
  PurgeSettings(registry, "Aurora");
  EXPECT_EQ(registry.ValueNames(kUser, kKey), std::vector<std::string>{"StartID"});
  EXPECT_FALSE(registry.HasKey(kUser, std::string(kKey) + "\\PlayList"));

  FakeRegistry other_case;
  other_case.SetString(kUser, kKey, "startid", "1");
  PurgeSettings(other_case, "Aurora");
  EXPECT_TRUE(other_case.ValueNames(kUser, kKey).empty());

  FakeRegistry missing;
  PurgeSettings(missing, "Aurora");
  EXPECT_TRUE(missing.HasKey(kUser, kKey));
}

TEST(SettingsKey, RememberedFileName) {
  FakeRegistry registry;
  EXPECT_EQ(ReadRememberedFileName(registry, "Aurora"), "");
  EXPECT_FALSE(registry.HasKey(kUser, kKey));  // reading never creates the key
  EXPECT_TRUE(WriteRememberedFileName(registry, "Aurora", "C:\\S\\Aurora.scr"));
  EXPECT_EQ(ReadRememberedFileName(registry, "Aurora"), "C:\\S\\Aurora.scr");
  registry.SetValue(kUser, kKey, "FileName_", FakeValue{FakeValue::kExpandString, std::string("C:\\x\0y", 6), 0});
  EXPECT_EQ(ReadRememberedFileName(registry, "Aurora"), "C:\\x");
  registry.SetValue(kUser, kKey, "FileName_", FakeValue{FakeValue::kBinary, "abc", 0});
  EXPECT_EQ(ReadRememberedFileName(registry, "Aurora"), std::nullopt);
}

}  // namespace
}  // namespace scrsetup
