#include "MailLines.h"
#include "MailStrings.h"
#include "PutMailChar.h"
#include "RecipientList.h"

#include <gtest/gtest.h>

#include <string>

namespace email {
namespace {

std::u16string printed;

void Record(char16_t ch)
{
    printed += ch;
}

const char16_t* Labels(unsigned id, std::size_t)
{
    switch (id) {
    case 40091:
        return u"Subject: ";
    case 40095:
        return u"Cc: ";
    case 40094:
        return u"To-this-label-is-far-longer-than-fifty-characters-so-it-is-cut: ";
    default:
        return nullptr;
    }
}

TEST(MailLinesTest, HeaderLineIsLabelValueAndLineEnd)
{
    struct Row {
        HeaderKind kind;
        const char16_t* value;
        std::u16string printed;
    };
    const Row rows[] = {
        { HeaderKind::Subject, u"Hi", u"Subject: Hi\r\n" },
        { HeaderKind::Subject, nullptr, u"Subject:  \r\n" },
        { HeaderKind::Cc, u"<c@x>", u"Cc: <c@x>\r\n" },
        { HeaderKind::Cc, u"", u"" },
        { HeaderKind::Cc, nullptr, u"" },
        { HeaderKind::Sent, u"now", u"now\r\n" }, // no label in the table
        { HeaderKind::To, u"v", u"To-this-label-is-far-longer-than-fifty-charactersv\r\n" },
        { HeaderKind::Subject, u"a=3Db", u"Subject: a=3Db\r\n" },
    };
    ResetMailCharFilter();
    SetMailCharSink(Record);
    SetMailStringLoader(Labels);
    for (const Row& row : rows) {
        printed.clear();
        PrintHeaderLine(row.kind, row.value);
        EXPECT_EQ(printed, row.printed);
    }
    printed.clear();
    PutMailText(nullptr);
    EXPECT_EQ(printed, u"");
    SetMailCharSink(nullptr);
    SetMailStringLoader(nullptr);
}

TEST(RecipientListTest, ListsStayInsideTheRoomMeasuredForThem)
{
    // Four for each present part, as the quotes, brackets and separator need.
    EXPECT_EQ(RecipientLength(u"Bob", u"b@x"), 14u);
    EXPECT_EQ(RecipientLength(nullptr, u"b@x"), 7u);
    EXPECT_EQ(RecipientLength(u"", u""), 0u);
    RecipientTotals totals;
    totals.toTotal = RecipientLength(u"A", u"a@x") + RecipientLength(nullptr, u"b@x");
    totals.ccTotal = RecipientLength(u"C", nullptr);
    RecipientLists lists(totals);
    lists.AppendTo(u"A", u"a@x");
    lists.AppendTo(nullptr, nullptr);
    lists.AppendTo(nullptr, u"b@x");
    lists.AppendCc(u"C", nullptr);
    EXPECT_EQ(std::u16string(lists.To()), u"\"A\" <a@x>; <b@x>");
    EXPECT_EQ(std::u16string(lists.Cc()), u"\"C\"");
    // A recipient the first pass did not see finds no room and is left out.
    lists.AppendCc(u"A much longer name than was measured", u"long@example.org");
    EXPECT_EQ(std::u16string(lists.Cc()), u"\"C\"");
    EXPECT_EQ(std::u16string(lists.To()), u"\"A\" <a@x>; <b@x>");

    RecipientLists empty(RecipientTotals {});
    empty.AppendTo(u"x", u"y");
    EXPECT_EQ(std::u16string(empty.To()), u"");
}

} // namespace
} // namespace email
