#include "texts.h"

namespace season {
namespace {

constexpr LanguageTexts kGerman = {
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

} // namespace

const ApplyTexts& ApplyTextsFor(int language) {
    return language == 0 ? kGermanApply : kEnglishApply;
}

std::string ResultMessage(int language, const std::vector<std::string>& failedTargets) {
    const ApplyTexts& texts = ApplyTextsFor(language);
    if (failedTargets.empty())
        return std::string(texts.success);
    std::string message(texts.someFailed);
    message += " (" + std::to_string(failedTargets.size()) + "):";
    for (size_t i = 0; i < failedTargets.size(); ++i) {
        if (i == kMaxListedFailures) {
            message += "\r\n...";
            break;
        }
        message += "\r\n" + failedTargets[i];
    }
    return message;
}

const LanguageTexts& TextsFor(int language) {
    return language == 0 ? kGerman : kEnglish;
}

std::string_view SeasonPictureName(int season) {
    return (season >= 0 && season < 4) ? kSeasonPictureNames[season] : std::string_view{};
}

} // namespace season
