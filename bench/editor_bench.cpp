// Speed and memory of the editor window: start-up against a bare window, LOAD, showing a unit, SAVE.
#include "bench_rosters.h"

#include "brevorn_build_window.h"
#include "roster_writer.h"

#include <QApplication>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>

#include <benchmark/benchmark.h>

#include <chrono>
#include <cstring>
#include <fstream>
#include <iostream>
#include <memory>

#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

extern char** environ;

namespace {

using namespace brevorn;

// Answers every question at once: the benchmark measures the window, not a person.
struct InstantPrompts final : EditorPrompts
{
    std::filesystem::path path;
    std::optional<std::filesystem::path> openPath(const FileRequest&) override { return path; }
    std::optional<std::filesystem::path> savePath(const FileRequest&) override { return path; }
    bool askYesNo(const Question&) override { return false; }
    std::string inputText(const InputRequest&) override { return {}; }
    void showError(const ErrorMessage& message) override
    {
        std::cerr << "unexpected message: " << message.text << '\n';
    }
    void showReport(const ErrorMessage& message) override { showError(message); }
    void endProgram() override {}
};

std::filesystem::path rosterOf500Units()
{
    static const std::filesystem::path path = [] {
        std::string file = bench::benchDataPath("brevorn-editor-500.txt");
        std::ofstream(file, std::ios::binary) << rosterFileBytes(bench::fullRoster(), bench::benchGame()).value();
        return file;
    }();
    return path;
}

// What the user waits for: a whole program start until its window is shown, with a bare
// window, a window with one label and the editor. The benchmark starts itself again in a
// child mode; the child writes one byte to its standard output once its window is painted,
// and the time to that byte is the start-up time (closing the program is not waited for).
const char* selfPath = nullptr;

int startupChild(const char* mode)
{
    int argc = 1;
    char name[] = "editor_bench";
    char* argv[] = {name, nullptr};
    QApplication app(argc, argv);
    InstantPrompts prompts;
    std::unique_ptr<QWidget> window;
    if (std::strcmp(mode, "editor") == 0) {
        window = std::make_unique<BrevornBuildWindow>(&prompts);
    } else {
        window = std::make_unique<QWidget>();
        window->resize(495, 397);
        // The least a window that shows any text pays for: starting the font system.
        if (std::strcmp(mode, "label") == 0)
            new QLabel(QStringLiteral("Unit Name:"), window.get());
    }
    window->show();
    QApplication::processEvents();
    const char shown = '!';
    return write(STDOUT_FILENO, &shown, 1) == 1 ? 0 : 1;
}

void timeProgramStart(benchmark::State& state, const char* mode)
{
    std::string arg = std::string("--startup-child=") + mode;
    for (auto _ : state) {
        char* argv[] = {const_cast<char*>(selfPath), arg.data(), nullptr};
        int shownPipe[2];
        if (pipe(shownPipe) != 0) {
            state.SkipWithError("no pipe to the child program");
            break;
        }
        posix_spawn_file_actions_t actions;
        posix_spawn_file_actions_init(&actions);
        posix_spawn_file_actions_adddup2(&actions, shownPipe[1], STDOUT_FILENO);
        posix_spawn_file_actions_addclose(&actions, shownPipe[0]);
        auto start = std::chrono::steady_clock::now();
        pid_t child = 0;
        const bool spawned = posix_spawn(&child, selfPath, &actions, nullptr, argv, environ) == 0;
        close(shownPipe[1]);
        char shown = 0;
        const bool wasShown = spawned && read(shownPipe[0], &shown, 1) == 1;
        auto end = std::chrono::steady_clock::now();
        close(shownPipe[0]);
        posix_spawn_file_actions_destroy(&actions);
        int status = 0;
        if (!wasShown || waitpid(child, &status, 0) < 0 || status != 0) {
            state.SkipWithError("the child program did not show its window and end cleanly");
            break;
        }
        state.SetIterationTime(std::chrono::duration<double>(end - start).count());
    }
}

// The same inside one running program: what a window costs once Qt is up.
void BM_BareWindow_CreateAndShow(benchmark::State& state)
{
    for (auto _ : state) {
        QWidget window;
        window.resize(495, 397);
        window.show();
        QApplication::processEvents();
    }
}
BENCHMARK(BM_BareWindow_CreateAndShow)->Unit(benchmark::kMicrosecond);

void BM_BrevornBuild_CreateAndShow(benchmark::State& state)
{
    InstantPrompts prompts;
    for (auto _ : state) {
        BrevornBuildWindow window(&prompts);
        window.show();
        QApplication::processEvents();
    }
}
BENCHMARK(BM_BrevornBuild_CreateAndShow)->Unit(benchmark::kMicrosecond);

void BM_Load500Units(benchmark::State& state)
{
    InstantPrompts prompts;
    prompts.path = rosterOf500Units();
    for (auto _ : state) {
        state.PauseTiming();
        auto window = std::make_unique<BrevornBuildWindow>(&prompts);
        state.ResumeTiming();
        window->core().handle(WindowEvent::Command2_Click);
        benchmark::DoNotOptimize(window->roster().UnitCount);
        state.PauseTiming();
        window.reset();
        state.ResumeTiming();
    }
}
BENCHMARK(BM_Load500Units)->Unit(benchmark::kMillisecond);

// An editor with the 500-unit roster loaded.
struct LoadedEditor
{
    InstantPrompts prompts;
    BrevornBuildWindow window{&prompts};
    LoadedEditor()
    {
        prompts.path = rosterOf500Units();
        window.core().handle(WindowEvent::Command2_Click);
    }
};

void BM_ShowUnit(benchmark::State& state)
{
    LoadedEditor editor;
    auto* list = editor.window.findChild<QListWidget*>("List1");
    int row = 0;
    for (auto _ : state) {
        // Selecting an entry runs List1_Click, as a click of the user's would.
        list->setCurrentRow(row);
        row = (row + 97) % 500;
    }
}
BENCHMARK(BM_ShowUnit)->Unit(benchmark::kMicrosecond);

void BM_Save500Units(benchmark::State& state)
{
    LoadedEditor editor;
    editor.prompts.path = bench::benchDataPath("brevorn-editor-500-saved.txt");
    for (auto _ : state)
        editor.window.core().handle(WindowEvent::Command3_Click);
}
BENCHMARK(BM_Save500Units)->Unit(benchmark::kMillisecond);

long residentKiB()
{
    std::ifstream status("/proc/self/status");
    std::string line;
    while (std::getline(status, line)) {
        if (line.rfind("VmRSS:", 0) == 0)
            return std::stol(line.substr(6));
    }
    return -1;
}

// Memory is measured before the timing runs, so that nothing they left behind counts.
void reportMemory()
{
    QWidget bare;
    bare.resize(495, 397);
    bare.show();
    QApplication::processEvents();
    long bareKiB = residentKiB();

    InstantPrompts prompts;
    prompts.path = rosterOf500Units();
    BrevornBuildWindow window(&prompts);
    window.show();
    QApplication::processEvents();
    window.core().handle(WindowEvent::Command2_Click);
    QApplication::processEvents();
    long loadedKiB = residentKiB();
    std::cout << "memory: bare window " << bareKiB / 1024.0 << " MiB, editor with 500 units loaded "
              << loadedKiB / 1024.0 << " MiB, difference " << (loadedKiB - bareKiB) / 1024.0
              << " MiB (target: at most 10 MiB)\n";
}

} // namespace

int main(int argc, char** argv)
{
    if (argc == 2 && std::strncmp(argv[1], "--startup-child=", 16) == 0)
        return startupChild(argv[1] + 16);
    selfPath = argv[0];
    QApplication app(argc, argv);
    reportMemory();
    for (const auto& [name, mode] : {std::pair{"BM_ProgramStart_BareWindow", "bare"},
                                     {"BM_ProgramStart_OneLabelWindow", "label"},
                                     {"BM_ProgramStart_BrevornBuild", "editor"}}) {
        benchmark::RegisterBenchmark(name, timeProgramStart, mode)
            ->UseManualTime()
            ->Unit(benchmark::kMillisecond)
            ->Iterations(20)
            ->Repetitions(5)
            ->ReportAggregatesOnly(true);
    }
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
