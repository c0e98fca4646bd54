// The host's speed: from starting the program to its first audio block (ms, the
// program run as a new process with the unit and play buttons pressed, playing into a
// WAV file whose first data marks the block), its CPU while playing with the panel
// shown (% of one core, real-time output), and the effect's own CPU at real time
// (its render block alone on 512-frame blocks) to set against it. With DISPLAY set the
// program opens its window there (the panel is drawn); otherwise it runs headless.
// The effect is found as the program finds it (AUDIO_COMPONENT_PATH is passed on).
#include "audiotoolbox/AUAudioStatus.h"
#include "audiounit/VYK_Wimbrax_Extension_AudioUnit.h"
#include "foundation/Console.h"

#include <benchmark/benchmark.h>

#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <ctime>
#include <cstdlib>
#include <random>
#include <string>
#include <thread>
#include <vector>

extern char** environ;

namespace {

using Clock = std::chrono::steady_clock;

double threadCPUSeconds() {
    timespec t{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
    return double(t.tv_sec) + double(t.tv_nsec) / 1e9;
}

// Starts the program with `output` as its audio output; its console goes to /dev/null.
pid_t startHost(const std::string& output, double seconds) {
    std::vector<std::string> args = {VYK_HOST_PROGRAM,       "--press", "unit", "--press", "play", "--run-seconds",
                                     std::to_string(seconds)};
    if (!std::getenv("DISPLAY")) args.insert(args.begin() + 1, "--headless");
    std::vector<std::string> env = {"VYK_AUDIO_OUTPUT=" + output};
    for (char** e = environ; *e; ++e)
        if (std::string(*e).rfind("VYK_AUDIO_OUTPUT=", 0) != 0) env.emplace_back(*e);
    std::vector<char*> argv, envp;
    for (auto& a : args) argv.push_back(a.data());
    for (auto& e : env) envp.push_back(e.data());
    argv.push_back(nullptr);
    envp.push_back(nullptr);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
    posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);
    pid_t pid = -1;
    if (posix_spawn(&pid, argv[0], &actions, nullptr, argv.data(), envp.data()) != 0) pid = -1;
    posix_spawn_file_actions_destroy(&actions);
    return pid;
}

// Waits for the program; its CPU seconds (user and system).
double finish(pid_t pid) {
    int status = 0;
    rusage usage{};
    wait4(pid, &status, 0, &usage);
    return double(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) +
           double(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
}

void hostStartToFirstAudioBlock(benchmark::State& state) {
    const std::string wav = "/tmp/vyk-bench-host-" + std::to_string(getpid()) + ".wav";
    for (auto _ : state) {
        unlink(wav.c_str());
        const auto start = Clock::now();
        const pid_t pid = startHost(wav, 30);
        if (pid < 0) return state.SkipWithError("cannot start " VYK_HOST_PROGRAM);
        struct stat st {};
        // The header, then one 512-frame stereo float block.
        while (!(stat(wav.c_str(), &st) == 0 && st.st_size >= 44 + 512 * 8) &&
               Clock::now() - start < std::chrono::seconds(10))
            std::this_thread::sleep_for(std::chrono::microseconds(200));
        state.SetIterationTime(std::chrono::duration<double>(Clock::now() - start).count());
        kill(pid, SIGTERM);
        finish(pid);
    }
    unlink(wav.c_str());
}
BENCHMARK(hostStartToFirstAudioBlock)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(5);

// CPU of a 10 s run less that of a 3 s run, over the 7 s between: steady playing only.
void hostCPUWhilePlaying(benchmark::State& state) {
    double percent = 0;
    for (auto _ : state) {
        const double shortRun = finish(startHost("null", 3));
        const double longRun = finish(startHost("null", 10));
        percent = 100 * (longRun - shortRun) / 7;
    }
    state.counters["cpu_percent_of_one_core"] = percent;
}
BENCHMARK(hostCPUWhilePlaying)->Unit(benchmark::kSecond)->Iterations(1);

// The effect alone: its render block on 512-frame blocks of noise, as a share of the
// 10.7 ms each block lasts at 48 kHz.
void effectCPUAtRealTime(benchmark::State& state) {
    constexpr AUAudioFrameCount kFrames = 512;
    const auto previous = Console::setSink([](std::string_view) {});
    auto unit = std::make_shared<VYK_Wimbrax_Extension_AudioUnit>(
        AudioComponentDescription{0x61756D66, 0x766B7762, 0x464C4E52, 0, 0});
    unit->allocateRenderResources();
    const AURenderBlock block = unit->renderBlock();
    std::vector<float> l(kFrames), r(kFrames), outL(kFrames), outR(kFrames);
    std::mt19937 random(1);
    std::uniform_real_distribution<float> noise(-0.5f, 0.5f);
    for (std::size_t i = 0; i < kFrames; ++i) l[i] = noise(random), r[i] = noise(random);
    AURenderPullInputBlock pull = [&](AudioUnitRenderActionFlags*, const AudioTimeStamp*, AUAudioFrameCount n,
                                      NSInteger, AudioBufferList* list) {
        std::copy_n(l.data(), n, static_cast<float*>(list->mBuffers[0].mData));
        std::copy_n(r.data(), n, static_cast<float*>(list->mBuffers[1].mData));
        return noErr;
    };
    AudioTimeStamp ts{};
    const double start = threadCPUSeconds();
    for (auto _ : state) {
        AudioBufferList list{};
        list.mNumberBuffers = 2;
        list.mBuffers[0] = {1, kFrames * 4u, outL.data()};
        list.mBuffers[1] = {1, kFrames * 4u, outR.data()};
        benchmark::DoNotOptimize(block(nullptr, &ts, kFrames, 0, &list, nullptr, &pull));
        ts.mSampleTime += kFrames;
    }
    const double perBlock = (threadCPUSeconds() - start) / double(state.iterations());
    state.counters["cpu_percent_of_one_core"] = 100 * perBlock / (kFrames / 48000.0);
    Console::setSink(previous);
}
BENCHMARK(effectCPUAtRealTime)->Unit(benchmark::kMicrosecond);

} // namespace

BENCHMARK_MAIN();
