#include "cli/list_arguments.h"

#include "compile/image.h"
#include "compile/menu_table.h"
#include "compile/output_policy.h"
#include "files/same_file.h"
#include "files/utf8_path.h"
#include "lists/list_file.h"
#include "lists/list_of_table.h"
#include "lists/open_list.h"
#include "romtable/flash_units.h"
#include "romtable/rom_file.h"

#include <system_error>

namespace fs = std::filesystem;

namespace romc {

Outcome<std::vector<std::string>> addListArgument(TableState& state, const CliArguments& cli,
                                                  const std::string& listArgument) {
    const auto list = readRomList(resolveRomPath(cli.workDir, listArgument), listArgument);
    if (!list.ok()) {
        return list.failure();
    }
    // The entries' paths are joined to the list's folder as the argument names it, so that the table shows
    // them as relative to the work folder when the list's name was.
    const ListSource source{fs::path(listArgument).parent_path(), cli.workDir, listArgument};
    ListReplay replay = replayRomList(state, list.value(), source);
    if (replay.bankClash) {
        return Failure{replay.bankClash->message + "\nthe list is refused; nothing is written"};
    }
    if (!replay.refused.empty()) {
        return Failure{refusedEntriesMessage(replay, source) + "\nthe list is refused; nothing is written"};
    }
    state = std::move(replay.state);
    return std::move(replay.warnings);
}

Refusal checkWriteListName(const CliArguments& cli, const TableState& state) {
    auto kept = keptFiles(cli.workDir, state.table);
    if (cli.map) {
        kept.push_back({resolveRomPath(cli.workDir, pathToUtf8(*cli.map)), pathToUtf8(*cli.map), "the map"});
    }
    const auto list = resolveRomPath(cli.workDir, pathToUtf8(*cli.writeList));
    return refuseKeptFile(systemDisk(), list, kept, "--write-list " + pathToUtf8(*cli.writeList), "the list");
}

Refusal prepareWriteList(const CliArguments& cli, const TableState& state, OutputTransaction& outputs) {
    const fs::path listPath = resolveRomPath(cli.workDir, pathToUtf8(*cli.writeList));
    return prepareRomList(outputs, listPath, romListOfTable(state, cli.workDir, listPath));
}

} // namespace romc
