// Splitting registered command lines (read from other programs' registry keys) into program and
// arguments.
#include <cstdlib>
#include <string>

#include "fuzz/fuzz_input.h"
#include "keyfunc/cmdparse.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    std::vector<char> text = vnfuzz::Text(data, size);
    const std::size_t length = std::strlen(text.data());
    std::string program = "x", arguments = "y";
    bool ok = vn::SplitShellCommand(text.data(), &program, &arguments);
    if (!ok && (!program.empty() || !arguments.empty())) std::abort();
    if (ok && (length == 0 || length > 259)) std::abort();
    if (program.size() > length || arguments.size() > length) std::abort();
    return 0;
}
