// The cost of hostile sixel output, fed in 32768-byte pieces as the view feeds shell output:
//   declared   eight images of about 4.8 KB, each declaring 4096 x 4096 pixels and painting every
//              band of it with one repeat
//   repaint    one image painting the same six rows of 2500 pixels over and over
//   growers    small images that each paint one pixel at the bottom of the largest size and move
//              across its width, so that each would grow to the largest buffer
// For each: the slowest piece (the longest the window would wait on one read), the most pixels a
// piece wrote (the decoder's work counter, bounded by SixelDecoder::kPaintPerPiece), the whole
// stream, and the images' bytes held at the end; then the process's peak resident memory.
#include "Workloads.h"
#include "engine/Terminal.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <string>
#include <sys/resource.h>

namespace {

std::string declaredStream() {
    std::string image = "\x1bPq\"1;1;4096;4096#1;2;100;0;0#1";
    for (int band = 0; band < 683; ++band) image += "!4096~-";
    image += "\x1b\\";
    std::string stream;
    for (int i = 0; i < 8; ++i) stream += image;
    return stream;
}

std::string repaintStream() {
    std::string stream = "\x1bPq#1";
    while (stream.size() < 8 * benchwork::kPieceBytes) stream += "!2500~$";
    return stream + "\x1b\\";
}

std::string growersStream() {
    const std::string grower = "\x1bPq" + std::string(416, '-') + "@!2499?\x1b\\";
    std::string stream;
    while (stream.size() < 8 * benchwork::kPieceBytes) stream += grower;
    return stream;
}

void measure(const char* name, const std::string& stream) {
    Terminal terminal(benchwork::kCols, benchwork::kRows);
    double worstMs = 0;
    std::int64_t mostWritten = 0;
    const auto start = std::chrono::steady_clock::now();
    for (std::size_t off = 0; off < stream.size(); off += benchwork::kPieceBytes) {
        const std::int64_t writtenBefore = terminal.sixelPixelsWritten();
        const auto before = std::chrono::steady_clock::now();
        terminal.process(std::string_view(stream).substr(off, benchwork::kPieceBytes));
        const auto after = std::chrono::steady_clock::now();
        worstMs = std::max(worstMs, std::chrono::duration<double, std::milli>(after - before).count());
        mostWritten = std::max(mostWritten, terminal.sixelPixelsWritten() - writtenBefore);
    }
    const double totalMs =
        std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
    std::printf("\n%s: %zu bytes in %zu-byte pieces\n", name, stream.size(), benchwork::kPieceBytes);
    std::printf("  %-26s %10.1f ms\n", "slowest piece", worstMs);
    std::printf("  %-26s %10.1f M (bound %.1f M)\n", "most pixels in a piece", double(mostWritten) / 1e6,
                double(SixelDecoder::kPaintPerPiece) / 1e6);
    std::printf("  %-26s %10.1f M\n", "pixels dropped", double(terminal.sixelPixelsDropped()) / 1e6);
    std::printf("  %-26s %10.1f ms\n", "whole stream", totalMs);
    std::printf("  %-26s %10.1f MB\n", "images held at the end", double(terminal.sixelImages().totalBytes()) / 1e6);
}

} // namespace

int main() {
    measure("declared 4096 x 4096", declaredStream());
    measure("repaint", repaintStream());
    measure("growers", growersStream());
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    std::printf("\n%-28s %10.1f MB\n", "peak resident (process)", double(usage.ru_maxrss) * 1024 / 1e6);
    return 0;
}
