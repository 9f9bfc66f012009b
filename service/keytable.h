// The service's key table: reported usages to function codes, function codes to key names.
#pragma once

namespace vnd {

// A usage not in the table is its own function code.
unsigned FunctionCodeForUsage(unsigned usage);
// "Aux1" to "Aux7" for the programmable keys; "" for every other code.
const char* KeyNameForCode(unsigned code);
// "Buttons\" followed by the key name.
void ButtonSection(unsigned code, char (&section)[32]);
// The section up to its last backslash (a trailing one does not count); "" without another one.
void ParentSection(const char* section, char* parent, unsigned size);

}  // namespace vnd
