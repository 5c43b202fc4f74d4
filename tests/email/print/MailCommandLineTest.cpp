// Runs the built program with --mail as a caller would: every message of the
// sample Maildir prints, and the exit statuses are those of a print-only
// start under /E.
#include "ProgramRun.h"
#include "TempFolder.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <map>
#include <sstream>
#include <string>
#include <vector>

namespace {

namespace fs = std::filesystem;

const fs::path kProgram = TALLOWIN_PROGRAM;
const fs::path kSamples = TALLOWIN_SAMPLE_MAILDIR;

// The texts drawn, one a line.
std::vector<std::string> DrawnTexts(const std::string& recording)
{
    std::vector<std::string> texts;
    std::istringstream lines(recording);
    const std::string marker = "text=\"";
    for (std::string line; std::getline(lines, line);) {
        const std::size_t at = line.find(marker);
        if (line.starts_with("ExtTextOut") && at != std::string::npos && line.back() == '"') {
            texts.push_back(line.substr(at + marker.size(), line.size() - at - marker.size() - 1));
        }
    }
    return texts;
}

// No message box, library complaint or sanitizer report on standard error
// (a sanitizer build may list the suppressions it used).
bool SaysNothingWrong(const std::string& err)
{
    for (const char* sign : { "Alert", "CRITICAL", "WARNING", "ERROR", "runtime error" }) {
        if (err.find(sign) != std::string::npos) {
            return false;
        }
    }
    return true;
}

class MailCommandLineTest : public ::testing::Test {
protected:
    struct Outcome {
        int status = -1;
        std::string err;
        std::string recording;
    };

    Outcome Run(const std::vector<std::string>& arguments, std::map<std::string, std::string> extra = {})
    {
        const fs::path recording = directory_ / "out.txt";
        fs::remove(recording);
        std::map<std::string, std::string> environment = {
            { "TALLOWIN_REGISTRY", (directory_ / "registry.reg").string() },
            { "TALLOWIN_MAILSTORES", (directory_ / "no-stores.conf").string() },
            { "XDG_RUNTIME_DIR", (directory_ / "runtime").string() },
            { "PLOTWISE_OUTPUT", recording.string() },
            { "LC_ALL", "en_US.UTF-8" },
            { "LANG", "en_US.UTF-8" },
            { "TZ", "UTC" },
        };
        extra.merge(environment);
        const testsupport::ProgramOutcome outcome
            = testsupport::RunProgram(kProgram, arguments, extra, directory_.Path());
        return { outcome.status, outcome.err, testsupport::ReadFileText(recording) };
    }

