// The German language library. The window title and class, which a second
// start looks for, and the help anchors stay as the program has them:
// entries left out here come from the program's own table.

#include "StringEntry.h"
#include "StringIds.h"
#include "SupportAddress.h"

#include <array>

namespace {

using namespace platform;

constexpr auto kPlotwiseMissingText = JoinText(
    u"Die Plotwise-DLL fehlt oder ist veraltet... Bitte installieren Sie Tallowin neu. Hilft das nicht, wenden Sie "
    u"sich an: ",
    kSupportAddress);
constexpr auto kEmailNeedsPocketPcText = JoinText(u"Um mit diesem Gerät E-Mails zu drucken, installieren Sie Tallowin "
                                                  u"in der Version für Pocket PC 2000 neu oder wenden Sie sich an: ",
    kSupportAddress);

constexpr std::array kGermanStrings {
    StringEntry(kStrLanguageIdentity, u"tallowin3"),
    StringEntry(kStrDocOptionsTitle, u"Dokumentoptionen"),
    StringEntry(kStrPlotwiseMissing, kPlotwiseMissingText.text),
    StringEntry(kStrExcelOptionsTitle, u"Excel-Optionen"),
    StringEntry(kStrEmailNeedsPocketPc, kEmailNeedsPocketPcText.text),
    StringEntry(kStrEmailPrintFailed, u"Fehler: Diese E-Mail kann nicht gedruckt werden"),
    StringEntry(kStrEmailListFailed, u"Fehler beim Anzeigen der E-Mail-Liste..."),
    StringEntry(kStrViewDocumentsTip, u"Zum Drucken aus Pocket Word..."),
    StringEntry(kStrViewWorkbooksTip, u"Zum Drucken aus Pocket Excel..."),
    StringEntry(kStrViewEmailTip, u"Zum Drucken von E-Mails..."),
    StringEntry(kStrPxlOpenFailed, u"PXL-Datei kann nicht geöffnet werden: "),
    StringEntry(kStrPxlInvalid, u"Ungültige PXL-Datei: "),
    StringEntry(kStrPxlVersion1, u"Das Arbeitsmappenformat von Pocket Excel 1.0 wird nicht unterstützt."),
    StringEntry(kStrPxlUnsupported, u"Diese Datei ist keine unterstützte PXL-Datei."),
    StringEntry(kStrPxlPasswordProtected,
        u"Fehler: Diese Pocket-Excel-Datei ist kennwortgeschützt... Fortfahren nicht möglich."),
    StringEntry(kStrCustomSizeOutOfRange, u"Die benutzerdefinierte Druckgröße muss zwischen 25% und 250% liegen"),
    StringEntry(kStrFileOpenFailed, u"Datei kann nicht geöffnet werden: "),
    StringEntry(kStrInvalidFileType, u"Ungültiger Dateityp: "),
    StringEntry(kStrRtfParseError, u"Fehler beim Lesen der RTF-Daten"),
    StringEntry(kStrInvalidPageSettings, u"Ungültige Seiten- oder Randeinstellungen..."),
    StringEntry(kStrInvalidCustomCell, u"Ungültige benutzerdefinierte Zellangabe..."),
    StringEntry(kStrCustomCellsOverlap, u"Benutzerdefinierte Zellangaben überschneiden sich..."),
    StringEntry(kStrUnsupportedEmailFormat,
        u"[E-Mail hat ein nicht unterstütztes Format (HTML oder anderes)... Drucken nicht möglich]"),
    StringEntry(kStrRangeSelected, u"Auswahl - %s bis %s"),
    StringEntry(kStrRangeFull, u"Gesamt - A1 bis %s"),
    StringEntry(kStrRangePopulated, u"Belegt - %s bis %s"),
    StringEntry(kStrAlertCaption, u"Achtung..."),
    StringEntry(kStrCharactersSuffix, u" Zeichen"),
    StringEntry(kStrSortFrom, u"Von"),
    StringEntry(kStrSortReceivedDate, u"Empfangsdatum"),
    StringEntry(kStrSortSubject, u"Betreff"),
    StringEntry(kStrSortBy, u"Sortieren nach"),
    StringEntry(kStrHeaderSubject, u"Betreff: "),
    StringEntry(kStrHeaderSent, u"Gesendet: "),
    StringEntry(kStrHeaderFrom, u"Von: "),
    StringEntry(kStrHeaderTo, u"An: "),
    StringEntry(kStrHeaderCc, u"Cc: "),
    StringEntry(kStrFolderShow, u"Anzeigen"),
    StringEntry(kStrHeaderAttachments, u"Anlagen: "),
    StringEntry(kStrFileTooLarge, u"Datei zu groß zum Drucken (über 256 MB): "),
    StringEntry(kStrReasonNotFound, u" (nicht gefunden)"),
    StringEntry(kStrReasonFolder, u" (ein Ordner)"),
    StringEntry(kStrReasonNotPermitted, u" (Zugriff verweigert)"),
    StringEntry(kStrReasonNotRegular, u" (keine reguläre Datei)"),
};

static_assert(IsWellFormedStringTable(kGermanStrings),
    "the German strings must be sorted by unique id, non-empty and terminated");

constexpr TallowinResources kGermanResources {
    TALLOWIN_RESOURCES_VERSION,
    static_cast<std::uint32_t>(kGermanStrings.size()),
    kGermanStrings.data(),
    0,
    nullptr,
};

} // namespace

extern "C" const TallowinResources* TallowinLanguageResources(void)
{
    return &kGermanResources;
}
