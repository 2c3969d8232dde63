// RemoveSceneryAreas against the same work done through the system's profile
// functions (GetPrivateProfileSectionNamesA, GetPrivateProfileStringA for every
// area's title, WritePrivateProfileStringA(area, NULL, NULL) for every marked one),
// on generated scenery library files removing 1 % of the areas. Prints one line per
// size with both times and their ratio. Run it under Wine through
// tools/wine-sandbox-run.sh; an argument limits the largest size (the system's way
// takes minutes at 20,000 areas).
#include "platform/files.h"
#include "profile_file.h"
#include "scenery_generator.h"
#include "scenery_library.h"
#include "win32_profile_reference.h"

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>

namespace {

double Seconds(std::chrono::steady_clock::duration d) {
    return std::chrono::duration<double>(d).count();
}

template <typename Work> double Time(Work work) {
    const auto start = std::chrono::steady_clock::now();
    work();
    return Seconds(std::chrono::steady_clock::now() - start);
}

} // namespace

int main(int argc, char** argv) {
    const size_t largest = argc > 1 ? std::strtoul(argv[1], nullptr, 10) : 20000;
    const std::string folder = platform::TempFolder();
    std::printf("%8s %10s %8s %12s %12s %8s\n", "areas", "bytes", "removed", "own ms", "system ms",
                "ratio");
    int status = 0;
    int run = 0;
    for (size_t areas : {1000u, 5000u, 20000u}) {
        if (areas > largest)
            break;
        const std::string library = sweepstone_bench::SceneryLibrary(areas);
        const std::string logText = sweepstone_bench::ProductLogText();
        const std::string own = folder + "own" + std::to_string(++run) + ".cfg";
        const std::string system = folder + "system" + std::to_string(run) + ".cfg";

        // Our own: the best of five runs, each on a fresh copy.
        double ownSeconds = 1e9;
        for (int i = 0; i < 5; ++i) {
            platform::WriteWholeFile(own, library);
            const double s = Time([&] {
                if (sweepstone::RemoveSceneryAreas(own, logText))
                    status = 1;
            });
            ownSeconds = s < ownSeconds ? s : ownSeconds;
        }
        platform::WriteWholeFile(system, library);
        const double systemSeconds = Time([&] {
            if (!sweepstone_testing::SystemRemoveSceneryAreas(system, logText))
                status = 1;
        });

        // Both ways must leave the same areas.
        if (sweepstone_testing::SystemSectionNames(own) !=
            sweepstone_testing::SystemSectionNames(system)) {
            std::printf("the two ways left different areas at %zu\n", areas);
            status = 1;
        }
        std::printf("%8zu %10zu %8zu %12.2f %12.1f %8.0f\n", areas, library.size(),
                    sweepstone_bench::ProductAreaCount(areas), ownSeconds * 1000,
                    systemSeconds * 1000, systemSeconds / ownSeconds);
        std::fflush(stdout);
        platform::RemoveFile(own);
        platform::RemoveFile(system);
    }
    return status;
}
