#include "texts.h"

#include <algorithm>
#include <utility>

namespace season {
namespace {

constexpr LanguageTexts kGermanTexts = {
    "Diese Jahreszeit-Einstellung wird nicht vom Addon Quorrin X unterstützt.",
    "Unterstützung für ..",
    "Beenden",
    "Einstellung übernehmen",
    "Hierbei handelt es sich um ein Programm, das es ermöglicht bei\r"
    "FSX-Objekten saisonale Texturen zu benutzen, da dies vom FSX für\r"
    "3D Objekte nicht unterstützt wird. Sollten Sie also die grünen Bäume\r"
    "in der näheren Umgebung des Airports im Winter/Herbst stören,\r"
    "so benutzen Sie bitte das „Turnleaf“.\r"
    "Bei diesem Tool werden einfach die Sommertexturen der Bäume gegen\r"
    "andere ausgetauscht. Daher müssen Sie es bei jedem Saisonwechsel\r"
    "neu ausführen und die Saison entsprechend ändern.\r"
    "Die Bodentexturen passen sich automatisch an die entsprechende\r"
    "Saison an. Allerdings erkennt der FSX bei Foto-Bodentexturen nicht\r"
    "ob es schneit. Daher wird der Untergrund von Velcastre X auch bei\r"
    "Schneefall im Winter schneelos bleiben (Da es Default im FSX im\r"
    "Winter keinen Schnee gibt).",
};

constexpr LanguageTexts kEnglishTexts = {
    "This season textures is NOT supported by the Quorrin X add-on.",
    "Support for ...",
    "Close",
    "Apply new textures for all products",
    "This is a programme that enables you to make use of seasonal textures\r"
    "on 3-D objects in FSX since the simulator itself does not support this\r"
    "function. If it bothers you to have green trees surrounding the airport\r"
    "during the autumn and winter months.\r"
    "This tool simply changes the summer textures to the appropriate\r"
    "season and for this reason, you must use the programme for each\r"
    "seasonal change as required.\r"
    "Ground textures change automatically according to the season.\r"
    "However, photo-realistic FSX ground textures do not recognize snow\r"
    "and this means that the surface of Velcastre X will have no snow\r"
    "during the winter. (by default there is no snow in FSX in the winter).",
};

constexpr GuardTexts kGermanGuards = {
    "Flugsimulator läuft",
    "Der Flugsimulator (FSX) läuft noch. Solange er läuft, hält er die "
    "Texturdateien geöffnet, und der Wechsel würde auf halbem Weg scheitern.\r\n\r\n"
    "Bitte beenden Sie den Simulator und wählen Sie dann „Wiederholen“.",
    "Administratorrechte erforderlich",
    "Das Programm darf im Ordner",
    "keine Dateien ändern, weil Windows ihn schützt (wie unter „Programme“).\r\n\r\n"
    "Soll es mit Administratorrechten neu starten und die Texturen übernehmen?",
    "Das Programm konnte nicht mit Administratorrechten gestartet werden. "
    "Es wurde nichts geändert.",
    "Der Wechsel wurde beim Schließen des Fensters angehalten: {done} von {total} Änderungen "
    "wurden vorgenommen. "
    "Übernehmen Sie erneut, um die Jahreszeit zu vervollständigen.",
};

constexpr GuardTexts kEnglishGuards = {
    "Flight simulator running",
    "The flight simulator (FSX) is still running. While it runs it holds the texture "
    "files open, and the switch would fail half-way.\r\n\r\n"
    "Please close the simulator, then choose Retry.",
    "Administrator rights needed",
    "The switcher may not change files in the folder",
    "because Windows protects it (as below \"Program Files\").\r\n\r\n"
    "Start the switcher again with administrator rights and apply the textures?",
    "The switcher could not be started with administrator rights. Nothing was changed.",
    "The switch was stopped when the window was closed: {done} of {total} changes were "
    "made. Apply again to complete the season.",
};

constexpr std::string_view kSeasonPictureNames[] = {
    "Summer / Sommer",
    "Autumn / Herbst",
    "Winter / Winter",
    "Spring / Frühling",
};

constexpr ApplyTexts kGermanApply = {
    "Möchten Sie MipMap-Texturen bei dem Addon Norvasse X verwenden?",
    "Bitte wählen Sie ...",
    "Änderung der TEXTUREN durchgeführt!",
    "Einige Texturdateien konnten nicht geändert werden",
};
constexpr ApplyTexts kEnglishApply = {
    "Do you want to use MipMap-Textures with the addon Norvasse X?",
    "Please select now...",
    "Change texture settings successful!",
    "Some texture files could not be changed",
};

constexpr size_t kMaxListedFailures = 10;

constexpr CommandLineTexts kGermanCommandLine = {
    "season.exe /season=summer|autumn|winter|spring|auto [/mipmaps=yes|no]\r\n"
    "    [/lang=en|de] [/quiet] [/hemisphere=north|south]\r\n"
    "\r\n"
    "/season: stellt die Addons unterhalb des Programmordners ohne Fenster auf\r\n"
    "    die Jahreszeit um; auto wählt sie nach dem heutigen Datum (März bis\r\n"
    "    Mai Frühling, Juni bis August Sommer, September bis November Herbst,\r\n"
    "    Dezember bis Februar Winter).\r\n"
    "/hemisphere=south: auto verschiebt die Jahreszeit um ein halbes Jahr.\r\n"
    "/mipmaps: beantwortet die MipMap-Frage zum Addon Norvasse X.\r\n"
    "/lang: die Sprache der Meldungen.\r\n"
    "/quiet: keine Meldung; das Ergebnis steht in {report} neben dem Programm.\r\n"
    "\r\n"
    "season.exe /status [/quiet] [/lang=en|de]\r\n"
    "    zeigt, welche Jahreszeit jedes Addon gerade hat, und stellt nichts um.\r\n"
    "\r\n"
    "Rückgabewerte: 0 umgestellt, 1 einige Dateien konnten nicht geändert\r\n"
    "werden, 2 ungültige Argumente, 3 kein Addon gefunden. Mit /status:\r\n"
    "0 alle Addons zeigen eine Jahreszeit, 1 gemischt oder unbekannt.",
    "Unbekanntes oder fehlerhaftes Argument:",
    "Der Schalter /season= fehlt.",
    "Die Umstellung wurde vorzeitig beendet; bitte noch einmal ausführen.",
};
constexpr CommandLineTexts kEnglishCommandLine = {
    "season.exe /season=summer|autumn|winter|spring|auto [/mipmaps=yes|no]\r\n"
    "    [/lang=en|de] [/quiet] [/hemisphere=north|south]\r\n"
    "\r\n"
    "/season: switches the add-ons below the program's folder to the season\r\n"
    "    without opening the window; auto picks it from today's date (March to\r\n"
    "    May spring, June to August summer, September to November autumn,\r\n"
    "    December to February winter).\r\n"
    "/hemisphere=south: auto shifts the season by half a year.\r\n"
    "/mipmaps: answers the MipMap question of the Norvasse X add-on.\r\n"
    "/lang: the language of the messages.\r\n"
    "/quiet: no message; the result is written to {report} beside the program.\r\n"
    "\r\n"
    "season.exe /status [/quiet] [/lang=en|de]\r\n"
    "    tells which season each add-on shows now and switches nothing.\r\n"
    "\r\n"
    "Exit codes: 0 switched, 1 some files could not be changed, 2 bad arguments,\r\n"
    "3 no add-on found. With /status: 0 every add-on shows one season,\r\n"
    "1 mixed or unknown.",
    "Unknown or malformed argument:",
    "The switch /season= is missing.",
    "The switch ended early; please run it again.",
};

std::string FailureList(int language, const std::vector<std::string>& failedTargets, size_t limit) {
    const ApplyTexts& texts = ApplyTextsFor(language);
    if (failedTargets.empty())
        return std::string(texts.success);
    std::string message(texts.someFailed);
    message += " (" + std::to_string(failedTargets.size()) + "):";
    for (size_t i = 0; i < failedTargets.size(); ++i) {
        if (i == limit) {
            message += "\r\n...";
            break;
        }
        message += "\r\n" + failedTargets[i];
    }
    return message;
}

} // namespace

const ApplyTexts& ApplyTextsFor(int language) {
    return language == 0 ? kGermanApply : kEnglishApply;
}

std::string StoppedMessage(int language, std::size_t done, std::size_t total,
                           const std::vector<std::string>& failedTargets) {
    std::string message(GuardTextsFor(language).stopped);
    for (const auto& [key, value] : {std::pair<std::string, std::size_t>{"{done}", done},
                                     std::pair<std::string, std::size_t>{"{total}", total}}) {
        const size_t at = message.find(key);
        if (at != std::string::npos)
            message.replace(at, key.size(), std::to_string(value));
    }
    if (!failedTargets.empty())
        message += "\r\n\r\n" + ResultMessage(language, failedTargets);
    return message;
}

std::string ResultMessage(int language, const std::vector<std::string>& failedTargets) {
    return FailureList(language, failedTargets, kMaxListedFailures);
}

std::string FullResultReport(int language, const std::vector<std::string>& failedTargets) {
    return FailureList(language, failedTargets, failedTargets.size());
}

std::string NothingFoundMessage(int language, const std::string& folder) {
    if (language == 0)
        return "Unterhalb des Ordners\r\n" + folder +
               "\r\nwurde kein Addon gefunden. Es wurde nichts geändert.";
    return "No add-on was found below the folder\r\n" + folder + "\r\nNothing was changed.";
}

constexpr ActiveTexts kGermanActive = {
    "Aktiv: ",
    {"Sommer", "Herbst", "Winter", "Frühling"},
    "gemischt - bitte eine Jahreszeit übernehmen",
    "gemischt",
    "unbekannt",
    "Eine andere Jahreszeit zeigen: ",
};
constexpr ActiveTexts kEnglishActive = {
    "Active now: ",
    {"summer", "autumn", "winter", "spring"},
    "mixed - apply a season to repair",
    "mixed",
    "unknown",
    "Showing another season: ",
};

std::string_view LinkOutsideText(int language) {
    return language == 0 ? "Verknüpfung führt aus dem Ordner hinaus"
                         : "link leads outside the folder";
}

std::vector<std::string> FailedTargetsNamed(int language, const ApplyResult& result) {
    std::vector<std::string> named = result.failedTargets;
    for (std::string& target : named) {
        if (std::find(result.linkRefused.begin(), result.linkRefused.end(), target) !=
            result.linkRefused.end())
            target += " (" + std::string(LinkOutsideText(language)) + ")";
    }
    return named;
}

const ActiveTexts& ActiveTextsFor(int language) {
    return language == 0 ? kGermanActive : kEnglishActive;
}

std::string ActiveSeasonLine(int language, const ActiveSeasons& found) {
    const ActiveTexts& t = ActiveTextsFor(language);
    std::string line(t.lead);
    switch (found.activity) {
    case Activity::Season:
        line += t.seasons[found.season];
        break;
    case Activity::Mixed:
        line += t.mixed;
        break;
    case Activity::Unknown:
        line += t.unknown;
        break;
    }
    return line;
}

std::string ActiveSeasonHint(int language, const ActiveSeasons& found) {
    if (found.activity != Activity::Mixed)
        return {};
    std::string hint(ActiveTextsFor(language).differing);
    for (size_t i = 0; i < found.differing.size(); ++i)
        hint += (i ? ", " : "") + found.differing[i];
    return hint;
}

std::string ActiveSeasonReport(int language, const ActiveSeasons& found) {
    const ActiveTexts& t = ActiveTextsFor(language);
    std::string report;
    for (const AddonActivity& addon : found.addons) {
        report += addon.name + ": ";
        if (addon.activity == Activity::Season) {
            report += t.seasons[SeasonShown(addon.seasons, found.season)];
        } else if (addon.activity == Activity::Unknown) {
            report += t.unknown;
        } else {
            report += t.mixedWord;
            for (size_t i = 0; i < addon.disagreeing.size(); ++i)
                report += (i ? ", " : " (") + addon.disagreeing[i];
            report += addon.disagreeing.empty() ? "" : ")";
        }
        report += "\r\n";
    }
    return report + ActiveSeasonLine(language, found);
}

const CommandLineTexts& CommandLineTextsFor(int language) {
    return language == 0 ? kGermanCommandLine : kEnglishCommandLine;
}

const LanguageTexts& TextsFor(int language) {
    return language == 0 ? kGermanTexts : kEnglishTexts;
}

const GuardTexts& GuardTextsFor(int language) {
    return language == 0 ? kGermanGuards : kEnglishGuards;
}

std::string_view SeasonPictureName(int season) {
    return (season >= 0 && season < 4) ? kSeasonPictureNames[season] : std::string_view{};
}

} // namespace season
