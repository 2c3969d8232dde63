// The catalogue checked against the add-ons' documented file layouts, written out
// here independently of the table.
#include "catalogue.h"

#include <gtest/gtest.h>

#include <string>

using season::Catalogue;
using season::Condition;
using season::OpKind;

namespace {

struct RowFacts {
    const char* display;
    const char* folder;
    const char* probe;
};

const RowFacts kRows[25] = {
    {"Brenholt - KWOV", "Brenholt", "Texture\\Sommer\\KWOV_gre01_diff.dds"},
    {"Quorrin X", "Quorrin", "Scenery\\TUBR_Library_Cars1.BGL"},
    {"Taskelby X", "Taskelby X", "Scenery\\airport_final.BGL"},
    {"Mirrowen X", "Mirrowen X", "Scenery\\GIRM_Aerial.bgl"},
    {"Drevanth X", "Drevanth", "Scenery\\OXTA_Library.BGL"},
    {"Ostrakel X", "Ostrakel Venmark X", "Scenery\\NUBE_Excl.bgl"},
    {"Velmora X", "Velmora X", "Scenery\\ZIRK_Library.BGL"},
    {"Kandrith", "Kandrith", "Scenery\\HUVA-1_LIB.bgl"},
    {"Pellwick X", "Pellwick X", "Scenery\\YABO_objekt_lib.BGL"},
    {"Norvasse X", "Norvasse X", "Norvasse X - priority 1\\Scenery\\TWEL_ADE_FW.BGL"},
    {"Hestrin", "Hestrin 6194", "Scenery\\Kelpwise-DROQ-FLIB.BGL"},
    {"Ulbarra X", "ULBARRA Airport", "SCENERY\\qen_veh_lib.bgl"},
    {"Sorvikk X", "Sorvikk X", "SCENERY\\MOJU_Aerial_Big.bgl"},
    {"Grimmary", "Grimmary 1\\Cobbleford", "SCENERY\\CobblefordFull.bgl"},
    {"Tallowby 5738", "Tallowby 5738 X", "SCENERY\\TallowbySAT.bgl"},
    {"Wendmoor X", "Wendmoor-Airport", "SCENERY\\LEWT_Docking.BGL"},
    {"Zelvany 2", "Zelvany 2 X", "Scenery\\Trevanik.bgl"},
    {"Rostevik X", "Rostevik X", "Scenery\\photo_rostevik.BGL"},
    {"RUXO Jaskorn 6194 X", "RUXO Jaskorn 6194 X", "Scenery\\RUXO_ApronDulvenka_12.bgl"},
    {"Obrenya X", "Fennick 6194", "Scenery\\Wemm_obj.bgl"},
    {"Gethwald X", "FOBA Gethwald_SC", "Scenery\\foba_FSX_lib.bgl"},
    {"Marrowby", "Marrowby\\JUPE_7025_SC", "Scenery\\JUPE-FSX-lib.bgl"},
    {"Aldercot", "Aldercot", "Scenery\\NAQI_TerrainRwy06.bgl"},
    {"Brackwell", "Brackwell", "Scenery\\PEWO.bgl"},
    {"Tundrell X", "Tundrell X", "Scenery\\Photo111.bgl"},
};

// Counts the operations of one kind over all rows and seasons.
int CountKind(OpKind kind) {
    int n = 0;
    for (const auto& row : Catalogue())
        for (const auto& list : row.seasons)
            for (const auto& op : list)
                n += op.kind == kind;
    return n;
}

// The season list of a row as "kind source>target" lines, for exact comparison.
std::string Describe(int row, int season) {
    std::string out;
    for (const auto& op :
         Catalogue()[static_cast<size_t>(row - 1)].seasons[static_cast<size_t>(season)]) {
        out += op.kind == OpKind::FileCopy     ? "copy "
               : op.kind == OpKind::FileRename ? "ren "
                                               : "dir ";
        if (op.condition == Condition::IfMipMaps)
            out += "[mip] ";
        if (op.condition == Condition::IfNoMipMaps)
            out += "[nomip] ";
        if (op.condition == Condition::IfGuardFile)
            out += std::string("[if ") + op.guard + "] ";
        out += std::string(op.source) + ">" + op.target + "\n";
    }
    return out;
}

} // namespace

TEST(Catalogue, RowsNameFolderAndProbeOfEachAddon) {
    ASSERT_EQ(Catalogue().size(), 25u);
    for (int i = 0; i < 25; ++i) {
        const auto& row = Catalogue()[static_cast<size_t>(i)];
        EXPECT_STREQ(row.displayName, kRows[i].display) << "row " << i + 1;
        EXPECT_STREQ(row.installFolder, kRows[i].folder) << "row " << i + 1;
        EXPECT_STREQ(row.probeFile, kRows[i].probe) << "row " << i + 1;
        EXPECT_EQ(row.hasFlag, i != 0) << "row " << i + 1;
    }
}

