// What the user waits for when the window starts with a full table named on its command line: the Qt window
// built, the list of 255 ROMs opened (each row added and its header checked), and the window shown with
// its status line and flash map. And what pointing at the flash map costs: no flash plan, only a look-up in
// the plan the last reaction made. Built with -DROMCOMPILER_BENCH=ON; run build/bin/window_start_bench
// (offscreen unless a display is set).
#include "form/face_driver.h"
#include "full_table.h"
#include "ui/form1.h"

#include <QApplication>
#include <benchmark/benchmark.h>
#include <cstdlib>
#include <filesystem>
#include <memory>

namespace {

namespace fs = std::filesystem;

void WindowStartsWithFullList(benchmark::State& state) {
    const fs::path folder = romc::bench::fullTableFolder("romc-window-start-bench");
    fs::current_path(folder);
    {
        // A message box would wait for a click: the list must open without one.
        romc::bench::NoDialogs dialogs;
        romform::WindowModel model(dialogs, folder);
        if (const auto opened = model.openListFile(folder / "list.json"); opened.message) {
            state.SkipWithError(opened.message->text.c_str());
            return;
        }
    }
    std::size_t rows = 0;
    for (auto _ : state) {
        romui::Form1 window(std::make_unique<romc::bench::NoDialogs>());
        window.openList((folder / "list.json").string());
        window.show();
        QApplication::processEvents();
        rows = window.model().tableState().table.rowCount();
    }
    state.counters["rows"] = static_cast<double>(rows);
    fs::current_path(fs::temp_directory_path());
    fs::remove_all(folder);
}
BENCHMARK(WindowStartsWithFullList)->Unit(benchmark::kMillisecond)->UseRealTime();

// A face that shows nothing: the model and the driver alone.
class Watched : public romform::WindowView {
  public:
    void showState(romform::ControlId, bool, bool) override {}
    void showText(romform::ControlId, const std::string&) override {}
    void showTick(romform::ControlId, bool) override {}
    void showRows(romform::ControlId, const std::vector<std::string>&, int) override {}
    void showCaption(const std::string&) override {}
    void showMenuBar(const romform::MenuBar&) override {}
    void showStatusLine(const std::optional<std::string>&) override {}
    void showFlashView(bool) override {}
    void editName(int) override {}
    void moveFocus(romform::ControlId) override {}
    void showMessage(const romform::Message&) override {}
    void startClose() override {}
};

void PointerMovesOverFlashMap(benchmark::State& state) {
    const fs::path folder = romc::bench::fullTableFolder("romc-flash-point-bench");
    romc::bench::NoDialogs dialogs;
    romform::WindowModel model(dialogs, folder);
    Watched view;
    romform::FaceDriver driver(model, view);
    driver.handle(romform::ListNamed{folder / "list.json"});
    driver.handle(romform::MenuChosen{romform::MenuCommand::FlashMap});
    const std::size_t plansBefore = model.flashPlansMade();
    int x = 0;
    std::size_t moves = 0;
    for (auto _ : state) {
        x = (x + 7) % romform::kFlashViewWidth;
        benchmark::DoNotOptimize(
            model.flashPointText(x, romform::kFlashGridY + romform::kFlashCellHeight / 2));
        ++moves;
    }
    state.counters["plans per move"] =
        static_cast<double>(model.flashPlansMade() - plansBefore) / static_cast<double>(moves);
    fs::remove_all(folder);
}
BENCHMARK(PointerMovesOverFlashMap)->Unit(benchmark::kMicrosecond);

} // namespace

int main(int argc, char** argv) {
    if (std::getenv("DISPLAY") == nullptr) {
        setenv("QT_QPA_PLATFORM", "offscreen", 0);
    }
    // The user's own settings and kept session stay out of it.
    const fs::path settings = fs::temp_directory_path() / "romc-window-start-bench-settings";
    setenv("XDG_CONFIG_HOME", settings.c_str(), 1);
    QApplication application(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    fs::remove_all(settings);
    return 0;
}
