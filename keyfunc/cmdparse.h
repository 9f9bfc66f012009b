// Splitting a registered command line into program and arguments. Plain C++: no windows.h.
#pragma once
#include <string>

namespace vn {

// Blank-separated fields, quotes respected. Field 1 is the program; each following field that
// holds a backslash still belongs to it (an unquoted path with blanks). Program: field 1 without
// quotes when it stands alone, else the command line up to the next field (trailing blanks cut,
// quotes kept), or all of it when nothing follows. Arguments: the rest from the next field on.
// False (both outputs empty) when the line is empty or longer than 259 characters.
bool SplitShellCommand(const char* commandLine, std::string* program, std::string* arguments);

}  // namespace vn