    testsupport::TempFolder directory_;
};

TEST_F(MailCommandLineTest, EverySampleMessagePrints)
{
    std::vector<fs::path> files;
    for (const fs::directory_entry& entry : fs::recursive_directory_iterator(kSamples)) {
        const std::string parent = entry.path().parent_path().filename().string();
        // The store ignores the .keep files that hold empty directories.
        if (entry.is_regular_file() && (parent == "cur" || parent == "new")
            && !entry.path().filename().string().starts_with('.')) {
            files.push_back(entry.path());
        }
    }
    std::sort(files.begin(), files.end());
    ASSERT_GE(files.size(), 8u);
    for (const fs::path& file : files) {
        const Outcome outcome = Run({ "--quick", "--mail", file.string() });
        EXPECT_EQ(outcome.status, 0) << file << outcome.err;
        const std::vector<std::string> texts = DrawnTexts(outcome.recording);
        ASSERT_GE(texts.size(), 5u) << file;
        EXPECT_TRUE(texts[0].starts_with("Subject: ")) << file;
        EXPECT_TRUE(texts[1].starts_with("Sent: ")) << file;
        EXPECT_TRUE(texts[2].starts_with("From: ")) << file;
        EXPECT_TRUE(SaysNothingWrong(outcome.err)) << file << outcome.err;
        if (file.filename() == "1764925200.M200002P4242.tallowin:2,S") {
            const std::vector<std::string> expected = {
                "Subject: Grüße aus Köln",
                "Sent: Friday,  December 5, 2025  9:00 AM",
                "From: juergen@beispiel.example",
                "To: \\\"Pat Reader\\\" <pat@reader.example>",
                "Cc: \\\"Ute Schmidt\\\" <ute@beispiel.example>",
                "Hallo Pat,",
                "viele Grüße aus Köln! Die Straßenbahn fährt heute pünktlich, und das Wetter ist schön.",
                // The escape filter is in force for every character of the body.
                "Formel: a=b+c",
                "Bis bald,",
                "Jürgen",
            };
            EXPECT_EQ(texts, expected);
        }
        // A message with only HTML prints the text of its HTML.
        if (file.filename() == "1764943200.M600006P4242.tallowin:2,S") {
            EXPECT_NE(std::find(texts.begin(), texts.end(), "Three things happened & one did not."), texts.end());
        }
    }
}

// A forwarded message prints after the body, ruled off: its own headers,
// attachments and decoded text, and the message it forwards in turn.
TEST_F(MailCommandLineTest, AForwardedMessagePrintsAfterTheBody)
{
    const std::string inner = "From: Dora <dora@example.org>\r\nSubject: Origin\r\n\r\nFirst words.\r\n";
    const std::string forwarded
        = "From: Carl <carl@example.org>\r\nTo: Ann <ann@example.org>\r\nSubject: Plans\r\n"
          "Date: Mon, 03 Mar 2025 09:30:00 +0000\r\n"
          "Content-Type: multipart/mixed; boundary=c\r\n\r\n"
          "--c\r\nContent-Type: text/plain; charset=utf-8\r\nContent-Transfer-Encoding: base64\r\n\r\n"
          "R3LDvMOfZQ==\r\n--c\r\nContent-Type: application/pdf\r\n"
          "Content-Disposition: attachment; filename=plan.pdf\r\n\r\nx\r\n"
          "--c\r\nContent-Type: message/rfc822\r\n\r\n"
        + inner + "--c--\r\n";
    const std::string eml = directory_.Write("forward.eml",
        "From: Ann <ann@example.org>\r\nTo: bob@example.org\r\nSubject: Fwd: Plans\r\n"
        "Date: Tue, 04 Mar 2025 14:05:00 +0000\r\nContent-Type: multipart/mixed; boundary=b\r\n\r\n"
        "--b\r\nContent-Type: text/plain\r\n\r\nSee below.\r\n--b\r\nContent-Type: message/rfc822\r\n\r\n"
            + forwarded + "--b--\r\n");
    const Outcome outcome = Run({ "--quick", "--mail", eml });
    EXPECT_EQ(outcome.status, 0) << outcome.err;
    EXPECT_TRUE(SaysNothingWrong(outcome.err)) << outcome.err;
    const std::string rule(40, '-');
    EXPECT_EQ(DrawnTexts(outcome.recording),
        (std::vector<std::string> { "Subject: Fwd: Plans", "Sent: Tuesday,  March 4, 2025  2:05 PM",
            "From: ann@example.org", "To: <bob@example.org>", "Attachments: ", "message.eml", "See below.", rule,
            "From: carl@example.org", "Sent: Monday,  March 3, 2025  9:30 AM", "Subject: Plans",
            "To: \\\"Ann\\\" <ann@example.org>", "Attachments: ", "plan.pdf", "message.eml", "Grüße", rule,
            "From: dora@example.org", "Subject: Origin", "First words." }));
}

// Every message of an mbox file prints as one job, each starting a page;
// --message picks one.
TEST_F(MailCommandLineTest, AnMboxFilePrintsEachMessageOnItsOwnPages)
{
    std::string mbox;
    for (const char* subject : { "One", "Two", "Three" })
        mbox += std::string("From ann@example.org Mon Mar  3 09:30:00 2025\nFrom: ann@example.org\nSubject: ") + subject
            + "\nDate: Mon, 03 Mar 2025 09:30:00 +0000\n\nBody " + subject + "\n>From the start\n\n";
    const std::string box = directory_.Write("box", mbox);
    const auto pages = [](const std::string& recording) {
        std::size_t count = 0;
        for (std::size_t at = recording.find("StartPage"); at != std::string::npos;
             at = recording.find("StartPage", at + 1))
            ++count;
        return count;
    };
    const auto subjects = [](const std::string& recording) {
        std::vector<std::string> found;
        for (const std::string& text : DrawnTexts(recording))
            if (text.starts_with("Subject: ") || text.starts_with("Body ") || text.starts_with(">From"))
                found.push_back(text);
        return found;
    };
    Outcome outcome = Run({ "--quick", "--mail", box });
    EXPECT_EQ(outcome.status, 0) << outcome.err;
    EXPECT_TRUE(SaysNothingWrong(outcome.err)) << outcome.err;
    EXPECT_EQ(pages(outcome.recording), 3u);
    EXPECT_EQ(subjects(outcome.recording),
        (std::vector<std::string> { "Subject: One", "Body One", ">From the start", "Subject: Two", "Body Two",
            ">From the start", "Subject: Three", "Body Three", ">From the start" }));
    outcome = Run({ "--quick", "--mail", box, "--message=2" });
    EXPECT_EQ(outcome.status, 0) << outcome.err;
    EXPECT_EQ(pages(outcome.recording), 1u);
    EXPECT_EQ(
        subjects(outcome.recording), (std::vector<std::string> { "Subject: Two", "Body Two", ">From the start" }));
}

TEST_F(MailCommandLineTest, ExitStatuses)
{
    const fs::path file = kSamples / "cur" / "1764921600.M100001P4242.tallowin:2,S";
    struct Row {
        const char* what;
        std::vector<std::string> arguments;
        std::map<std::string, std::string> environment;
        int status;
        const char* saying;
    };
    const Row rows[] = {
        { "printed", { "--mail", file.string() }, {}, 0, "" },
        { "missing file", { "--mail", (directory_ / "missing.eml").string() }, {}, 2, "Unable to open file: " },
        { "an empty file", { "--mail", directory_.Write("empty.eml", "") }, {}, 2, "Invalid file type: " },
        { "beyond the last message",
            { "--mail", directory_.Write("two", "From a\nSubject: 1\n\nx\n\nFrom b\nSubject: 2\n\ny\n"),
                "--message=3" },
            {}, 2, "--message picks a message from 1 to the number in the file: 2" },
        { "a From line and nothing else", { "--mail", directory_.Write("from.eml", "From nobody\n") }, {}, 2, "" },
        { "no number", { "--mail", file.string(), "--message=x" }, {}, 64, "--message needs a message number from 1" },
        { "no --mail", { "--message=1" }, {}, 64, "--message picks a message of the file --mail names" },
        { "cancelled", { "--mail", file.string() }, { { "PLOTWISE_DIALOG", "cancel" } }, 63, "" },
        { "failed", { "--mail", file.string() }, { { "PLOTWISE_DIALOG", "fail" } }, 995 & 0xFF, "" },
    };
    for (const Row& row : rows) {
        const Outcome outcome = Run(row.arguments, row.environment);
        EXPECT_EQ(outcome.status, row.status) << row.what << ": " << outcome.err;
        EXPECT_NE(outcome.err.find(row.saying), std::string::npos) << row.what << ": " << outcome.err;
    }
}

} // namespace
