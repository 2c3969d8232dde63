#include "texts.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

// Windows-1252 to UTF-8 for the characters the texts use; anything else above
// 0x7F is marked, so that a text held in another encoding shows up.
std::string Utf8(std::string_view cp1252) {
    std::string out;
    for (unsigned char c : cp1252) {
        switch (c) {
        case 0xE4:
            out += "ä";
            break;
        case 0xF6:
            out += "ö";
            break;
        case 0xFC:
            out += "ü";
            break;
        case 0x84:
            out += "„";
            break;
        case 0x93:
            out += "“";
            break;
        case 0xC4:
            out += "Ä";
            break;
        default:
            out += c < 0x80 ? std::string(1, static_cast<char>(c)) : std::string("<?>");
        }
    }
    return out;
}

std::vector<std::string> Lines(std::string_view text) {
    std::vector<std::string> lines(1);
    for (char c : text) {
        if (c == '\r')
            lines.emplace_back();
        else
            lines.back() += c;
    }
    return lines;
}

} // namespace

TEST(Texts, GermanSetComesOutWithUmlautsAndQuotationMarks) {
    const auto& de = season::TextsFor(0);
    EXPECT_EQ(Utf8(de.quorrinWarning),
              "Diese Jahreszeit-Einstellung wird nicht vom Addon Quorrin X unterstützt.");
    EXPECT_EQ(Utf8(de.supportFor), "Unterstützung für ..");
    EXPECT_EQ(Utf8(de.closeButton), "Beenden");
    EXPECT_EQ(Utf8(de.applyButton), "Einstellung übernehmen");
    const auto lines = Lines(de.help);
    ASSERT_EQ(lines.size(), 13u);
    EXPECT_EQ(Utf8(lines[0]), "Hierbei handelt es sich um ein Programm, das es ermöglicht bei");
    EXPECT_EQ(Utf8(lines[2]),
              "3D Objekte nicht unterstützt wird. Sollten Sie also die grünen Bäume");
    EXPECT_EQ(Utf8(lines[4]), "so benutzen Sie bitte das „Turnleaf“.");
    EXPECT_EQ(Utf8(lines[7]), "neu ausführen und die Saison entsprechend ändern.");
    EXPECT_EQ(Utf8(lines[12]), "Winter keinen Schnee gibt).");
}

TEST(Texts, EnglishSetIsUsedForEveryLanguageButGerman) {
    for (int language : {1, 2, -1}) {
        const auto& en = season::TextsFor(language);
        EXPECT_EQ(en.quorrinWarning,
                  "This season textures is NOT supported by the Quorrin X add-on.");
        EXPECT_EQ(en.supportFor, "Support for ...");
        EXPECT_EQ(en.closeButton, "Close");
        EXPECT_EQ(en.applyButton, "Apply new textures for all products");
        const auto lines = Lines(en.help);
        ASSERT_EQ(lines.size(), 11u);
        EXPECT_EQ(lines[0],
                  "This is a programme that enables you to make use of seasonal textures");
        EXPECT_EQ(lines[10],
                  "during the winter. (by default there is no snow in FSX in the winter).");
    }
}

TEST(Texts, HelpLinesBreakAtALoneCarriageReturn) {
    for (int language : {0, 1}) {
        const std::string_view help = season::TextsFor(language).help;
        EXPECT_EQ(help.find('\n'), std::string_view::npos);
        EXPECT_NE(help.back(), '\r');
        EXPECT_EQ(help.find("\r\r"), std::string_view::npos) << "no empty line";
        for (const auto& line : Lines(help))
            EXPECT_FALSE(line.empty());
    }
}

TEST(Texts, FixedTextsKeepTheirExactSpelling) {
    EXPECT_EQ(season::kGermanFlagHint, " Change to german lanuage..");
    EXPECT_EQ(season::kEnglishFlagHint, "Change to english lanuage..");
    EXPECT_EQ(season::kApplicationTitle, "Brightmere Turnleaf");
    EXPECT_EQ(Utf8(season::SeasonPictureName(3)), "Spring / Frühling");
    EXPECT_TRUE(season::SeasonPictureName(4).empty());
}

TEST(ResultMessage, SaysSuccessOrListsAtMostTenFailedTargets) {
    std::vector<std::string> failed;
    for (int i = 1; i <= 12; ++i)
        failed.push_back("C:\\Addons\\t" + std::to_string(i) + ".bmp");
    std::string expected = "Einige Texturdateien konnten nicht geändert werden (12):";
    for (int i = 1; i <= 10; ++i)
        expected += "\r\nC:\\Addons\\t" + std::to_string(i) + ".bmp";
    expected += "\r\n...";
    EXPECT_EQ(Utf8(season::ResultMessage(0, failed)), expected);
    failed.resize(1);
    EXPECT_EQ(season::ResultMessage(1, failed),
              "Some texture files could not be changed (1):\r\nC:\\Addons\\t1.bmp");
    EXPECT_EQ(season::ResultMessage(1, {}), "Change texture settings successful!");
    EXPECT_EQ(Utf8(season::ResultMessage(0, {})), "Änderung der TEXTUREN durchgeführt!");
}

TEST(ApplyTexts, MipMapQuestionInBothLanguages) {
    const auto& de = season::ApplyTextsFor(0);
    const auto& en = season::ApplyTextsFor(1);
    EXPECT_EQ(Utf8(de.mipMapQuestion),
              "Möchten Sie MipMap-Texturen bei dem Addon Norvasse X verwenden?");
    EXPECT_EQ(Utf8(de.mipMapCaption), "Bitte wählen Sie ...");
    EXPECT_EQ(en.mipMapQuestion, "Do you want to use MipMap-Textures with the addon Norvasse X?");
    EXPECT_EQ(en.mipMapCaption, "Please select now...");
}
