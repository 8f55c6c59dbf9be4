#include "station/Paths.h"

#include <windows.h>

#include <cstdlib>

namespace pontara::harness {

namespace {

bool FileExists(const std::string& path) {
    const DWORD attributes = GetFileAttributesA(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) == 0;
}

std::string WithBackslashes(std::string path) {
    for (char& character : path) {
        if (character == '/') {
            character = '\\';
        }
    }
    return path;
}

}  // namespace

std::string TestDirectory() {
    char buffer[MAX_PATH * 4] = {};
    const DWORD length = GetModuleFileNameA(nullptr, buffer, sizeof buffer);
    std::string path(buffer, length);
    const std::size_t slash = path.find_last_of("\\/");
    return slash == std::string::npos ? std::string(".") : path.substr(0, slash);
}

std::string ProgramPath(const std::string& fileName) {
    const std::string beside = TestDirectory() + "\\" + fileName;
    if (FileExists(beside)) {
        return beside;
    }
#ifdef PONTARA_BUILD_DIRECTORY
    return WithBackslashes(std::string(PONTARA_BUILD_DIRECTORY) + "/" + fileName);
#else
    return beside;
#endif
}

std::string PontaraPath() {
    if (const char* overridden = std::getenv("PONTARA_EXE"); overridden != nullptr && *overridden) {
        return WithBackslashes(overridden);
    }
    return ProgramPath("Pontara.exe");
}

std::string ArtifactPath(const std::string& fileName) {
    const std::string directory = TestDirectory() + "\\test-artifacts";
    CreateDirectoryA(directory.c_str(), nullptr);
    return directory + "\\" + fileName;
}

}  // namespace pontara::harness
