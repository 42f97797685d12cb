// --list and --write-list: a ROM list's entries added at their place among the ROM arguments, and the final
// table kept as a list. Relative list names are taken from the work folder, as ROM paths are.
#pragma once

#include "cli/cli_args.h"
#include "compile/output_transaction.h"
#include "romtable/table_state.h"

#include <memory>
#include <string>
#include <vector>

namespace romc {

// Adds the entries of the list named by `listArgument` to `state`, and returns the warnings to print. The
// whole list is refused, `state` unchanged, when it cannot be read or Add ROM refuses any of its entries;
// the message then names every refused entry.
Outcome<std::vector<std::string>> addListArgument(TableState& state, const CliArguments& cli,
                                                  const std::string& listArgument);

// --write-list must not take the place of "Menu.GB", an output, a ROM of the table or the --map picture.
// A list given with --list may be written again: that is how a list is brought up to date.
Refusal checkWriteListName(const CliArguments& cli, const TableState& state);

// The final table as a list, one more of the compilation's outputs: it takes its name with them.
Refusal prepareWriteList(const CliArguments& cli, const TableState& state, OutputTransaction& outputs);

} // namespace romc
