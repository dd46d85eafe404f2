#include "core/catalogue.h"

#include <gtest/gtest.h>
#include <set>
#include <string>

namespace orvex {
namespace {

TEST(Catalogue, TextsInBothLanguages) {
    struct Case {
        int number;
        const char* english;
        const char* french;
    };
    // The first and last rows, empty texts, a line break and a leading blank inside a text.
    const Case cases[] = {
        {0, "Abort capture", "Abandon"},
        {69, "", ""},
        {119, " does not exist. Create new script ?", " n'existe pas. Créer un nouveau script ?"},
        {27, "Unable to set aperture. Camera should be set in manual or Av mode!",
         "Impossible de programmer l'ouverture\rLe sélecteur de mode doit être sur Manu ou Av!"},
        {211, "Pictures that could not be downloaded: %d", "Images qui n'ont pas pu être téléchargées : %d"},
    };
    for (const Case& c : cases) {
        EXPECT_STREQ(messageText(kEnglish, c.number), c.english) << c.number;
        EXPECT_STREQ(messageText(kFrench, c.number), c.french) << c.number;
    }
}

// A number in none of the catalogue's rows, inside its range or not, gives "???" in both languages.
TEST(Catalogue, EveryNumberButTheHolesHasTextsInBothLanguages) {
    const std::set<int> holes = {5, 6, 7, 78, 86, 87, 90, 118, 123, 175};
    for (int n = -1; n <= 219; ++n) {
        const bool hole = n < 0 || holes.count(n);
        EXPECT_EQ(std::string(messageText(kEnglish, n)) == "???", hole) << n;
        EXPECT_EQ(std::string(messageText(kFrench, n)) == "???", hole) << n;
    }
    for (int language : {kEnglish, kFrench}) EXPECT_STREQ(messageText(language, 1000), "???");
}

// An unknown language, English whatever the language, the language of a system's id, and texts filled in.
TEST(Catalogue, OtherLookups) {
    EXPECT_STREQ(messageText(0, 54), "Unknown language !");
    EXPECT_STREQ(messageText(52, 54), "Unknown language !");
    EXPECT_STREQ(englishText(161), "Script editor");
    for (unsigned id : {1036u, 6156u}) EXPECT_EQ(languageFromLangId(id), kFrench) << id;
    for (unsigned id : {0u, 1033u, 1031u, 7180u}) EXPECT_EQ(languageFromLangId(id), kEnglish) << id;
    EXPECT_EQ(formatMessage(kFrench, 74, 12), "Délai invalide à la ligne 12 !");
    EXPECT_EQ(formatMessage(kEnglish, 168, std::string("ttyUSB0")), "Cannot access serial port ttyUSB0 !");
}

} // namespace
} // namespace orvex
