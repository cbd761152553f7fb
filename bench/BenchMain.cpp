// The benchmark executable. Besides the Google Benchmark cases it runs a
// few plain commands (see bench/uDataManBench.cpp), chosen by the first
// argument.
#include <benchmark/benchmark.h>

// bench/uDataManBench.cpp: the exit code of a plain command, or -1 when
// the arguments are benchmark options.
int RunBenchCommand(int argc, char** argv);

int main(int argc, char** argv) {
    const int rc = RunBenchCommand(argc, argv);
    if (rc >= 0) return rc;
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
