// Developer driver: runs detection and one apply on a folder tree, without a window.
//
//   season-apply FOLDER SEASON [en|de] [yes|no]
//
// SEASON is summer, autumn, winter or spring (or 0..3). The last argument answers
// the MipMap question, should it be asked. Prints the detected add-ons and what
// the run did.
#include "apply.h"
#include "detection.h"

#include <cstdio>
#include <cstring>
#include <string>

namespace {

int ParseSeason(const char* text) {
    const char* names[] = {"summer", "autumn", "winter", "spring"};
    for (int i = 0; i < 4; ++i) {
        if (std::strcmp(text, names[i]) == 0 || (text[0] == '0' + i && text[1] == '\0'))
            return i;
    }
    return -1;
}

} // namespace

int main(int argc, char** argv) {
    if (argc < 3 || ParseSeason(argv[2]) < 0) {
        std::fprintf(stderr,
                     "usage: season-apply FOLDER summer|autumn|winter|spring [en|de] [yes|no]\n");
        return 2;
    }
    season::SwitcherState state;
    state.BaseFolder = argv[1];
    if (state.BaseFolder.back() != '\\' && state.BaseFolder.back() != '/')
        state.BaseFolder += '\\';
    state.Language =
        (argc > 3 && std::strcmp(argv[3], "de") == 0) ? season::kGerman : season::kEnglish;
    const bool yes = argc > 4 && std::strcmp(argv[4], "yes") == 0;
    while (state.seasons.SeasonIndex != ParseSeason(argv[2]))
        season::StepForward(state.seasons);

    season::ScanSubFolders(state);
    season::ProbeCatalogue(state);
    std::printf("Support for ...\n");
    for (const auto& entry : state.AddonList)
        std::printf("  %s\n", entry.c_str());

    season::ApplyRequest request;
    if (season::NeedsMipMapAnswer(state)) {
        std::printf("MipMap textures: %s\n", yes ? "yes" : "no");
        request.useMipMaps = yes;
    }
    const season::ApplyResult result = season::ApplySeason(state, request);
    std::printf("%zu of %zu operations done, %zu failed\n", result.done, result.total,
                result.failures);
    for (const auto& target : result.failedTargets)
        std::printf("  could not change %s\n", target.c_str());
    return result.failedTargets.empty() ? 0 : 1;
}
