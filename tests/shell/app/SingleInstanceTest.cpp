#include "SingleInstance.h"

#include "InstanceListener.h"
#include "TempFolder.h"

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
    void SetUp() override { setenv("XDG_RUNTIME_DIR", runtime_.c_str(), 1); }
    void TearDown() override { unsetenv("XDG_RUNTIME_DIR"); }

    static bool Found() { return FindWindowW(u"TALLOWIN", u"Tallowin").has_value(); }

    testsupport::TempFolder folder_;
    const fs::path runtime_ = folder_ / "runtime";
};

TEST_F(SingleInstanceTest, ACopyIsFoundOnlyWhereOneListensInAPrivateFolder)
{
    EXPECT_FALSE(Found()) << "nothing listens";
    const fs::path path = InstanceSocketPath(u"TALLOWIN", u"Tallowin");
    {
        test::Listener ended(path, false);
        ASSERT_TRUE(ended.Ready());
        EXPECT_FALSE(Found()) << "the socket an ended copy left";
    }
    fs::remove(path);
    test::Listener running(path);
    ASSERT_TRUE(running.Ready());
    std::optional<RunningCopy> copy = FindWindowW(u"TALLOWIN", u"Tallowin");
    ASSERT_TRUE(copy.has_value());
    EXPECT_TRUE(SetForegroundWindow(*copy));
    // Another class or title is another program.
    EXPECT_FALSE(FindWindowW(u"TALLOWIN", u"Tallowin 2").has_value());
    EXPECT_FALSE(FindWindowW(u"OTHER", u"Tallowin").has_value());
    fs::permissions(runtime_, fs::perms::owner_all | fs::perms::group_write | fs::perms::others_write);
    EXPECT_FALSE(Found()) << "a folder others may write";
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
    EXPECT_NE(first, InstanceSocketPath(u"TALLOWIN", otherLongTitle));
    EXPECT_LT(first.filename().native().size(), 80u);
    EXPECT_NE(InstanceSocketPath(u"TALLOWIN", u"Tall\u00f6win"), InstanceSocketPath(u"TALLOWIN", u"Tall\u00e4win"));
    EXPECT_NE(InstanceSocketPath(u"TALLOWIN", u"a/b"), InstanceSocketPath(u"TALLOWIN", u"a_b"));
    EXPECT_EQ(InstanceSocketPath(u"TALLOWIN", u"../x").parent_path(), runtime_);

    // A runtime folder too deep for a socket finds nothing.
    fs::path deep = runtime_ / std::string(100, 'd');
    fs::create_directories(deep);
    fs::permissions(deep, fs::perms::owner_all);
    setenv("XDG_RUNTIME_DIR", deep.c_str(), 1);
    EXPECT_FALSE(Found());

    // Without a runtime folder, a folder of the user's own.
    unsetenv("XDG_RUNTIME_DIR");
    EXPECT_EQ(InstanceSocketPath(u"TALLOWIN", u"Tallowin").parent_path(),
        fs::path("/tmp/tallowin-" + std::to_string(getuid())));
}

} // namespace
} // namespace shell
