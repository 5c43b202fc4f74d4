#include "LanguageId.h"
#include "PosixLocale.h"
#include "ScopedEnvironment.h"

#include <gtest/gtest.h>

namespace {

using platform::GetSystemDefaultLangID;
using platform::LANGID;

struct LangIdRow {
    const char* lcAll;
    const char* lcMessages;
    const char* lang;
    LANGID expected;
};

constexpr LangIdRow kLangIdRows[] = {
    { nullptr, nullptr, nullptr, 0x0409 },
    { nullptr, nullptr, "C", 0x0409 },
    { "", "", "", 0x0409 },
    { nullptr, nullptr, "en_GB.UTF-8", 0x0809 },
    { nullptr, nullptr, "de_DE@euro", 0x0407 },
    { nullptr, nullptr, "sr_RS@latin", 0x241a },
    // A known language in a territory the table does not have.
    { nullptr, nullptr, "de_ZZ.UTF-8", 0x0407 },
    { nullptr, nullptr, "de", 0x0407 },
    // Unknown languages and malformed names.
    { nullptr, nullptr, "xx_YY.UTF-8", 0x0409 },
    { nullptr, nullptr, "de-DE", 0x0409 },
    { nullptr, nullptr, "de_DEU", 0x0409 },
    { nullptr, nullptr, "_DE", 0x0409 },
    // LC_ALL wins over LC_MESSAGES, which wins over LANG; empty counts as unset.
    { "fr_FR.UTF-8", "de_DE.UTF-8", "it_IT.UTF-8", 0x040c },
    { "", "de_DE.UTF-8", "it_IT.UTF-8", 0x0407 },
    { nullptr, "", "it_IT.UTF-8", 0x0410 },
    { nullptr, "C", "it_IT.UTF-8", 0x0409 },
};

TEST(LanguageIdTest, SystemDefaultFollowsMessagesLocale)
{
    for (const LangIdRow& row : kLangIdRows) {
        ScopedEnvironment environment;
        environment.Set("LC_ALL", row.lcAll);
        environment.Set("LC_MESSAGES", row.lcMessages);
        environment.Set("LANG", row.lang);
        // Other categories never choose the language of the messages.
        environment.Set("LC_NUMERIC", "ja_JP.UTF-8");
        EXPECT_EQ(GetSystemDefaultLangID(), row.expected)
            << (row.lang ? row.lang : "(unset)") << " row " << &row - kLangIdRows;
    }
}

struct IcuIdRow {
    const char* posixName;
    const char* expected;
};

constexpr IcuIdRow kIcuIdRows[] = {
    { "de_de.utf8", "de_DE" },
    { "sr_RS@latin", "sr_Latn_RS" },
    { "es_419.UTF-8", "es_419" },
    { "C.utf8", "en_US" },
    { "de_", "" },
    { "1234", "" },
    { "aaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaa_DE", "" },
};

TEST(LanguageIdTest, PosixNamesBecomeIcuIds)
{
    for (const IcuIdRow& row : kIcuIdRows)
        EXPECT_EQ(platform::IcuLocaleId(row.posixName), row.expected) << row.posixName;
}

} // namespace
