// Developer driver: runs detection and one apply on a folder tree, without a window.
//
//   season-apply FOLDER SEASON [en|de] [yes|no]
//
// SEASON is summer, autumn, winter or spring (or 0..3). The last argument answers
// the MipMap question, should it be asked. Prints the detected add-ons, the
// question and the final message.
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
        std::fprintf(stderr, "usage: season-apply FOLDER summer|autumn|winter|spring [en|de] [yes|no]\n");
        return 2;
    }
    season::SwitcherState state;
    state.BaseFolder = argv[1];
    if (state.BaseFolder.back() != '\\' && state.BaseFolder.back() != '/')
        state.BaseFolder += '\\';
    state.Language = (argc > 3 && std::strcmp(argv[3], "de") == 0) ? season::kGerman
                                                                     : season::kEnglish;
    const bool yes = argc > 4 && std::strcmp(argv[4], "yes") == 0;
    while (state.seasons.SeasonIndex != ParseSeason(argv[2]))
        season::StepForward(state.seasons);

    season::ScanSubFolders(state);
    season::ProbeCatalogue(state);
    std::printf("Support for ...\n");
    for (const auto& entry : state.AddonList)
        std::printf("  %s\n", entry.c_str());

    season::ApplyDialogs dialogs;
    dialogs.ask = [yes](const std::string& text, const std::string& caption) {
        std::printf("[%s] %s -> %s\n", caption.c_str(), text.c_str(), yes ? "Yes" : "No");
        return yes ? season::kAnswerYes : season::kAnswerNo;
    };
    dialogs.show = [](const std::string& text) { std::printf("%s\n", text.c_str()); };
    season::ApplySeason(state, dialogs);
    return 0;
}
