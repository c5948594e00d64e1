// Input sets on disk for the tests that run the built programs: copying one
// into a temporary folder, and a snapshot of a folder to show that a run
// changed no input and created nothing it should not.
#ifndef LPGM_TESTS_SUPPORT_INPUT_FOLDER_H_
#define LPGM_TESTS_SUPPORT_INPUT_FOLDER_H_

#include <map>
#include <string>
#include <vector>

namespace lpgm::testing {

// The bundled example input set (examples/ of the source tree).
std::string ExampleFolder();

// Copies the input set of `source` (definition.csv, faults/, cases/) into
// the folder `to`, which exists.
void CopyInputSet(const std::string& source, const std::string& to);

// Every entry under `folder` except the top-level names in `except`:
// folders as "folder", symbolic links by their target, other files by size
// and a 64-bit hash of their bytes. Equal snapshots before and after a run
// mean that the run changed no file and created none but the excepted.
std::map<std::string, std::string> Snapshot(
    const std::string& folder, const std::vector<std::string>& except = {});

}  // namespace lpgm::testing

#endif  // LPGM_TESTS_SUPPORT_INPUT_FOLDER_H_
