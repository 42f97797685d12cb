#include "cli/list_arguments.h"

#include "compile/image.h"
#include "files/utf8_path.h"
#include "compile/menu_table.h"
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
    if (!replay.refused.empty()) {
        return Failure{refusedEntriesMessage(replay, source) + "\nthe list is refused; nothing is written"};
    }
    state = std::move(replay.state);
    return std::move(replay.warnings);
}

Refusal checkWriteListName(const CliArguments& cli, const TableState& state) {
    std::vector<std::string> kept{menu::kTemplateName, kImageName};
    for (int k = 1; k <= kPieceCount; ++k) {
        kept.push_back(pieceName(k));
    }
    if (cli.map) {
        kept.push_back(cli.map->string());
    }
    for (std::size_t row = 0; row < state.table.rowCount(); ++row) {
        kept.push_back(state.table.text(row, Column::File));
    }
    std::error_code error;
    const auto list = fs::weakly_canonical(resolveRomPath(cli.workDir, cli.writeList->string()), error);
    for (const auto& name : kept) {
        std::error_code keptError;
        const auto path = fs::weakly_canonical(resolveRomPath(cli.workDir, name), keptError);
        if (!error && !keptError && list == path) {
            return Failure{"--write-list " + cli.writeList->string() + " would replace \"" + name +
                           "\"; give the list a name of its own"};
        }
    }
    return std::nullopt;
}

Refusal prepareWriteList(const CliArguments& cli, const TableState& state, OutputTransaction& outputs) {
    const fs::path listPath = resolveRomPath(cli.workDir, pathToUtf8(*cli.writeList));
    return prepareRomList(outputs, listPath, romListOfTable(state.table, cli.workDir, listPath));
}

} // namespace romc
