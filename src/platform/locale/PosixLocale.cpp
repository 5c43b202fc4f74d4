#include "PosixLocale.h"

#include <array>
#include <cstdlib>
#include <unicode/uloc.h>

namespace platform {
namespace {

// Longer names are not locale names; ICU ids stay well below this.
constexpr std::size_t kMaxLocaleNameLength = 64;

const char* CategoryVariable(LocaleCategory category)
{
    switch (category) {
    case LocaleCategory::Messages:
        return "LC_MESSAGES";
    case LocaleCategory::Numeric:
        return "LC_NUMERIC";
    case LocaleCategory::Monetary:
        return "LC_MONETARY";
    case LocaleCategory::Measurement:
        return "LC_MEASUREMENT";
    case LocaleCategory::CharacterType:
        return "LC_CTYPE";
    case LocaleCategory::Time:
        return "LC_TIME";
    }
    return "LC_MESSAGES";
}

bool IsAsciiLetter(char c)
{
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
}

bool IsAsciiDigit(char c)
{
    return c >= '0' && c <= '9';
}

char ToLower(char c)
{
    return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
}

char ToUpper(char c)
{
    return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c;
}

bool IsLanguage(std::string_view text)
{
    if (text.size() < 2 || text.size() > 3)
        return false;
    for (char c : text) {
        if (!IsAsciiLetter(c))
            return false;
    }
    return true;
}

bool IsTerritory(std::string_view text)
{
    if (text.size() == 2)
        return IsAsciiLetter(text[0]) && IsAsciiLetter(text[1]);
    if (text.size() == 3)
        return IsAsciiDigit(text[0]) && IsAsciiDigit(text[1]) && IsAsciiDigit(text[2]);
    return false;
}

// The script a glibc modifier names; the others ("euro") carry nothing a
// language identifier needs.
std::string_view ScriptOfModifier(std::string_view modifier)
{
    if (modifier == "latin")
        return "Latn";
    if (modifier == "cyrillic")
        return "Cyrl";
    if (modifier == "devanagari")
        return "Deva";
    return {};
}

} // namespace

std::string PosixLocaleName(LocaleCategory category)
{
    for (const char* variable : { "LC_ALL", CategoryVariable(category), "LANG" }) {
        const char* value = std::getenv(variable);
        if (value != nullptr && *value != '\0')
            return value;
    }
    return "C";
}

std::string IcuLocaleId(std::string_view posixName)
{
    if (posixName.size() > kMaxLocaleNameLength)
        return {};
    std::string_view modifier;
    if (std::size_t at = posixName.find('@'); at != std::string_view::npos) {
        modifier = posixName.substr(at + 1);
        posixName = posixName.substr(0, at);
    }
    if (std::size_t dot = posixName.find('.'); dot != std::string_view::npos)
        posixName = posixName.substr(0, dot);
    if (posixName == "C" || posixName == "POSIX")
        return "en_US";

    std::string_view language = posixName;
    std::string_view territory;
    if (std::size_t underscore = posixName.find('_'); underscore != std::string_view::npos) {
        language = posixName.substr(0, underscore);
        territory = posixName.substr(underscore + 1);
        if (!IsTerritory(territory))
            return {};
    }
    if (!IsLanguage(language))
        return {};

    std::string id;
    for (char c : language)
        id += ToLower(c);
    if (std::string_view script = ScriptOfModifier(modifier); !script.empty()) {
        id += '_';
        id += script;
    }
    if (!territory.empty()) {
        id += '_';
        for (char c : territory)
            id += ToUpper(c);
    }
    return id;
}

std::optional<LANGID> LangIdFromLocaleName(std::string_view posixName)
{
    std::string id = IcuLocaleId(posixName);
    if (id.empty())
        return std::nullopt;
    LCID lcid = uloc_getLCID(id.c_str());
    LANGID langId = static_cast<LANGID>(lcid & 0xFFFF);
    if (PRIMARYLANGID(langId) == 0)
        return std::nullopt;
    // The locale data knows the language but not this territory.
    if ((langId & ~kPrimaryLanguageMask) == 0)
        langId = static_cast<LANGID>(kSubLangDefault | langId);
    return langId;
}

} // namespace platform
