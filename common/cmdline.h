// Command lines as one string, split the way a Windows program's C runtime
// splits them into argv, so a tool started with a built command line sees
// exactly the arguments a Windows tool would.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace zun {

// Arguments are separated by spaces and TABs outside double quotes. Double
// quotes group and are removed. Backslashes are literal except before a double
// quote: 2n backslashes there give n backslashes and the quote opens or closes
// a quoted part; 2n+1 give n backslashes and a literal quote. Inside a quoted
// part, "" gives a literal quote and the part stays open (the rule of the
// Microsoft C runtime since 2008). "" alone is an empty argument.
// When `first_is_program` is set, the first argument is read as the runtime
// reads a program name: it ends at the first space or TAB outside quotes,
// quotes are removed and backslashes are always literal.
std::vector<std::string> split_win_cmdline(std::string_view cmdline, bool first_is_program = true);

// The file name of a program path without its directory and without a
// trailing ".exe" (any case).
std::string program_name(std::string_view path);

}  // namespace zun
