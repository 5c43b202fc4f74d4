#include "MailStoreConfig.h"
#include "MaildirFixture.h"

#include <gtest/gtest.h>

#include <fstream>

namespace platform {
namespace {

TEST(MailStoreConfig, ParsesNameAndPathLines)
{
    const auto entries = ParseMailStoreConfig("# my stores\n"
                                              "Work = /srv/mail/work\n"
                                              "\n"
                                              "  Home   =   ~/Maildir  \r\n"
                                              "no equals sign here\n"
                                              " = /nameless\n"
                                              "Pathless =\n"
                                              "Caf\xc3\xa9 = ~/a/../b/\n"
                                              "Tilde = ~",
        "/home/u");
    ASSERT_EQ(entries.size(), 4u);
    EXPECT_EQ(entries[0].name, u"Work");
    EXPECT_EQ(entries[0].path, "/srv/mail/work");
    EXPECT_EQ(entries[1].name, u"Home");
    EXPECT_EQ(entries[1].path, "/home/u/Maildir");
    EXPECT_EQ(entries[2].name, u"Caf\u00e9");
    EXPECT_EQ(entries[2].path, "/home/u/b/");
    EXPECT_EQ(entries[3].path, "/home/u");
    EXPECT_TRUE(ParseMailStoreConfig("", "/home/u").empty());
}

TEST(MailStoreConfig, FileComesFromTheEnvironment)
{
    test::TempMaildir home;
    test::ScopedEnv homeEnv("HOME", home.Root().string());
    {
        test::ScopedEnv named("TALLOWIN_MAILSTORES", (home.Root() / "stores.conf").string());
        test::ScopedEnv config("XDG_CONFIG_HOME", "/elsewhere");
        EXPECT_EQ(MailStoreConfigPath(), home.Root() / "stores.conf");
    }
    test::ScopedEnv named("TALLOWIN_MAILSTORES", "");
    {
        test::ScopedEnv config("XDG_CONFIG_HOME", "/cfg");
        EXPECT_EQ(MailStoreConfigPath(), "/cfg/tallowin/mailstores.conf");
    }
    test::ScopedEnv config("XDG_CONFIG_HOME", "");
    EXPECT_EQ(MailStoreConfigPath(), home.Root() / ".config/tallowin/mailstores.conf");
}

TEST(MailStoreConfig, FallsBackToMaildirInHome)
{
    test::TempMaildir home;
    test::ScopedEnv homeEnv("HOME", home.Root().string());
    test::ScopedEnv named("TALLOWIN_MAILSTORES", (home.Root() / "missing.conf").string());
    EXPECT_TRUE(LoadMailStoreConfig().empty());

    std::filesystem::create_directories(home.Root() / "Maildir");
    auto entries = LoadMailStoreConfig();
    ASSERT_EQ(entries.size(), 1u);
    EXPECT_EQ(entries[0].path, home.Root() / "Maildir");

    std::ofstream(home.Root() / "missing.conf") << "Other = /srv/other\n";
    entries = LoadMailStoreConfig();
    ASSERT_EQ(entries.size(), 1u);
    EXPECT_EQ(entries[0].name, u"Other");
}

} // namespace
} // namespace platform
