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

TEST(MailStoreConfig, FileComesFromTheEnvironmentElseTheUsualPlacesEachFoundOnce)
{
    test::TempMaildir home;
    ScopedEnvironment environment;
    environment.Set("HOME", home.Root().c_str());
    environment.Set("TALLOWIN_MAILSTORES", "");
    environment.Set("XDG_CONFIG_HOME", "/cfg");
    EXPECT_EQ(MailStoreConfigPath(), "/cfg/tallowin/mailstores.conf");
    environment.Set("XDG_CONFIG_HOME", "");
    EXPECT_EQ(MailStoreConfigPath(), home.Root() / ".config/tallowin/mailstores.conf");
    environment.Set("XDG_CONFIG_HOME", "/elsewhere");
    environment.Set("TALLOWIN_MAILSTORES", (home.Root() / "missing.conf").c_str());
    EXPECT_EQ(MailStoreConfigPath(), home.Root() / "missing.conf");

    environment.Set("MAIL", (home.Root() / "spool").c_str());
    EXPECT_TRUE(LoadMailStoreConfig().empty());

    std::filesystem::create_directories(home.Root() / "Maildir");
    auto entries = LoadMailStoreConfig();
    ASSERT_EQ(entries.size(), 1u);
    EXPECT_EQ(entries[0].path, home.Root() / "Maildir");

    std::ofstream(home.Root() / "missing.conf") << "Other = /srv/other\n";
    entries = LoadMailStoreConfig();
    ASSERT_EQ(entries.size(), 1u);
    EXPECT_EQ(entries[0].name, u"Other");

    // Each usual store is found once.
    test::TempMaildir usual;
    const std::filesystem::path root = usual.Root();
    const std::filesystem::path tb = root / ".thunderbird";
    for (const char* profile : { "a.old", "b.default-release", "c.marked" })
        std::filesystem::create_directories(tb / profile / "Mail" / "Local Folders");
    std::filesystem::create_directories(root / "mail");
    std::ofstream(root / "spool") << "";
    struct Case {
        const char* name;
        std::string profiles;
        const char* mail;
        std::vector<std::string> expected; // paths below the home
    };
    const std::vector<Case> cases = {
        { "install default wins",
            "[Profile0]\nName=old\nIsRelative=1\nPath=a.old\n\n[Profile1]\nPath=c.marked\nDefault=1\n"
            "[Install4F96D1932A9F858E]\nDefault=b.default-release\nLocked=1\n",
            "spool", { "mail", ".thunderbird/b.default-release/Mail/Local Folders", "spool" } },
        { "marked default", "[Profile0]\nPath=a.old\n[Profile1]\nPath=c.marked\nDefault=1\n", nullptr,
            { "mail", ".thunderbird/c.marked/Mail/Local Folders" } },
        { "absolute path, MAIL naming a store already found",
            "[Profile0]\nIsRelative=0\nPath=" + (tb / "a.old").string() + "\n", "mail",
            { "mail", ".thunderbird/a.old/Mail/Local Folders" } },
        { "no profile, missing spool", "[General]\nStartWithLastProfile=1\n", "nothing-here", { "mail" } },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        std::ofstream(tb / "profiles.ini", std::ios::trunc) << c.profiles;
        const std::string mail = c.mail != nullptr ? (root / c.mail).string() : std::string();
        std::vector<std::string> found;
        for (const MailStoreConfigEntry& entry :
            FindUsualMailStores(root, c.mail != nullptr ? mail.c_str() : nullptr, "no-such-user-tallowin"))
            found.push_back(entry.path.lexically_relative(root).string());
        EXPECT_EQ(found, c.expected);
    }
}

} // namespace
} // namespace platform
