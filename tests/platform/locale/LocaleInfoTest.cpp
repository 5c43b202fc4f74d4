#include "LocaleInfo.h"
#include "CodePages.h"
#include "LanguageId.h"
#include "PosixLocale.h"
#include "ScopedEnvironment.h"

#include <gtest/gtest.h>
#include <string>

namespace {

using namespace platform;

struct LocaleEnvironment {
    const char* lcAll;
    const char* category;
    const char* categoryValue;
    const char* lang;
};

struct LocaleInfoRow {
    LocaleEnvironment environment;
    LCID locale;
    LCTYPE type;
    const char16_t* expected; // null: the call fails
};

constexpr LocaleEnvironment kUs { nullptr, nullptr, nullptr, "en_US.UTF-8" };
constexpr LocaleEnvironment kGerman { nullptr, nullptr, nullptr, "de_DE.UTF-8" };

constexpr LocaleInfoRow kLocaleInfoRows[] = {
    { kUs, LOCALE_SYSTEM_DEFAULT, LOCALE_IMEASURE, u"1" },
    { kGerman, LOCALE_SYSTEM_DEFAULT, LOCALE_IMEASURE, u"0" },
    { kGerman, LOCALE_USER_DEFAULT, LOCALE_STHOUSAND, u"." },
    { kGerman, LOCALE_USER_DEFAULT, LOCALE_SCURRENCY, u"\u20ac" },
    { { nullptr, nullptr, nullptr, "C" }, LOCALE_SYSTEM_DEFAULT, LOCALE_IMEASURE, u"1" },
    { { nullptr, nullptr, nullptr, nullptr }, LOCALE_USER_DEFAULT, LOCALE_SCURRENCY, u"$" },
    { { nullptr, nullptr, nullptr, "no such locale" }, LOCALE_USER_DEFAULT, LOCALE_SDECIMAL, u"." },
    // LC_ALL wins; otherwise each field follows its own category.
    { { "de_DE.UTF-8", nullptr, nullptr, "en_US.UTF-8" }, LOCALE_USER_DEFAULT, LOCALE_SDECIMAL, u"," },
    { { nullptr, "LC_NUMERIC", "de_DE.UTF-8", "en_US.UTF-8" }, LOCALE_USER_DEFAULT, LOCALE_SDECIMAL, u"," },
    { { nullptr, "LC_NUMERIC", "de_DE.UTF-8", "en_US.UTF-8" }, LOCALE_USER_DEFAULT, LOCALE_SCURRENCY, u"$" },
    { { nullptr, "LC_MEASUREMENT", "de_DE.UTF-8", "en_US.UTF-8" }, LOCALE_SYSTEM_DEFAULT, LOCALE_IMEASURE, u"0" },
    { { nullptr, "LC_MONETARY", "de_DE.UTF-8", "en_US.UTF-8" }, LOCALE_USER_DEFAULT, LOCALE_SCURRENCY, u"\u20ac" },
    // Only the defaults name a locale.
    { kUs, 0x0407, LOCALE_SDECIMAL, nullptr },
    { kUs, LOCALE_USER_DEFAULT, 0x80000000 | LOCALE_SDECIMAL, u"." },
    { kUs, LOCALE_USER_DEFAULT, 0x9999, nullptr },
};

struct BufferRow {
    int size;
    bool nullBuffer;
    int expected;
    const char16_t* contents; // null: untouched
};

// "," in de_DE needs two units with its terminator.
constexpr BufferRow kBufferRows[] = {
    { 0, true, 2, nullptr },
    { 0, false, 2, nullptr },
    { 1, false, 0, nullptr },
    { 2, false, 2, u"," },
    { 5, true, 0, nullptr },
    { -1, false, 0, nullptr },
};

TEST(LocaleInfoTest, FieldsFollowTheEnvironmentAndTheBufferSize)
{
    for (const LocaleInfoRow& row : kLocaleInfoRows) {
        ScopedEnvironment environment;
        environment.Set("LC_ALL", row.environment.lcAll);
        if (row.environment.category != nullptr)
            environment.Set(row.environment.category, row.environment.categoryValue);
        environment.Set("LANG", row.environment.lang);
        SCOPED_TRACE(::testing::Message() << "row " << &row - kLocaleInfoRows);
        char16_t buffer[16] = { u'x' };
        int written = GetLocaleInfoW(row.locale, row.type, buffer, 16);
        if (row.expected == nullptr) {
            EXPECT_EQ(written, 0);
            continue;
        }
        std::u16string expected(row.expected);
        EXPECT_EQ(written, static_cast<int>(expected.size()) + 1);
        EXPECT_EQ(std::u16string(buffer), expected);
    }
    ScopedEnvironment environment;
    environment.Set("LANG", "de_DE.UTF-8");
    for (const BufferRow& row : kBufferRows) {
        char16_t buffer[8] = { u'x', u'x', u'\0' };
        int result = GetLocaleInfoW(LOCALE_USER_DEFAULT, LOCALE_SDECIMAL, row.nullBuffer ? nullptr : buffer, row.size);
        EXPECT_EQ(result, row.expected) << "size " << row.size;
        EXPECT_EQ(std::u16string(buffer), std::u16string(row.contents ? row.contents : u"xx")) << "size " << row.size;
    }
}

struct LangIdRow {
    const char* lcAll;
    const char* lcMessages;
    const char* lcCtype;
    const char* lang;
    LANGID expected; // the language of the messages
    UINT ansiCodePage; // of the character type's language
};

constexpr LangIdRow kLangIdRows[] = {
    { nullptr, nullptr, nullptr, nullptr, 0x0409, 1252 },
    { nullptr, nullptr, nullptr, "C", 0x0409, 1252 },
    { "", "", "", "", 0x0409, 1252 },
    { nullptr, nullptr, nullptr, "en_GB.UTF-8", 0x0809, 1252 },
    { nullptr, nullptr, nullptr, "de_DE@euro", 0x0407, 1252 },
    { nullptr, nullptr, nullptr, "sr_RS@latin", 0x241a, 1250 },
    { nullptr, nullptr, nullptr, "pl_PL.UTF-8", 0x0415, 1250 },
    { nullptr, nullptr, nullptr, "zh_CN.UTF-8", 0x0804, 936 },
    { nullptr, nullptr, nullptr, "zh_TW.UTF-8", 0x0404, 950 },
    // A known language in a territory the table does not have.
    { nullptr, nullptr, nullptr, "de_ZZ.UTF-8", 0x0407, 1252 },
    { nullptr, nullptr, nullptr, "de", 0x0407, 1252 },
    // Unknown languages and malformed names.
    { nullptr, nullptr, nullptr, "xx_YY.UTF-8", 0x0409, 1252 },
    { nullptr, nullptr, nullptr, "de-DE", 0x0409, 1252 },
    { nullptr, nullptr, nullptr, "de_DEU", 0x0409, 1252 },
    { nullptr, nullptr, nullptr, "_DE", 0x0409, 1252 },
    // LC_ALL wins over the category, which wins over LANG; empty counts as unset.
    { "fr_FR.UTF-8", "de_DE.UTF-8", "ja_JP.UTF-8", "it_IT.UTF-8", 0x040c, 1252 },
    { "ru_RU.UTF-8", nullptr, "ja_JP.UTF-8", "de_DE.UTF-8", 0x0419, 1251 },
    { "", "de_DE.UTF-8", "", "el_GR.UTF-8", 0x0407, 1253 },
    { nullptr, "", "ja_JP.UTF-8", "it_IT.UTF-8", 0x0410, 932 },
    { nullptr, "C", nullptr, "it_IT.UTF-8", 0x0409, 1252 },
};

constexpr std::pair<const char*, const char*> kIcuIdRows[] = {
    { "de_de.utf8", "de_DE" },
    { "es_419.UTF-8", "es_419" },
    { "C.utf8", "en_US" },
    { "de_", "" },
    { "1234", "" },
    { "aaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaa_DE", "" },
};

TEST(LanguageIdTest, MessagesAndCharacterTypeFollowTheirOwnCategoryAndPosixNamesBecomeIcuIds)
{
    for (const LangIdRow& row : kLangIdRows) {
        ScopedEnvironment environment;
        environment.Set("LC_ALL", row.lcAll);
        environment.Set("LC_MESSAGES", row.lcMessages);
        environment.Set("LC_CTYPE", row.lcCtype);
        environment.Set("LANG", row.lang);
        // Other categories never choose the language of the messages.
        environment.Set("LC_NUMERIC", "ja_JP.UTF-8");
        SCOPED_TRACE(testing::Message() << (row.lang ? row.lang : "(unset)") << " row " << &row - kLangIdRows);
        EXPECT_EQ(GetSystemDefaultLangID(), row.expected);
        EXPECT_EQ(GetACP(), row.ansiCodePage);
    }

    // Posix names become ICU ids.
    for (const auto& [posixName, expected] : kIcuIdRows)
        EXPECT_EQ(platform::IcuLocaleId(posixName), expected) << posixName;
}

} // namespace