TEST(Catalogue, HoldsTheDocumentedNumberOfOperations) {
    EXPECT_EQ(CountKind(OpKind::FileCopy), 132);
    EXPECT_EQ(CountKind(OpKind::FileRename), 28);
    EXPECT_EQ(CountKind(OpKind::FolderCopy), 78);
}

TEST(Catalogue, AppliesTaskelbyMirrowenQuorrinFirstThenInRowOrder) {
    const std::array<int, 24> expected = {3,  4,  2,  5,  6,  7,  8,  9,  10, 11, 12, 13,
                                          14, 15, 16, 17, 18, 19, 20, 21, 22, 23, 24, 25};
    EXPECT_EQ(season::ApplyOrder(), expected);
    EXPECT_EQ(Catalogue()[0].applyPosition, season::kRunInEntryLoop);
}

TEST(Catalogue, PathsAreRelativeWithBackslashes) {
    for (const auto& row : Catalogue()) {
        for (const auto& list : row.seasons) {
            for (const auto& op : list) {
                for (const char* p : {op.source, op.target}) {
                    const std::string path = p;
                    EXPECT_EQ(path.find('/'), std::string::npos) << path;
                    EXPECT_NE(path.front(), '\\') << path;
                }
                EXPECT_EQ(op.condition == Condition::IfGuardFile, op.guard != nullptr);
            }
        }
    }
}

