// A registry and file snapshot of the parts of a prefix that an installation may change, to show
// that removing a product leaves the system as it was before it was installed.
#pragma once
#include <set>
#include <string>
#include <vector>

namespace vntest {

// One line per key, value and file; value data with its unprintable bytes as \xHH.
using Snapshot = std::set<std::string>;

// The machine's and the user's software keys (without the class registrations, the 32-bit view,
// Wine's own settings and the system's own branch, of which only the uninstall records, the
// start-up entries and the shell folders are kept), the system's list of boot-time operations, the
// top level of the Windows folder, its system and INF folders, and each of the given folders with
// all below it.
Snapshot TakeSnapshot(const std::vector<std::string>& deepFolders);

// What differs between two snapshots, one line per entry ("gone: " or "new: "); empty when the
// same. The system's list of operations at the next start is left out: an uninstaller names its
// own temporary copy there in case the system cannot remove it when its last handle closes.
std::string SnapshotDifferences(const Snapshot& before, const Snapshot& after);

bool SaveSnapshot(const Snapshot& snapshot, const std::string& path);
bool LoadSnapshot(const std::string& path, Snapshot* snapshot);

}  // namespace vntest
