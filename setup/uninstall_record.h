// The product's uninstall record and the shared-use counts, written as the work goes on so that
// the record always names what this run put on the machine.
#pragma once
#include <string>

#include "common/handles.h"

#include "setup/run.h"

namespace setup {

class UninstallRecord {
public:
    // With an empty "UninstallKey" nothing at all is written.
    explicit UninstallRecord(const SetupRun& run);

    // "DeleteFiles" (folder before the last backslash, under the bare name), then "SharedFile".
    void File(const std::string& path) const;
    // Takes back File() for a file that this run could not put on disk.
    void Forget(const std::string& path) const;
    // "DeleteDirectory": "1" removes the folder with its contents, "0" only when empty.
    void Directory(const std::string& folder, const char* data) const;
    // "DeleteRegs\<root>", then "SharedReg\<key>\<root>".
    void Registry(const char* rootName, const std::string& name, const std::string& data) const;

private:
    // Opens (creating) a key below the product's record; the record's two values are written
    // with the first entry.
    bool Open(const std::string& subkey, HKEY* out) const;
    std::string key_, displayName_;
    mutable vn::RegKey product_;
    mutable vn::RegKey files_, sharedFiles_;  // kept open: one entry per copied file
};

}  // namespace setup