TEST(Catalogue, SeasonListsMatchTheAddonLayouts) {
    struct Case {
        int row, season;
        const char* list;
    } cases[] = {
        {1, 2, "dir [if Texture\\Winter\\KWOV_gre01_diff.dds] Texture\\Winter>Texture\\\n"},
        {1, 3, "dir [if Texture\\Fruehling\\KWOV_gre01_diff.dds] Texture\\Fruehling>Texture\\\n"},
        {2, 1, ""},
        {2, 3, ""},
        {2, 2,
         "ren Scenery\\Winter_TUBR_Terrain01.off>Scenery\\Winter_TUBR_Terrain01.bgl\n"
         "ren Scenery\\Winter_TUBR_Aerial.off>Scenery\\Winter_TUBR_Aerial.bgl\n"
         "ren Scenery\\Winter_TUBR_Library.off>Scenery\\Winter_TUBR_Library.bgl\n"
         "ren Scenery\\TUBR_Terrain01.bgl>Scenery\\TUBR_Terrain01.off\n"
         "ren Scenery\\TUBR_Aerial.bgl>Scenery\\TUBR_Aerial.off\n"
         "ren Scenery\\TUBR_Library.bgl>Scenery\\TUBR_Library.off\n"
         "copy Texture\\Winter_treesSU.off>Texture\\treesSU.bmp\n"},
        {2, 0,
         "ren Scenery\\Winter_TUBR_Terrain01.bgl>Scenery\\Winter_TUBR_Terrain01.off\n"
         "ren Scenery\\Winter_TUBR_Aerial.bgl>Scenery\\Winter_TUBR_Aerial.off\n"
         "ren Scenery\\Winter_TUBR_Library.bgl>Scenery\\Winter_TUBR_Library.off\n"
         "ren Scenery\\TUBR_Terrain01.off>Scenery\\TUBR_Terrain01.bgl\n"
         "ren Scenery\\TUBR_Aerial.off>Scenery\\TUBR_Aerial.bgl\n"
         "ren Scenery\\TUBR_Library.off>Scenery\\TUBR_Library.bgl\n"
         "copy Texture\\Sommer_treesSU.off>Texture\\treesSU.bmp\n"},
        {3, 1, "copy Texture\\Herbst\\x_trees.bmp>Texture\\x_trees.bmp\n"},
        {3, 2,
         "copy Texture\\Winter\\x_trees.bmp>Texture\\x_trees.bmp\n"
         "copy Texture\\Winter\\maisfeld.bmp>Texture\\maisfeld.bmp\n"},
        {6, 2,
         "copy Texture\\tree_01_wi.bmp>Texture\\tree_01.bmp\n"
         "copy Texture\\tree_02_wi.bmp>Texture\\tree_02.bmp\n"
         "copy Texture\\tree_03_wi.bmp>Texture\\tree_03.bmp\n"
         "copy Texture\\tree_04_wi.bmp>Texture\\tree_04.bmp\n"},
        {7, 1,
         "copy Texture\\Fall\\Vegetation01.dds>Texture\\Vegetation01.dds\n"
         "copy Texture\\Fall\\Vegetation02.dds>Texture\\Vegetation02.dds\n"},
        {8, 3, "copy Texture\\Season\\QIR-278-SU.bmp>Texture\\QIR-278.bmp\n"},
        {9, 3, "dir Texture\\Sp>Texture\n"},
        {10, 1,
         "dir [mip] Norvasse X - priority 2\\Texture.MipMaps>Norvasse X - priority 2\\Texture\n"
         "dir [nomip] Norvasse X - priority 2\\Texture.NoMipMaps>Norvasse X - priority 2\\Texture\n"
         "dir [mip] Norvasse X - priority 2\\Texture.spring.MipMaps>Norvasse X - priority "
         "2\\Texture\n"
         "dir [nomip] Norvasse X - priority 2\\Texture.sping.NoMipMaps>Norvasse X - priority "
         "2\\Texture\n"},
        {11, 2, "dir Texture\\Wi>Texture\n"},
        {12, 2, "ren SCENERY\\veg_cmb.bgl>SCENERY\\veg_cmb.off\n"},
        {12, 3, "ren SCENERY\\veg_cmb.off>SCENERY\\veg_cmb.bgl\n"},
        {13, 3, "dir SCENERY\\fall>SCENERY\ndir texture\\fall>texture\n"},
        {14, 1,
         "ren "
         "SCENERY\\CobblefordWindsock_SummerSpring.bgl>SCENERY\\CobblefordWindsock_SummerSpring."
         "off\n"
         "ren SCENERY\\CobblefordWindsock_Winter.bgl>SCENERY\\CobblefordWindsock_Winter.off\n"
         "ren SCENERY\\CobblefordWindsock_Fall.off>SCENERY\\CobblefordWindsock_Fall.bgl\n"},
        {14, 3,
         "ren "
         "SCENERY\\CobblefordWindsock_SummerSpring.off>SCENERY\\CobblefordWindsock_SummerSpring."
         "bgl\n"
         "ren SCENERY\\CobblefordWindsock_Winter.bgl>SCENERY\\CobblefordWindsock_Winter.off\n"
         "ren SCENERY\\CobblefordWindsock_Fall.bgl>SCENERY\\CobblefordWindsock_Fall.off\n"},
        {15, 3, "dir Texture\\summer>Texture\n"},
        {16, 1, ""},
        {16, 2, "dir Texture\\winter>Texture\n"},
        {17, 1, "dir Texture\\fall>Texture\n"},
        {18, 3, ""},
        {18, 2, "dir Seasons\\winter\\Scenery>Scenery\ndir Seasons\\winter\\texture>texture\n"},
        {19, 2, "dir Texture\\winter>Texture\n"},
        {20, 3, "dir Texture\\Spring>Texture\n"},
        {21, 2,
         "copy Texture\\Season\\treeshw.bmp>Texture\\trees.bmp\n"
         "copy Texture\\Season\\foba_gras_WI.bmp>Texture\\foba_gras.bmp\n"},
        {22, 1, "dir Texture\\Fall>Texture\n"},
        {23, 1, "dir Texture\\normal>Texture\n"},
        {24, 2, "dir Texture\\winter>Texture\n"},
        {25, 3,
         "dir Seasons\\fall-spring\\Texture>Texture\ndir Seasons\\fall-spring\\scenery>scenery\n"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(Describe(c.row, c.season), c.list) << "row " << c.row << " season " << c.season;
}

TEST(Catalogue, MirrowenCopiesTenGroundTexturesFromTheSeasonFolder) {
    const char* files[] = {"GIRM_Stuff_1.bmp",   "GIRM_Ground_A1.bmp", "GIRM_Ground_A4.bmp",
                           "GIRM_Ground_A3.bmp", "GIRM_Ground_B1.bmp", "GIRM_Ground_B2.bmp",
                           "GIRM_Ground_B3.bmp", "GIRM_Ground_C2.bmp", "GIRM_Ground_D2.bmp",
                           "GIRM_Ground_D3.bmp"};
    const char* folders[] = {"Summer", "Spring", "Winter", "Spring"};
    for (int s = 0; s < 4; ++s) {
        std::string expected;
        for (const char* f : files)
            expected += std::string("copy texture\\texture.") + folders[s] + "\\" + f +
                        ">texture\\" + f + "\n";
        EXPECT_EQ(Describe(4, s), expected) << "season " << s;
    }
}

TEST(Catalogue, DrevanthTakesTheWinterGroundInAutumn) {
    const char* trees[] = {"treesSU", "treesFA", "treesWI", "treesSP"};
    const char* logistics[] = {"", "_FA", "_WI", "_SP"};
    const char* ground[] = {"", "_WI", "_WI", ""};
    for (int s = 0; s < 4; ++s) {
        std::string expected = std::string("copy Texture\\Texture\\") + trees[s] +
                               ".bmp>Texture\\treesSU.bmp\n" +
                               "copy Texture\\Texture\\OXTA_Logistics06" + logistics[s] +
                               ".bmp>Texture\\OXTA_Logistics06.bmp\n";
        for (int n = 1; n <= 10; ++n) {
            const std::string nn = (n < 10 ? "0" : "") + std::to_string(n);
            expected += "copy Texture\\Texture\\OXTA_Terrain" + nn + ground[s] +
                        ".bmp>Texture\\OXTA_Terrain" + nn + ".bmp\n";
        }
        EXPECT_EQ(Describe(5, s), expected) << "season " << s;
    }
}
