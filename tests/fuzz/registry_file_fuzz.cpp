// The simulated handheld's state file: any text loads whole or is refused,
// leaving the handheld as it was; what loaded is saved, and that file loads
// whole and saves again byte for byte the same.

#include "platform/sim/sim_handheld.h"
#include "platform/sim/sim_registry_file.h"
#include "platform/sim/sim_registry_store.h"
#include "tests/fuzz/fuzz_handheld.h"

#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <string>

namespace {

std::string folder;

std::string pathOf(const char* name) {
    return folder + "/" + name;
}

void writeFile(const std::string& path, const std::uint8_t* data, std::size_t size) {
    std::ofstream file(path, std::ios::binary | std::ios::trunc);
    file.write(reinterpret_cast<const char*>(data), static_cast<std::streamsize>(size));
    require(file.good(), "the input cannot be written to a file");
}

std::string readFile(const std::string& path) {
    std::ifstream file(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
}

void removeFolder() {
    for (const char* name : {"input.txt", "saved.txt", "saved-again.txt"}) {
        std::remove(pathOf(name).c_str());
    }
    rmdir(folder.c_str());
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    char pattern[] = "/tmp/tavil-fuzz-registry-XXXXXX";
    require(mkdtemp(pattern) != nullptr, "no folder for the state files");
    folder = pattern;
    std::atexit(removeFolder);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    resetSimHandheld(SimProcessorKind::Pxa270);
    const std::string input = pathOf("input.txt");
    const std::string saved = pathOf("saved.txt");
    const std::string savedAgain = pathOf("saved-again.txt");
    writeFile(input, data, size);

    simAddFile(u"\\Before");
    std::string problem;
    const SimStateLoad outcome = loadSimState(input.c_str(), problem);
    require(outcome == SimStateLoad::Loaded || outcome == SimStateLoad::NotAStateFile,
            "the input cannot be read back");
    if (outcome == SimStateLoad::NotAStateFile) {
        require(problem.starts_with("line "), "a refusal does not name the line");
        require(simFileCount() == 1 && simStoredKeys().empty(),
                "a refused file changed the handheld");
    }
    require(saveSimState(saved.c_str()), "the state cannot be saved");
    require(loadSimState(saved.c_str(), problem) == SimStateLoad::Loaded,
            "a saved state does not load whole");
    require(saveSimState(savedAgain.c_str()), "the state cannot be saved again");
    require(readFile(saved) == readFile(savedAgain), "a saved state saves again differently");
    return 0;
}
