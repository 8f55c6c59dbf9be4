#pragma once
// Where the tests find the programs they start and put what they leave behind.
// Paths are Windows paths; under Wine the Unix build tree is reached through drive Z:.

#include <string>

namespace pontara::harness {

// The directory of the running test executable; the build puts Pontara.exe and the stand-in
// programs there too.
std::string TestDirectory();

// A program of the build (Pontara.exe, Logger32Sim.exe ...): next to the test executable, else
// in the build directory the tests were compiled for. The environment variable PONTARA_EXE
// overrides the path of Pontara.exe.
std::string ProgramPath(const std::string& fileName);
std::string PontaraPath();

// A file under <build directory>\test-artifacts (created when missing): screenshots and
// transcripts worth keeping after a run.
std::string ArtifactPath(const std::string& fileName);

}  // namespace pontara::harness
