#include "settings/Launcher.h"

#include "support/FakePlatform.h"
#include "support/PlatformFiles.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

namespace vx {
namespace {

const std::string kApp = "Tesmo";
const std::string kSection = "Utility\\TALVERIN";

TEST(Launcher, WithoutTheLauncherNothingIsWritten)
{
    test::FakePlatform platform;
    RegisterWithLauncher(platform);
    EXPECT_TRUE(platform.userStore.empty());
    platform.userStore[{kApp, kSection, "Version"}] = "";
    RegisterWithLauncher(platform);
    EXPECT_EQ(platform.userStore.size(), 1u);
}

TEST(Launcher, WithTheLauncherSlotOneNamesTheProgram)
{
    test::FakePlatform platform;
    platform.userStore[{kApp, kSection, "Version"}] = "2.10";
    platform.userStore[{kApp, kSection, "Tuika 1"}] = "someone else";
    RegisterWithLauncher(platform);
    EXPECT_EQ(platform.userStore.size(), 3u);
    EXPECT_EQ((platform.userStore[{kApp, kSection, "Tuika 1"}]), "ヴェルモラ");
    EXPECT_EQ((platform.userStore[{kApp, kSection, "TuikaName 1"}]), "Velmorax");
}

TEST(Launcher, UserStoreIsAnIniFilePerApplication)
{
    test::TempDir dir;
    const std::string config = dir.file("config/deeper");
    EXPECT_EQ(UserStorePath(config, kApp), config + test::kSeparator + "Tesmo.ini");
    EXPECT_EQ(UserStorePath(config + test::kSeparator, "../evil"), config + test::kSeparator + ".._evil.ini");
    EXPECT_EQ(UserStorePath(config + test::kSeparator, "..\\evil"), config + test::kSeparator + ".._evil.ini");
    EXPECT_EQ(UserStoreGet(config, kApp, kSection, "Version", "none"), "none");
    UserStoreSave(config, kApp, kSection, "Tuika 1", "ヴェルモラ");
    EXPECT_EQ(UserStoreGet(config, kApp, kSection, "tuika 1", ""), "ヴェルモラ");
    EXPECT_EQ(dir.read("config/deeper/Tesmo.ini"), test::AsNewFile("[Utility\\TALVERIN]\nTuika 1=ヴェルモラ\n"));
}

} // namespace
} // namespace vx
