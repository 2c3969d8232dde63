// The catalogue data. Paths, letter case and order are those the add-ons' own
// installers lay down; odd spellings ("Texture.sping.NoMipMaps", "treeshw.bmp")
// are real folder and file names and must stay as they are.
#include "catalogue.h"

#include <algorithm>

namespace season {
namespace {

constexpr OpKind Copy = OpKind::FileCopy;
constexpr OpKind Rename = OpKind::FileRename;
constexpr OpKind Folder = OpKind::FolderCopy;
constexpr Condition Mip = Condition::IfMipMaps;
constexpr Condition NoMip = Condition::IfNoMipMaps;
constexpr Condition Guard = Condition::IfGuardFile;

constexpr OperationList kNone{};

// Row 1, "Brenholt - KWOV": the German season folder over "Texture\", guarded by
// one of its files.
constexpr SeasonOperation kBrenholt[4][1] = {
    {{Folder, "Texture\\Sommer", "Texture\\", Guard, "Texture\\Sommer\\KWOV_gre01_diff.dds"}},
    {{Folder, "Texture\\Herbst", "Texture\\", Guard, "Texture\\Herbst\\KWOV_gre01_diff.dds"}},
    {{Folder, "Texture\\Winter", "Texture\\", Guard, "Texture\\Winter\\KWOV_gre01_diff.dds"}},
    {{Folder, "Texture\\Fruehling", "Texture\\", Guard, "Texture\\Fruehling\\KWOV_gre01_diff.dds"}},
};

// Row 2, "Quorrin X": switched-off scenery carries ".off" instead of ".bgl".
constexpr SeasonOperation kQuorrinSummer[] = {
    {Rename, "Scenery\\Winter_TUBR_Terrain01.bgl", "Scenery\\Winter_TUBR_Terrain01.off"},
    {Rename, "Scenery\\Winter_TUBR_Aerial.bgl", "Scenery\\Winter_TUBR_Aerial.off"},
    {Rename, "Scenery\\Winter_TUBR_Library.bgl", "Scenery\\Winter_TUBR_Library.off"},
    {Rename, "Scenery\\TUBR_Terrain01.off", "Scenery\\TUBR_Terrain01.bgl"},
    {Rename, "Scenery\\TUBR_Aerial.off", "Scenery\\TUBR_Aerial.bgl"},
    {Rename, "Scenery\\TUBR_Library.off", "Scenery\\TUBR_Library.bgl"},
    {Copy, "Texture\\Sommer_treesSU.off", "Texture\\treesSU.bmp"},
};
constexpr SeasonOperation kQuorrinWinter[] = {
    {Rename, "Scenery\\Winter_TUBR_Terrain01.off", "Scenery\\Winter_TUBR_Terrain01.bgl"},
    {Rename, "Scenery\\Winter_TUBR_Aerial.off", "Scenery\\Winter_TUBR_Aerial.bgl"},
    {Rename, "Scenery\\Winter_TUBR_Library.off", "Scenery\\Winter_TUBR_Library.bgl"},
    {Rename, "Scenery\\TUBR_Terrain01.bgl", "Scenery\\TUBR_Terrain01.off"},
    {Rename, "Scenery\\TUBR_Aerial.bgl", "Scenery\\TUBR_Aerial.off"},
    {Rename, "Scenery\\TUBR_Library.bgl", "Scenery\\TUBR_Library.off"},
    {Copy, "Texture\\Winter_treesSU.off", "Texture\\treesSU.bmp"},
};

// Row 3, "Taskelby X": "maisfeld.bmp" exists for summer and winter only.
constexpr SeasonOperation kTaskelbySummer[] = {
    {Copy, "Texture\\Sommer\\x_trees.bmp", "Texture\\x_trees.bmp"},
    {Copy, "Texture\\Sommer\\maisfeld.bmp", "Texture\\maisfeld.bmp"},
};
constexpr SeasonOperation kTaskelbyAutumn[] = {
    {Copy, "Texture\\Herbst\\x_trees.bmp", "Texture\\x_trees.bmp"},
};
constexpr SeasonOperation kTaskelbyWinter[] = {
    {Copy, "Texture\\Winter\\x_trees.bmp", "Texture\\x_trees.bmp"},
    {Copy, "Texture\\Winter\\maisfeld.bmp", "Texture\\maisfeld.bmp"},
};
constexpr SeasonOperation kTaskelbySpring[] = {
    {Copy, "Texture\\Fruehling\\x_trees.bmp", "Texture\\x_trees.bmp"},
};

// Row 4, "Mirrowen X": autumn and spring share the spring set.
constexpr SeasonOperation kMirrowenSummer[] = {
    {Copy, "texture\\texture.Summer\\GIRM_Stuff_1.bmp", "texture\\GIRM_Stuff_1.bmp"},
    {Copy, "texture\\texture.Summer\\GIRM_Ground_A1.bmp", "texture\\GIRM_Ground_A1.bmp"},
    {Copy, "texture\\texture.Summer\\GIRM_Ground_A4.bmp", "texture\\GIRM_Ground_A4.bmp"},
    {Copy, "texture\\texture.Summer\\GIRM_Ground_A3.bmp", "texture\\GIRM_Ground_A3.bmp"},
    {Copy, "texture\\texture.Summer\\GIRM_Ground_B1.bmp", "texture\\GIRM_Ground_B1.bmp"},
    {Copy, "texture\\texture.Summer\\GIRM_Ground_B2.bmp", "texture\\GIRM_Ground_B2.bmp"},
    {Copy, "texture\\texture.Summer\\GIRM_Ground_B3.bmp", "texture\\GIRM_Ground_B3.bmp"},
    {Copy, "texture\\texture.Summer\\GIRM_Ground_C2.bmp", "texture\\GIRM_Ground_C2.bmp"},
    {Copy, "texture\\texture.Summer\\GIRM_Ground_D2.bmp", "texture\\GIRM_Ground_D2.bmp"},
    {Copy, "texture\\texture.Summer\\GIRM_Ground_D3.bmp", "texture\\GIRM_Ground_D3.bmp"},
};
constexpr SeasonOperation kMirrowenSpring[] = {
    {Copy, "texture\\texture.Spring\\GIRM_Stuff_1.bmp", "texture\\GIRM_Stuff_1.bmp"},
    {Copy, "texture\\texture.Spring\\GIRM_Ground_A1.bmp", "texture\\GIRM_Ground_A1.bmp"},
    {Copy, "texture\\texture.Spring\\GIRM_Ground_A4.bmp", "texture\\GIRM_Ground_A4.bmp"},
    {Copy, "texture\\texture.Spring\\GIRM_Ground_A3.bmp", "texture\\GIRM_Ground_A3.bmp"},
    {Copy, "texture\\texture.Spring\\GIRM_Ground_B1.bmp", "texture\\GIRM_Ground_B1.bmp"},
    {Copy, "texture\\texture.Spring\\GIRM_Ground_B2.bmp", "texture\\GIRM_Ground_B2.bmp"},
    {Copy, "texture\\texture.Spring\\GIRM_Ground_B3.bmp", "texture\\GIRM_Ground_B3.bmp"},
    {Copy, "texture\\texture.Spring\\GIRM_Ground_C2.bmp", "texture\\GIRM_Ground_C2.bmp"},
    {Copy, "texture\\texture.Spring\\GIRM_Ground_D2.bmp", "texture\\GIRM_Ground_D2.bmp"},
    {Copy, "texture\\texture.Spring\\GIRM_Ground_D3.bmp", "texture\\GIRM_Ground_D3.bmp"},
};
constexpr SeasonOperation kMirrowenWinter[] = {
    {Copy, "texture\\texture.Winter\\GIRM_Stuff_1.bmp", "texture\\GIRM_Stuff_1.bmp"},
    {Copy, "texture\\texture.Winter\\GIRM_Ground_A1.bmp", "texture\\GIRM_Ground_A1.bmp"},
    {Copy, "texture\\texture.Winter\\GIRM_Ground_A4.bmp", "texture\\GIRM_Ground_A4.bmp"},
    {Copy, "texture\\texture.Winter\\GIRM_Ground_A3.bmp", "texture\\GIRM_Ground_A3.bmp"},
    {Copy, "texture\\texture.Winter\\GIRM_Ground_B1.bmp", "texture\\GIRM_Ground_B1.bmp"},
    {Copy, "texture\\texture.Winter\\GIRM_Ground_B2.bmp", "texture\\GIRM_Ground_B2.bmp"},
    {Copy, "texture\\texture.Winter\\GIRM_Ground_B3.bmp", "texture\\GIRM_Ground_B3.bmp"},
    {Copy, "texture\\texture.Winter\\GIRM_Ground_C2.bmp", "texture\\GIRM_Ground_C2.bmp"},
    {Copy, "texture\\texture.Winter\\GIRM_Ground_D2.bmp", "texture\\GIRM_Ground_D2.bmp"},
    {Copy, "texture\\texture.Winter\\GIRM_Ground_D3.bmp", "texture\\GIRM_Ground_D3.bmp"},
};

// Row 5, "Drevanth X": trees (winter is "treesWI.bmp" here), the logistics
// texture, then ten ground textures; autumn takes the winter ground.
#define DREVANTH_GROUND(suffix)                                                                    \
    {Copy, "Texture\\Texture\\OXTA_Terrain01" suffix ".bmp", "Texture\\OXTA_Terrain01.bmp"},       \
        {Copy, "Texture\\Texture\\OXTA_Terrain02" suffix ".bmp", "Texture\\OXTA_Terrain02.bmp"},   \
        {Copy, "Texture\\Texture\\OXTA_Terrain03" suffix ".bmp", "Texture\\OXTA_Terrain03.bmp"},   \
        {Copy, "Texture\\Texture\\OXTA_Terrain04" suffix ".bmp", "Texture\\OXTA_Terrain04.bmp"},   \
        {Copy, "Texture\\Texture\\OXTA_Terrain05" suffix ".bmp", "Texture\\OXTA_Terrain05.bmp"},   \
        {Copy, "Texture\\Texture\\OXTA_Terrain06" suffix ".bmp", "Texture\\OXTA_Terrain06.bmp"},   \
        {Copy, "Texture\\Texture\\OXTA_Terrain07" suffix ".bmp", "Texture\\OXTA_Terrain07.bmp"},   \
        {Copy, "Texture\\Texture\\OXTA_Terrain08" suffix ".bmp", "Texture\\OXTA_Terrain08.bmp"},   \
        {Copy, "Texture\\Texture\\OXTA_Terrain09" suffix ".bmp", "Texture\\OXTA_Terrain09.bmp"}, { \
        Copy, "Texture\\Texture\\OXTA_Terrain10" suffix ".bmp", "Texture\\OXTA_Terrain10.bmp"      \
    }
constexpr SeasonOperation kDrevanthSummer[] = {
    {Copy, "Texture\\Texture\\treesSU.bmp", "Texture\\treesSU.bmp"},
    {Copy, "Texture\\Texture\\OXTA_Logistics06.bmp", "Texture\\OXTA_Logistics06.bmp"},
    DREVANTH_GROUND(""),
};
constexpr SeasonOperation kDrevanthAutumn[] = {
    {Copy, "Texture\\Texture\\treesFA.bmp", "Texture\\treesSU.bmp"},
    {Copy, "Texture\\Texture\\OXTA_Logistics06_FA.bmp", "Texture\\OXTA_Logistics06.bmp"},
    DREVANTH_GROUND("_WI"),
};
constexpr SeasonOperation kDrevanthWinter[] = {
    {Copy, "Texture\\Texture\\treesWI.bmp", "Texture\\treesSU.bmp"},
    {Copy, "Texture\\Texture\\OXTA_Logistics06_WI.bmp", "Texture\\OXTA_Logistics06.bmp"},
    DREVANTH_GROUND("_WI"),
};
constexpr SeasonOperation kDrevanthSpring[] = {
    {Copy, "Texture\\Texture\\treesSP.bmp", "Texture\\treesSU.bmp"},
    {Copy, "Texture\\Texture\\OXTA_Logistics06_SP.bmp", "Texture\\OXTA_Logistics06.bmp"},
    DREVANTH_GROUND(""),
};
#undef DREVANTH_GROUND

// Row 6, "Ostrakel X": the variants lie beside the active files.
#define OSTRAKEL(xx)                                                                               \
    {Copy, "Texture\\tree_01_" xx ".bmp", "Texture\\tree_01.bmp"},                                 \
        {Copy, "Texture\\tree_02_" xx ".bmp", "Texture\\tree_02.bmp"},                             \
        {Copy, "Texture\\tree_03_" xx ".bmp", "Texture\\tree_03.bmp"}, {                           \
        Copy, "Texture\\tree_04_" xx ".bmp", "Texture\\tree_04.bmp"                                \
    }
constexpr SeasonOperation kOstrakel[4][4] = {
    {OSTRAKEL("su")}, {OSTRAKEL("fa")}, {OSTRAKEL("wi")}, {OSTRAKEL("sp")}};
#undef OSTRAKEL

// Row 7, "Velmora X".
constexpr SeasonOperation kVelmora[4][2] = {
    {{Copy, "Texture\\Summer\\Vegetation01.dds", "Texture\\Vegetation01.dds"},
     {Copy, "Texture\\Summer\\Vegetation02.dds", "Texture\\Vegetation02.dds"}},
    {{Copy, "Texture\\Fall\\Vegetation01.dds", "Texture\\Vegetation01.dds"},
     {Copy, "Texture\\Fall\\Vegetation02.dds", "Texture\\Vegetation02.dds"}},
    {{Copy, "Texture\\Winter\\Vegetation01.dds", "Texture\\Vegetation01.dds"},
     {Copy, "Texture\\Winter\\Vegetation02.dds", "Texture\\Vegetation02.dds"}},
    {{Copy, "Texture\\Spring\\Vegetation01.dds", "Texture\\Vegetation01.dds"},
     {Copy, "Texture\\Spring\\Vegetation02.dds", "Texture\\Vegetation02.dds"}},
};

// Row 8, "Kandrith": spring uses the summer file.
constexpr SeasonOperation kKandrithSummer[] = {
    {Copy, "Texture\\Season\\QIR-278-SU.bmp", "Texture\\QIR-278.bmp"}};
constexpr SeasonOperation kKandrithAutumn[] = {
    {Copy, "Texture\\Season\\QIR-278-FA.bmp", "Texture\\QIR-278.bmp"}};
constexpr SeasonOperation kKandrithWinter[] = {
    {Copy, "Texture\\Season\\QIR-278-WI.bmp", "Texture\\QIR-278.bmp"}};

// Rows 9 and 11, "Pellwick X" and "Hestrin": one short-named folder per season.
constexpr SeasonOperation kShortFolders[4][1] = {
    {{Folder, "Texture\\Su", "Texture"}},
    {{Folder, "Texture\\Fa", "Texture"}},
    {{Folder, "Texture\\Wi", "Texture"}},
    {{Folder, "Texture\\Sp", "Texture"}},
};

// Row 10, "Norvasse X": base textures, then the season's textures over them, each
// from the MipMap or the plain set as the user chose. Autumn uses the spring sets.
#define NORVASSE_P2 "Norvasse X - priority 2\\"
constexpr SeasonOperation kNorvasseSummer[] = {
    {Folder, NORVASSE_P2 "Texture.MipMaps", NORVASSE_P2 "Texture", Mip},
    {Folder, NORVASSE_P2 "Texture.NoMipMaps", NORVASSE_P2 "Texture", NoMip},
    {Folder, NORVASSE_P2 "Texture.summer.MipMaps", NORVASSE_P2 "Texture", Mip},
    {Folder, NORVASSE_P2 "Texture.summer.NoMipMaps", NORVASSE_P2 "Texture", NoMip},
};
constexpr SeasonOperation kNorvasseSpring[] = {
    {Folder, NORVASSE_P2 "Texture.MipMaps", NORVASSE_P2 "Texture", Mip},
    {Folder, NORVASSE_P2 "Texture.NoMipMaps", NORVASSE_P2 "Texture", NoMip},
    {Folder, NORVASSE_P2 "Texture.spring.MipMaps", NORVASSE_P2 "Texture", Mip},
    {Folder, NORVASSE_P2 "Texture.sping.NoMipMaps", NORVASSE_P2 "Texture", NoMip},
};
constexpr SeasonOperation kNorvasseWinter[] = {
    {Folder, NORVASSE_P2 "Texture.MipMaps", NORVASSE_P2 "Texture", Mip},
    {Folder, NORVASSE_P2 "Texture.NoMipMaps", NORVASSE_P2 "Texture", NoMip},
    {Folder, NORVASSE_P2 "Texture.winter.MipMaps", NORVASSE_P2 "Texture", Mip},
    {Folder, NORVASSE_P2 "Texture.winter.NoMipMaps", NORVASSE_P2 "Texture", NoMip},
};
#undef NORVASSE_P2

// Row 12, "Ulbarra X": the vegetation layer is off in winter only.
constexpr SeasonOperation kUlbarraOn[] = {{Rename, "SCENERY\\veg_cmb.off", "SCENERY\\veg_cmb.bgl"}};
constexpr SeasonOperation kUlbarraOff[] = {
    {Rename, "SCENERY\\veg_cmb.bgl", "SCENERY\\veg_cmb.off"}};

// Row 13, "Sorvikk X": spring uses the autumn folders.
constexpr SeasonOperation kSorvikkSummer[] = {
    {Folder, "SCENERY\\summer", "SCENERY"},
    {Folder, "texture\\summer", "texture"},
};
constexpr SeasonOperation kSorvikkFall[] = {
    {Folder, "SCENERY\\fall", "SCENERY"},
    {Folder, "texture\\fall", "texture"},
};
constexpr SeasonOperation kSorvikkWinter[] = {
    {Folder, "SCENERY\\winter", "SCENERY"},
    {Folder, "texture\\winter", "texture"},
};

// Row 14, "Grimmary": three wind-sock layers, the season's switched on and the
// other two off, always in the order SummerSpring, Winter, Fall.
#define SOCK "SCENERY\\CobblefordWindsock_"
constexpr SeasonOperation kGrimmarySummer[] = {
    {Rename, SOCK "SummerSpring.off", SOCK "SummerSpring.bgl"},
    {Rename, SOCK "Winter.bgl", SOCK "Winter.off"},
    {Rename, SOCK "Fall.bgl", SOCK "Fall.off"},
};
constexpr SeasonOperation kGrimmaryAutumn[] = {
    {Rename, SOCK "SummerSpring.bgl", SOCK "SummerSpring.off"},
    {Rename, SOCK "Winter.bgl", SOCK "Winter.off"},
    {Rename, SOCK "Fall.off", SOCK "Fall.bgl"},
};
constexpr SeasonOperation kGrimmaryWinter[] = {
    {Rename, SOCK "SummerSpring.bgl", SOCK "SummerSpring.off"},
    {Rename, SOCK "Winter.off", SOCK "Winter.bgl"},
    {Rename, SOCK "Fall.bgl", SOCK "Fall.off"},
};
#undef SOCK

// Rows 15, 16, 17, 19 and 20: one lower-case season folder into "Texture".
constexpr SeasonOperation kTexSummer[] = {{Folder, "Texture\\summer", "Texture"}};
constexpr SeasonOperation kTexFall[] = {{Folder, "Texture\\fall", "Texture"}};
constexpr SeasonOperation kTexWinter[] = {{Folder, "Texture\\winter", "Texture"}};
constexpr SeasonOperation kTexSpringCapital[] = {{Folder, "Texture\\Spring", "Texture"}};

// Row 18, "Rostevik X": summer and winter only.
constexpr SeasonOperation kRostevikSummer[] = {
    {Folder, "Seasons\\summer\\Scenery", "Scenery"},
    {Folder, "Seasons\\summer\\texture", "texture"},
};
constexpr SeasonOperation kRostevikWinter[] = {
    {Folder, "Seasons\\winter\\Scenery", "Scenery"},
    {Folder, "Seasons\\winter\\texture", "texture"},
};

// Row 21, "Gethwald X": the generic tree file names, then the grass.
constexpr SeasonOperation kGethwald[4][2] = {
    {{Copy, "Texture\\Season\\treesSU.bmp", "Texture\\trees.bmp"},
     {Copy, "Texture\\Season\\foba_gras_SU.bmp", "Texture\\foba_gras.bmp"}},
    {{Copy, "Texture\\Season\\treesFA.bmp", "Texture\\trees.bmp"},
     {Copy, "Texture\\Season\\foba_gras_FA.bmp", "Texture\\foba_gras.bmp"}},
    {{Copy, "Texture\\Season\\treeshw.bmp", "Texture\\trees.bmp"},
     {Copy, "Texture\\Season\\foba_gras_WI.bmp", "Texture\\foba_gras.bmp"}},
    {{Copy, "Texture\\Season\\treesSP.bmp", "Texture\\trees.bmp"},
     {Copy, "Texture\\Season\\foba_gras_SP.bmp", "Texture\\foba_gras.bmp"}},
};

// Row 22, "Marrowby": capitalised season folders.
constexpr SeasonOperation kMarrowby[4][1] = {
    {{Folder, "Texture\\Summer", "Texture"}},
    {{Folder, "Texture\\Fall", "Texture"}},
    {{Folder, "Texture\\Winter", "Texture"}},
    {{Folder, "Texture\\Spring", "Texture"}},
};

// Rows 23 and 24, "Aldercot" and "Brackwell": normal textures but in winter.
constexpr SeasonOperation kNormal[] = {{Folder, "Texture\\normal", "Texture"}};
constexpr SeasonOperation kNormalWinter[] = {{Folder, "Texture\\winter", "Texture"}};

// Row 25, "Tundrell X": autumn and spring share one set.
constexpr SeasonOperation kTundrellSummer[] = {
    {Folder, "Seasons\\summer\\Texture", "Texture"},
    {Folder, "Seasons\\summer\\scenery", "scenery"},
};
constexpr SeasonOperation kTundrellFallSpring[] = {
    {Folder, "Seasons\\fall-spring\\Texture", "Texture"},
    {Folder, "Seasons\\fall-spring\\scenery", "scenery"},
};
constexpr SeasonOperation kTundrellWinter[] = {
    {Folder, "Seasons\\winter\\Texture", "Texture"},
    {Folder, "Seasons\\winter\\scenery", "scenery"},
};

template <size_t N> constexpr OperationList L(const SeasonOperation (&ops)[N]) {
    return OperationList(ops, N);
}

constexpr CatalogueRow kRows[kRowCount] = {
    {"Brenholt - KWOV",
     "Brenholt",
     "Texture\\Sommer\\KWOV_gre01_diff.dds",
     false,
     kRunInEntryLoop,
     {L(kBrenholt[0]), L(kBrenholt[1]), L(kBrenholt[2]), L(kBrenholt[3])}},
    {"Quorrin X",
     "Quorrin",
     "Scenery\\TUBR_Library_Cars1.BGL",
     true,
     3,
     {L(kQuorrinSummer), kNone, L(kQuorrinWinter), kNone}},
    {"Taskelby X",
     "Taskelby X",
     "Scenery\\airport_final.BGL",
     true,
     1,
     {L(kTaskelbySummer), L(kTaskelbyAutumn), L(kTaskelbyWinter), L(kTaskelbySpring)}},
    {"Mirrowen X",
     "Mirrowen X",
     "Scenery\\GIRM_Aerial.bgl",
     true,
     2,
     {L(kMirrowenSummer), L(kMirrowenSpring), L(kMirrowenWinter), L(kMirrowenSpring)}},
    {"Drevanth X",
     "Drevanth",
     "Scenery\\OXTA_Library.BGL",
     true,
     4,
     {L(kDrevanthSummer), L(kDrevanthAutumn), L(kDrevanthWinter), L(kDrevanthSpring)}},
    {"Ostrakel X",
     "Ostrakel Venmark X",
     "Scenery\\NUBE_Excl.bgl",
     true,
     5,
     {L(kOstrakel[0]), L(kOstrakel[1]), L(kOstrakel[2]), L(kOstrakel[3])}},
    {"Velmora X",
     "Velmora X",
     "Scenery\\ZIRK_Library.BGL",
     true,
     6,
     {L(kVelmora[0]), L(kVelmora[1]), L(kVelmora[2]), L(kVelmora[3])}},
    {"Kandrith",
     "Kandrith",
     "Scenery\\HUVA-1_LIB.bgl",
     true,
     7,
     {L(kKandrithSummer), L(kKandrithAutumn), L(kKandrithWinter), L(kKandrithSummer)}},
    {"Pellwick X",
     "Pellwick X",
     "Scenery\\YABO_objekt_lib.BGL",
     true,
     8,
     {L(kShortFolders[0]), L(kShortFolders[1]), L(kShortFolders[2]), L(kShortFolders[3])}},
    {"Norvasse X",
     "Norvasse X",
     "Norvasse X - priority 1\\Scenery\\TWEL_ADE_FW.BGL",
     true,
     9,
     {L(kNorvasseSummer), L(kNorvasseSpring), L(kNorvasseWinter), L(kNorvasseSpring)}},
    {"Hestrin",
     "Hestrin 6194",
     "Scenery\\Kelpwise-DROQ-FLIB.BGL",
     true,
     10,
     {L(kShortFolders[0]), L(kShortFolders[1]), L(kShortFolders[2]), L(kShortFolders[3])}},
    {"Ulbarra X",
     "ULBARRA Airport",
     "SCENERY\\qen_veh_lib.bgl",
     true,
     11,
     {L(kUlbarraOn), L(kUlbarraOn), L(kUlbarraOff), L(kUlbarraOn)}},
    {"Sorvikk X",
     "Sorvikk X",
     "SCENERY\\MOJU_Aerial_Big.bgl",
     true,
     12,
     {L(kSorvikkSummer), L(kSorvikkFall), L(kSorvikkWinter), L(kSorvikkFall)}},
    {"Grimmary",
     "Grimmary 1\\Cobbleford",
     "SCENERY\\CobblefordFull.bgl",
     true,
     13,
     {L(kGrimmarySummer), L(kGrimmaryAutumn), L(kGrimmaryWinter), L(kGrimmarySummer)}},
    {"Tallowby 5738",
     "Tallowby 5738 X",
     "SCENERY\\TallowbySAT.bgl",
     true,
     14,
     {L(kTexSummer), L(kTexFall), L(kTexWinter), L(kTexSummer)}},
    {"Wendmoor X",
     "Wendmoor-Airport",
     "SCENERY\\LEWT_Docking.BGL",
     true,
     15,
     {L(kTexSummer), kNone, L(kTexWinter), kNone}},
    {"Zelvany 2",
     "Zelvany 2 X",
     "Scenery\\Trevanik.bgl",
     true,
     16,
     {L(kTexSummer), L(kTexFall), L(kTexWinter), L(kTexSummer)}},
    {"Rostevik X",
     "Rostevik X",
     "Scenery\\photo_rostevik.BGL",
     true,
     17,
     {L(kRostevikSummer), kNone, L(kRostevikWinter), kNone}},
    {"RUXO Jaskorn 6194 X",
     "RUXO Jaskorn 6194 X",
     "Scenery\\RUXO_ApronDulvenka_12.bgl",
     true,
     18,
     {L(kTexSummer), L(kTexFall), L(kTexWinter), L(kTexSummer)}},
    {"Obrenya X",
     "Fennick 6194",
     "Scenery\\Wemm_obj.bgl",
     true,
     19,
     {L(kTexSummer), L(kTexFall), L(kTexWinter), L(kTexSpringCapital)}},
    {"Gethwald X",
     "FOBA Gethwald_SC",
     "Scenery\\foba_FSX_lib.bgl",
     true,
     20,
     {L(kGethwald[0]), L(kGethwald[1]), L(kGethwald[2]), L(kGethwald[3])}},
    {"Marrowby",
     "Marrowby\\JUPE_7025_SC",
     "Scenery\\JUPE-FSX-lib.bgl",
     true,
     21,
     {L(kMarrowby[0]), L(kMarrowby[1]), L(kMarrowby[2]), L(kMarrowby[3])}},
    {"Aldercot",
     "Aldercot",
     "Scenery\\NAQI_TerrainRwy06.bgl",
     true,
     22,
     {L(kNormal), L(kNormal), L(kNormalWinter), L(kNormal)}},
    {"Brackwell",
     "Brackwell",
     "Scenery\\PEWO.bgl",
     true,
     23,
     {L(kNormal), L(kNormal), L(kNormalWinter), L(kNormal)}},
    {"Tundrell X",
     "Tundrell X",
     "Scenery\\Photo111.bgl",
     true,
     24,
     {L(kTundrellSummer), L(kTundrellFallSpring), L(kTundrellWinter), L(kTundrellFallSpring)}},
};

} // namespace

std::span<const CatalogueRow, kRowCount> Catalogue() {
    return std::span(kRows);
}

std::array<int, kRowCount - 1> ApplyOrder() {
    std::array<int, kRowCount - 1> order{};
    for (int row = 1; row <= kRowCount; ++row) {
        const int position = kRows[row - 1].applyPosition;
        if (position != kRunInEntryLoop)
            order[static_cast<size_t>(position - 1)] = row;
    }
    return order;
}

} // namespace season
