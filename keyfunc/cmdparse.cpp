#include "keyfunc/cmdparse.h"

#include <cstring>

#include "keyfunc/fields.h"

namespace vn {

bool SplitShellCommand(const char* commandLine, std::string* program, std::string* arguments) {
    program->clear();
    arguments->clear();
    if (!commandLine) return false;
    std::size_t length = std::strlen(commandLine);
    char field[kFieldMax + 1];
    // Longer lines do not fit the 260-character texts the results go to.
    if (length > kFieldMax || NthField(commandLine, 1, field, ' ') == -1) return false;
    std::string first = field;

    int count = 1;
    for (int k = 2; NthField(commandLine, k, field, ' ') != -1 && std::strchr(field, '\\'); ++k) ++count;
    int next = NthField(commandLine, count + 1, field, ' ');

    if (count == 1) {
        *program = first;
    } else if (next != -1) {
        std::string head(commandLine, static_cast<std::size_t>(next));
        while (!head.empty() && (head.back() == ' ' || head.back() == '\t')) head.pop_back();
        *program = head;
    } else {
        *program = commandLine;
    }
    if (next != -1) *arguments = commandLine + next;
    return true;
}

}  // namespace vn
