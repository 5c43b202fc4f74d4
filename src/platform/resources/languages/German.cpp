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

// Der --help-Text; "%s" ist der Name, unter dem das Programm aufgerufen wurde.
constexpr char16_t kHelpText[] = uR"(Aufruf: %s [SCHALTER] [OPTIONEN]
Druckt Pocket-Word-, RTF- und Textdokumente, Pocket-Excel-Arbeitsmappen und
E-Mail-Nachrichten.

Schalter (Buchstaben groß oder klein; ein Dateiname kann kein "/" enthalten,
trennen Sie Ordner daher mit "\" oder nehmen Sie --file, das dies übernimmt):
  /F NAME      das Dokument NAME drucken und beenden
  /A NAME      die Arbeitsmappe NAME drucken und beenden
  /E           Exit-Status für ein aufrufendes Programm (siehe unten)
  /Q           Schnelldruck: keine Druckdialoge
  /P           das Dokument als reinen Text drucken
  /W /I /X     mit der Dokument-, E-Mail- oder Arbeitsmappenliste starten
  /XQ          die Arbeitsmappe ohne den Dialog der Tabellenoptionen drucken
  /XA0../XA3   Bereich: gesamt, Auswahl, belegt, benutzerdefiniert
  /XAFZelle    benutzerdefinierter Bereich ab Zelle (z. B. /XAFB3); mit einem
               Leerzeichen abschließen
  /XATZelle    benutzerdefinierter Bereich bis Zelle
  /XG0 /XG1    Gitternetzlinien aus/ein  /XH0 /XH1   Überschriften aus/ein
  /XB0 /XB1    Hintergrundfarben         /XC0 /XC1   Zentrieren aus/ein
  /XS0../XS9   Blattnummer
  /XZ0 /XZ1 /XZ2  normale, angepasste oder benutzerdefinierte Größe
  /XZCnnn      benutzerdefinierte Größe in Prozent (25 bis 250, sonst 100)
  Eine Befehlszeile mit 260 oder mehr Zeichen wird als Ganzes ignoriert.
  Tabellenoptionen, die mit /A oder /X angegeben werden, bleiben für spätere
  Aufrufe gespeichert.

Lange Optionen (werden in die obigen Schalter übersetzt):
  --file=PFAD            /F PFAD         --workbook=PFAD      /A PFAD
  --quick                /Q              --exit-codes         /E
  --plain-text           /P              --no-sheet-dialog    /XQ
  --documents            /W              --email              /I
  --workbooks            /X              --sheet=N            /XSN
  --range=full|selected|populated|custom /XA0 bis /XA3
  --from=ZELLE           /XAFZELLE       --to=ZELLE           /XATZELLE
  --gridlines=on|off     /XG1 /XG0       --headings=on|off    /XH1 /XH0
  --background-colors=on|off /XB1 /XB0   --center=on|off      /XC1 /XC0
  --sizing=normal|fit|PROZENT            /XZ0, /XZ1, /XZ2 /XZCPROZENT
  --mail=NACHRICHT       eine E-Mail-Nachrichtendatei drucken und beenden: eine
                         Datei eines Maildir-Ordners (in dessen cur/ oder new/)
                         oder eine einzelne .eml-Datei; endet mit den Status
                         von /E (ohne eigenen Schalter; nicht zusammen mit
                         --file oder --workbook). Eine mbox-Datei druckt alle
                         ihre Nachrichten als einen Auftrag, jede auf neuen
                         Seiten
  --message=N            mit --mail auf einer mbox-Datei nur deren N-te
                         Nachricht drucken (ab 1; nach der letzten wird nichts
                         gedruckt: 2)
  --print=PFAD           --workbook für eine .pxl- oder .pxt-Datei, --mail für
                         eine .eml-, .mbox- oder .mbx-Datei, sonst --file
  --output=PFAD          für diesen Aufruf nach PFAD drucken (.pdf, .ps, .png,
                         .txt); bei einer anderen Endung, einem Ordner oder
                         einem nicht beschreibbaren Ordner endet das Programm
                         mit 64, bevor etwas gedruckt wird
  --output=-             die Seiten auf die Standardausgabe schreiben (als PDF
                         oder, mit --format=ps, als PostScript)
  --file=-               das von der Standardeingabe gelesene Dokument drucken
  --mail=-               die von der Standardeingabe gelesene Nachricht drucken
                         (als Druckbefehl eines Mailprogramms: --mail=- --quick)
  --printer=DRUCKER      für diesen Aufruf in die CUPS-Warteschlange DRUCKER
                         drucken
  --paper=PAPIER         für diesen Aufruf auf a3, a4, a5, legal, letter oder
                         einer Größe wie 210x297mm drucken
  --quiet                auf einem Terminal keine Zeile darüber, wohin die
                         Seiten gingen
  DATEI                  eine Datei als einziges Argument (lange Optionen
                         ausgenommen) wird wie mit --print=DATEI gedruckt
  --help, -h             diesen Text zeigen und beenden
  --version              die Version zeigen und beenden

Exit-Status:
                                          mit /E    ohne
  Druckbibliothek fehlt oder ist zu alt      0         0
  eine andere Instanz läuft bereits          0         1
  Fenster konnte nicht erstellt werden     995         0
  Datei nicht gedruckt (Grund angezeigt)     2         0
  Druck abgebrochen                         63         0
  Druck fehlgeschlagen                     995         0
  gedruckt                                   0         1
  Eine Shell sieht nur die unteren 8 Bit eines Status: 995 kommt als 227 an.
  Eine abgelehnte lange Option endet mit 64, bevor irgendetwas startet. Eine
  Unterbrechung (SIGINT, SIGTERM, SIGHUP) endet wie ein abgebrochener Druck
  und entfernt die unfertige Ausgabedatei.

Umgebung:
  TALLOWIN_REGISTRY   die Einstellungsdatei (Vorgabe
                      $XDG_CONFIG_HOME/tallowin/registry.reg oder
                      ~/.config/tallowin/registry.reg)
  TALLOWIN_LOCK_TIMEOUT  wie viele Sekunden das Speichern der Einstellungen
                      auf die Sperre einer anderen Instanz wartet, bevor es
                      aufgibt (Vorgabe 5)
  TALLOWIN_LIBDIR     der Ordner der Druck- und Sprachbibliotheken
                      (Vorgabe: ../lib/tallowin neben dem Programm)
  TALLOWIN_DOCUMENTS  der Ordner, aus dem das Fenster Dokumente und
                      Arbeitsmappen auflistet, samt Unterordnern (Vorgabe:
                      der Dokumentenordner, den xdg-user-dir nennt, sonst
                      ~/Documents)
  PLOTWISE_OUTPUT     wohin die Druckbibliothek druckt: eine .pdf-, .ps-,
                      .png- oder .txt-Datei oder cups:DRUCKER; wird wie
                      --output geprüft
  LPDEST, PRINTER     die CUPS-Warteschlange, in die gedruckt wird, wenn kein
                      Ziel angegeben ist (sonst die aus lpoptions oder die
                      Vorgabe des Servers; ohne Standardwarteschlange ein PDF
                      mit dem Namen des Dokuments im Dokumentenordner,
                      XDG_DOCUMENTS_DIR)
  PAPERSIZE, PAPERCONF  das Papier, sofern die Warteschlange kein eigenes hat

Ohne eine zu druckende Datei öffnet das Programm sein Fenster (dafür braucht
es eine Anzeige, DISPLAY oder WAYLAND_DISPLAY); ein zweiter Start ohne Datei
holt das laufende Fenster nach vorn und endet sofort.
)";

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
    StringEntry(kStrHelpText, kHelpText),
    StringEntry(kStrUsageErrorLine, u"%s: %s (siehe --help)"),
    StringEntry(kStrUnknownOption, u"unbekannte Option %s"),
    StringEntry(kStrOptionNeedsValue, u"%s braucht einen Wert"),
    StringEntry(kStrOptionUnknownValue, u"%s: unbekannter Wert „%s“"),
    StringEntry(kStrFileNameRefused, u"%s: Der Dateiname ist leer oder enthält ein doppeltes Anführungszeichen"),
    StringEntry(kStrMailPrintsAlone, u"--mail druckt nur eine Nachrichtendatei; lassen Sie --file und --workbook weg"),
    StringEntry(kStrMailNeedsFile, u"--mail braucht eine Nachrichtendatei"),
    StringEntry(kStrMailNamesOneFile, u"--mail nimmt genau eine Nachrichtendatei"),
    StringEntry(kStrCellRefused, u"%s: Eine Zelle wird wie B3 oder AA12 geschrieben"),
    StringEntry(kStrSizingRefused, u"--sizing: Geben Sie normal, fit oder einen Prozentwert von 25 bis 250 an"),
    StringEntry(kStrSheetRefused, u"--sheet: Geben Sie eine Blattnummer von 0 bis 9 an"),
    StringEntry(kStrOutputNeedsName, u"--output braucht einen Dateinamen"),
    StringEntry(kStrFormatRefused, u"--format: Geben Sie pdf oder ps an"),
    StringEntry(kStrPaperRefused, u"--paper: Geben Sie a3, a4, a5, legal, letter oder eine Größe wie 210x297mm an"),
    StringEntry(kStrPrinterNeedsQueue, u"--printer braucht den Namen einer Warteschlange"),
    StringEntry(kStrCupsOutputNeedsQueue, u"PLOTWISE_OUTPUT=cups: braucht den Namen einer Warteschlange"),
    StringEntry(kStrOutputIsFolder, u"%s ist ein Ordner; nennen Sie eine Datei darin"),
    StringEntry(kStrOutputEndingRefused,
        u"%s: Die Seiten können als .pdf, .ps, .png oder .txt geschrieben werden (oder - für die Standardausgabe)"),
    StringEntry(kStrOutputFolderMissing, u"%s: Der Ordner %s existiert nicht"),
    StringEntry(kStrOutputFolderReadOnly, u"%s: In den Ordner %s kann nicht geschrieben werden (%s)"),
    StringEntry(kStrOutputNotReplaceable, u"%s kann nicht ersetzt werden (%s)"),
    StringEntry(kStrMessageNeedsNumber, u"--message braucht eine Nachrichtennummer ab 1"),
    StringEntry(kStrMessageNeedsMail, u"--message wählt eine Nachricht der Datei von --mail"),
    StringEntry(kStrMessageOutOfRange, u"--message wählt eine Nachricht von 1 bis zur Anzahl in der Datei: "),
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
