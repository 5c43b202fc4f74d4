#include "SingleInstance.h"

#include "InstanceListener.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <optional>
#include <string>
#include <unistd.h>

namespace shell {
namespace {

namespace fs = std::filesystem;

class SingleInstanceTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        // A short directory name keeps the socket path within its limit.
        char pattern[] = "/tmp/tw-XXXXXX";
        ASSERT_NE(mkdtemp(pattern), nullptr);
        runtime_ = pattern;
        setenv("XDG_RUNTIME_DIR", runtime_.c_str(), 1);
    }
    void TearDown() override
    {
        listener_.reset();
        unsetenv("XDG_RUNTIME_DIR");
        fs::remove_all(runtime_);
    }

    // Binds a socket at the path of TALLOWIN/Tallowin, listening or not.
    void Bind(bool listen)
    {
        listener_.emplace(InstanceSocketPath(u"TALLOWIN", u"Tallowin"), listen);
        ASSERT_TRUE(listener_->Ready());
    }

    fs::path runtime_;
    std::optional<test::Listener> listener_;
};

TEST_F(SingleInstanceTest, NotFoundWhenNothingListens)
{
    EXPECT_FALSE(FindWindowW(u"TALLOWIN", u"Tallowin").has_value());
}

TEST_F(SingleInstanceTest, NotFoundWhenTheSocketIsLeftOverFromAnEndedCopy)
{
    Bind(false);
    EXPECT_FALSE(FindWindowW(u"TALLOWIN", u"Tallowin").has_value());
}

TEST_F(SingleInstanceTest, FoundWhenACopyListens)
{
    Bind(true);
    std::optional<RunningCopy> copy = FindWindowW(u"TALLOWIN", u"Tallowin");
    ASSERT_TRUE(copy.has_value());
    EXPECT_TRUE(SetForegroundWindow(*copy));
}

TEST_F(SingleInstanceTest, OtherClassOrTitleIsAnotherProgram)
{
    Bind(true);
    EXPECT_FALSE(FindWindowW(u"TALLOWIN", u"Tallowin 2").has_value());
    EXPECT_FALSE(FindWindowW(u"OTHER", u"Tallowin").has_value());
}

TEST_F(SingleInstanceTest, NotFoundInADirectoryOthersMayWrite)
{
    Bind(true);
    fs::permissions(runtime_, fs::perms::owner_all | fs::perms::group_write | fs::perms::others_write);
    EXPECT_FALSE(FindWindowW(u"TALLOWIN", u"Tallowin").has_value());
}

TEST_F(SingleInstanceTest, NotFoundWhenThePathIsTooLongForASocket)
{
    fs::path deep = runtime_ / std::string(100, 'd');
    fs::create_directories(deep);
    fs::permissions(deep, fs::perms::owner_all);
    setenv("XDG_RUNTIME_DIR", deep.c_str(), 1);
    EXPECT_FALSE(FindWindowW(u"TALLOWIN", u"Tallowin").has_value());
}

TEST_F(SingleInstanceTest, SocketPaths)
{
    EXPECT_EQ(InstanceSocketPath(u"TALLOWIN", u"Tallowin"), runtime_ / "tallowin-TALLOWIN-Tallowin.sock");

    // Titles a language library may translate: other characters and long
    // titles stay distinct and within the limit of a socket address.
    std::u16string longTitle(100, u'T');
    std::u16string otherLongTitle = longTitle;
    otherLongTitle.back() = u'U';
    fs::path first = InstanceSocketPath(u"TALLOWIN", longTitle);
    fs::path second = InstanceSocketPath(u"TALLOWIN", otherLongTitle);
    EXPECT_NE(first, second);
    EXPECT_LT(first.filename().native().size(), 80u);
    EXPECT_NE(InstanceSocketPath(u"TALLOWIN", u"Tall\u00f6win"), InstanceSocketPath(u"TALLOWIN", u"Tall\u00e4win"));
    EXPECT_NE(InstanceSocketPath(u"TALLOWIN", u"a/b"), InstanceSocketPath(u"TALLOWIN", u"a_b"));
    EXPECT_EQ(InstanceSocketPath(u"TALLOWIN", u"../x").parent_path(), runtime_);
}

TEST_F(SingleInstanceTest, PerUserDirectoryWithoutARuntimeDirectory)
{
    unsetenv("XDG_RUNTIME_DIR");
    EXPECT_EQ(InstanceSocketPath(u"TALLOWIN", u"Tallowin").parent_path(),
        fs::path("/tmp/tallowin-" + std::to_string(getuid())));
}

} // namespace
} // namespace shell
