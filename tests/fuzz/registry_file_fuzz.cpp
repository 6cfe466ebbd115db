// The simulated handheld's state file: any text loads; what loaded is saved,
// and that file loads whole and saves again byte for byte the same.

#include "platform/sim/sim_handheld.h"
#include "platform/sim/sim_registry_file.h"
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

    loadSimRegistry(input.c_str());
    require(saveSimRegistry(saved.c_str()), "the registry cannot be saved");
    require(loadSimRegistry(saved.c_str()), "a saved registry does not load whole");
    require(saveSimRegistry(savedAgain.c_str()), "the registry cannot be saved again");
    require(readFile(saved) == readFile(savedAgain), "a saved registry saves again differently");
    return 0;
}
