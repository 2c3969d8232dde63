#include "texts.h"

#include <utility>

namespace season {
namespace {

// Windows-1252: \xE4 ä, \xF6 ö, \xFC ü, \x84 „, \x93 “. A literal is split where a
// hex escape would otherwise swallow the letter after it.
constexpr LanguageTexts kGerman = {
    "Diese Jahreszeit-Einstellung wird nicht vom Addon Quorrin X unterst\xFCtzt.",
    "Unterst\xFCtzung f\xFCr ..",
    "Beenden",
    "Einstellung \xFC"
    "bernehmen",
    "Hierbei handelt es sich um ein Programm, das es erm\xF6glicht bei\r"
    "FSX-Objekten saisonale Texturen zu benutzen, da dies vom FSX f\xFCr\r"
    "3D Objekte nicht unterst\xFCtzt wird. Sollten Sie also die gr\xFCnen B\xE4ume\r"
    "in der n\xE4heren Umgebung des Airports im Winter/Herbst st\xF6ren,\r"
    "so benutzen Sie bitte das \x84Turnleaf\x93.\r"
    "Bei diesem Tool werden einfach die Sommertexturen der B\xE4ume gegen\r"
    "andere ausgetauscht. Daher m\xFCssen Sie es bei jedem Saisonwechsel\r"
    "neu ausf\xFChren und die Saison entsprechend \xE4ndern.\r"
    "Die Bodentexturen passen sich automatisch an die entsprechende\r"
    "Saison an. Allerdings erkennt der FSX bei Foto-Bodentexturen nicht\r"
    "ob es schneit. Daher wird der Untergrund von Velcastre X auch bei\r"
    "Schneefall im Winter schneelos bleiben (Da es Default im FSX im\r"
    "Winter keinen Schnee gibt).",
};

constexpr LanguageTexts kEnglish = {
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
    "Flugsimulator l\xE4uft",
    "Der Flugsimulator (FSX) l\xE4uft noch. Solange er l\xE4uft, h\xE4lt er die "
    "Texturdateien ge\xF6"
    "ffnet, und der Wechsel w\xFCrde auf halbem Weg scheitern.\r\n\r\n"
    "Bitte beenden Sie den Simulator und w\xE4hlen Sie dann \x84Wiederholen\x93.",
    "Administratorrechte erforderlich",
    "Das Programm darf im Ordner",
    "keine Dateien \xE4ndern, weil Windows ihn sch\xFCtzt (wie unter \x84Programme\x93).\r\n\r\n"
    "Soll es mit Administratorrechten neu starten und die Texturen \xFC"
    "bernehmen?",
    "Das Programm konnte nicht mit Administratorrechten gestartet werden. "
    "Es wurde nichts ge\xE4ndert.",
    "Der Wechsel wurde beim Schlie\xDF"
    "en des Fensters angehalten: {done} von {total} \xC4nderungen wurden vorgenommen. "
    "\xDC"
    "bernehmen Sie erneut, um die Jahreszeit zu vervollst\xE4ndigen.",
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
    "Spring / Fr\xFChling",
};

// Windows-1252: \xF6 ö, \xE4 ä, \xC4 Ä, \xFC ü.
constexpr ApplyTexts kGermanApply = {
    "M\xF6"
    "chten Sie MipMap-Texturen bei dem Addon Norvasse X verwenden?",
    "Bitte w\xE4hlen Sie ...",
    "\xC4nderung der TEXTUREN durchgef\xFChrt!",
    "Einige Texturdateien konnten nicht ge\xE4ndert werden",
};
constexpr ApplyTexts kEnglishApply = {
    "Do you want to use MipMap-Textures with the addon Norvasse X?",
    "Please select now...",
    "Change texture settings successful!",
    "Some texture files could not be changed",
};

constexpr size_t kMaxListedFailures = 10;

// Windows-1252: \xE4 ä, \xFC ü, \xF6 ö.
constexpr CommandLineTexts kGermanCommandLine = {
    "season.exe /season=summer|autumn|winter|spring|auto [/mipmaps=yes|no]\r\n"
    "    [/lang=en|de] [/quiet] [/hemisphere=north|south]\r\n"
    "\r\n"
    "/season: stellt die Addons unterhalb des Programmordners ohne Fenster auf\r\n"
    "    die Jahreszeit um; auto w\xE4hlt sie nach dem heutigen Datum (M\xE4rz bis\r\n"
    "    Mai Fr\xFChling, Juni bis August Sommer, September bis November Herbst,\r\n"
    "    Dezember bis Februar Winter).\r\n"
    "/hemisphere=south: auto verschiebt die Jahreszeit um ein halbes Jahr.\r\n"
    "/mipmaps: beantwortet die MipMap-Frage zum Addon Norvasse X.\r\n"
    "/lang: die Sprache der Meldungen.\r\n"
    "/quiet: keine Meldung; das Ergebnis steht in {report} neben dem Programm.\r\n"
    "\r\n"
    "R\xFC"
    "ckgabewerte: 0 umgestellt, 1 einige Dateien konnten nicht ge\xE4ndert\r\n"
    "werden, 2 ung\xFCltige Argumente, 3 kein Addon gefunden.",
    "Unbekanntes oder fehlerhaftes Argument:",
    "Der Schalter /season= fehlt.",
    "Die Umstellung wurde vorzeitig beendet; bitte noch einmal ausf\xFChren.",
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
    "Exit codes: 0 switched, 1 some files could not be changed, 2 bad arguments,\r\n"
    "3 no add-on found.",
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
    // Windows-1252: \xE4 ä.
    if (language == 0)
        return "Unterhalb des Ordners\r\n" + folder +
               "\r\nwurde kein Addon gefunden. Es wurde nichts ge\xE4ndert.";
    return "No add-on was found below the folder\r\n" + folder + "\r\nNothing was changed.";
}

const CommandLineTexts& CommandLineTextsFor(int language) {
    return language == 0 ? kGermanCommandLine : kEnglishCommandLine;
}

const LanguageTexts& TextsFor(int language) {
    return language == 0 ? kGerman : kEnglish;
}

const GuardTexts& GuardTextsFor(int language) {
    return language == 0 ? kGermanGuards : kEnglishGuards;
}

std::string_view SeasonPictureName(int season) {
    return (season >= 0 && season < 4) ? kSeasonPictureNames[season] : std::string_view{};
}

} // namespace season
