#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

// Byte streams that stand for what users watch a terminal keep up with: `cat` of a large log, a
// colourful build, full-screen programs redrawing. Every stream is generated in memory from a
// fixed seed, so each run and each emulator sees exactly the same bytes.
namespace benchwork {

constexpr int kCols = 200;
constexpr int kRows = 50;
// The size of one read from the pseudo-terminal: the view hands the engine pieces of this size.
constexpr std::size_t kPieceBytes = 32768;

struct Workload {
    std::string name;
    std::string bytes;
};

// A small deterministic generator (SplitMix64): the same numbers on every platform and library.
class Rng {
public:
    explicit Rng(std::uint64_t seed) : state_(seed) {}
    std::uint64_t next() {
        std::uint64_t z = (state_ += 0x9e3779b97f4a7c15ull);
        z = (z ^ (z >> 30)) * 0xbf58476d1ce4e5b9ull;
        z = (z ^ (z >> 27)) * 0x94d049bb133111ebull;
        return z ^ (z >> 31);
    }
    // Uniform in [lo, hi].
    int range(int lo, int hi) { return lo + int(next() % std::uint64_t(hi - lo + 1)); }

private:
    std::uint64_t state_;
};

// The workload size from DUNMAR_BENCH_MIB (MiB, fractions allowed), 32 MiB when unset; the CTest
// smoke run sets it to 1 so that it only shows the benchmarks still run.
std::size_t workloadBytesFromEnv();

// The throughput workloads, each at least `targetBytes` long:
//   dense-ascii    199 printable characters and CR LF per line, scrolling the whole screen
//   sgr-per-word   a 256-colour foreground and a true-colour background before every short word
//                  (random colours: nearly every word is a rendition never seen before)
//   sgr-palette    the same with a 16-colour background: the renditions repeat, as in coloured logs
//   cursor-motion  CUP to a scattered cell and one character there
//   unicode        accented Latin, wide CJK, emoji and combining marks
//   scroll-region  DECSTBM 5..45 and a line written at its bottom again and again
//   fullscreen     alternate screen, erases, inserted and deleted lines, SGR, cursor motion
std::vector<Workload> makeWorkloads(std::size_t targetBytes);

// One line of SGR-heavy text (ending in CR LF) that fills at most `cols` columns: a colour
// change before every word, as the sgr-per-word workload. With `paletteOnly` the colours come
// from the 256-colour palette alone (what coloured logs and highlighted code use); otherwise the
// background is a random true colour, which makes nearly every word a rendition of its own.
std::string sgrLine(Rng& rng, int cols, bool paletteOnly);

} // namespace benchwork
