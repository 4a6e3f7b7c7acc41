// The cost of hostile sixel output: eight images of about 4.8 KB, each declaring 4096 x 4096 pixels
// and painting every band of it with one repeat, fed in 32768-byte pieces as the view feeds shell
// output. Prints the slowest piece (the longest the window would wait on one read), the whole
// stream, the images' bytes held at the end and the process's peak resident memory.
#include "Workloads.h"
#include "engine/Terminal.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <string>
#include <sys/resource.h>

int main() {
    std::string image = "\x1bPq\"1;1;4096;4096#1;2;100;0;0#1";
    for (int band = 0; band < 683; ++band) image += "!4096~-";
    image += "\x1b\\";
    std::string stream;
    for (int i = 0; i < 8; ++i) stream += image;

    Terminal terminal(benchwork::kCols, benchwork::kRows);
    double worstMs = 0;
    const auto start = std::chrono::steady_clock::now();
    for (std::size_t off = 0; off < stream.size(); off += benchwork::kPieceBytes) {
        const auto before = std::chrono::steady_clock::now();
        terminal.process(std::string_view(stream).substr(off, benchwork::kPieceBytes));
        const auto after = std::chrono::steady_clock::now();
        worstMs = std::max(worstMs, std::chrono::duration<double, std::milli>(after - before).count());
    }
    const double totalMs =
        std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    std::printf("\nHostile sixel: %zu images of %zu bytes (%zu in all), %zu-byte pieces\n", std::size_t(8),
                image.size(), stream.size(), benchwork::kPieceBytes);
    std::printf("%-28s %10.1f ms\n", "slowest piece", worstMs);
    std::printf("%-28s %10.1f ms\n", "whole stream", totalMs);
    std::printf("%-28s %10.1f MB\n", "images held at the end",
                double(terminal.sixelImages.totalBytes()) / 1e6);
    std::printf("%-28s %10.1f MB\n", "peak resident (process)", double(usage.ru_maxrss) * 1024 / 1e6);
    return 0;
}
