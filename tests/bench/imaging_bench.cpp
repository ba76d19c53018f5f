// Each writer against the plain path of its format on the same screen-like pictures:
// the writer as the program runs it on the capture's own rows (in place, and through
// bands as a device bitmap is read), the plain path being the format's minimal encoding
// of the same rows with no copy. The table at the end gives the ratios, their spread,
// and the heap each call used.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <ctime>
#include <functional>

#include "bench_pictures.h"
#include "heap_meter.h"
#include "imaging/BmpWriter.h"
#include "imaging/JpegWriter.h"
#include "imaging/PngWriter.h"
#include "plain_paths.h"

namespace kadrix::bench {
namespace {

// Keeps the bytes, as a file's page cache would, in memory reserved before the timing.
class ReservedSink final : public ByteSink {
public:
    explicit ReservedSink(std::size_t capacity) { bytes_.reserve(capacity); }
    void write(std::span<const std::uint8_t> bytes) override { bytes_.insert(bytes_.end(), bytes.begin(), bytes.end()); }
    std::size_t size() const { return bytes_.size(); }
    void clear() { bytes_.clear(); }

private:
    std::vector<std::uint8_t> bytes_;
};

// Bands copied out of the picture's memory: the device-bitmap path with GetDIBits's copy
// standing in for the platform's conversion.
BandedRows bandsOf(const Picture& picture) {
    const std::size_t stride = dibStride(picture.view.width, 24);
    return BandedRows(picture.view.shape(), [&picture, stride](int first, int count, std::uint8_t* out) {
        std::memcpy(out, picture.memory.data() + first * stride, count * stride);
    });
}

enum class Source { InPlace, Banded };

double threadSeconds() {
    timespec now{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
    return now.tv_sec + now.tv_nsec * 1e-9;
}

double median(std::vector<double> v) {
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
}
double quantile(std::vector<double> v, double q) {
    std::sort(v.begin(), v.end());
    return v[static_cast<std::size_t>(q * (v.size() - 1))];
}

// One format's writer and plain path, each returning its output size.
struct Contest {
    std::function<std::size_t()> writer;
    std::function<std::size_t()> plain;
};

// Times writer and plain path back to back in every iteration, the order alternating, on
// the thread's CPU clock: the machine's slow spells then hit both sides of a pair alike,
// and the median of the pairs' ratios is steadier than a ratio of separate runs.
void pairs(benchmark::State& state, const Picture& picture, const Contest& contest) {
    std::vector<double> writer, plain, ratio;
    HeapUse heap, plainHeap;
    std::size_t out = 0;
    const auto timed = [](const std::function<std::size_t()>& encode, HeapUse& most, std::size_t* size) {
        const HeapMeter meter;
        const double start = threadSeconds();
        const std::size_t bytes = encode();
        const double seconds = threadSeconds() - start;
        const HeapUse use = meter.use();
        most.peak = std::max(most.peak, use.peak);
        most.largest = std::max(most.largest, use.largest);
        if (size) *size = bytes;
        return seconds;
    };
    for (auto _ : state) {
        double w, p;
        if (writer.size() % 2 == 0) {
            w = timed(contest.writer, heap, &out);
            p = timed(contest.plain, plainHeap, nullptr);
        } else {
            p = timed(contest.plain, plainHeap, nullptr);
            w = timed(contest.writer, heap, &out);
        }
        writer.push_back(w);
        plain.push_back(p);
        ratio.push_back(w / p);
    }
    state.counters["pairs"] = static_cast<double>(ratio.size());
    state.counters["writer_ms"] = median(writer) * 1e3;
    state.counters["plain_ms"] = median(plain) * 1e3;
    state.counters["min_ratio"] = *std::min_element(writer.begin(), writer.end()) / *std::min_element(plain.begin(), plain.end());
    state.counters["ratio"] = median(ratio);
    state.counters["ratio_p25"] = quantile(ratio, 0.25);
    state.counters["ratio_p75"] = quantile(ratio, 0.75);
    state.counters["heap_KiB"] = heap.peak / 1024.0;
    state.counters["largest_KiB"] = heap.largest / 1024.0;
    state.counters["plain_heap_KiB"] = plainHeap.peak / 1024.0;
    state.counters["frame_KiB"] = picture.memory.size() / 1024.0;
    state.counters["out_bytes"] = static_cast<double>(out);
}

// Writer's rows: the picture's memory in place, or bands copied out of it.
template <typename Encode>
std::size_t withRows(const Picture& picture, Source source, Encode&& encode) {
    if (source == Source::InPlace) {
        ViewRows rows(picture.view);
        return encode(rows);
    }
    BandedRows rows = bandsOf(picture);
    return encode(rows);
}

// BMP and PNG: the writer's bytes and the plain path's go to the same reserved sink.
Contest sinkContest(const Picture& picture, Source source, ReservedSink& sink, void (*write)(PixelRows&, ByteSink&),
                    void (*plain)(const ImageView&, ByteSink&)) {
    return {[&picture, source, &sink, write] {
                sink.clear();
                return withRows(picture, source, [&](PixelRows& rows) { return write(rows, sink), sink.size(); });
            },
            [&picture, &sink, plain] {
                sink.clear();
                plain(picture.view, sink);
                return sink.size();
            }};
}

Contest jpegContest(const Picture& picture, Source source, int quality) {
    return {[&picture, source, quality] {
                return withRows(picture, source, [&](PixelRows& rows) { return compressJpeg(rows, quality).size(); });
            },
            [&picture, quality] { return plainJpeg(picture.view, quality); }};
}

// Prints the usual lines, then one table of the pairs' figures.
class RatioReporter : public benchmark::ConsoleReporter {
public:
    void ReportRuns(const std::vector<Run>& runs) override {
        for (const Run& run : runs) rows_.push_back({run.benchmark_name().substr(0, run.benchmark_name().find("/iterations")), run.counters});
        ConsoleReporter::ReportRuns(runs);
    }

    void printTable() const {
        std::printf("\nWriter / plain path of its format, thread CPU time, timed in pairs. ratio: median of the\n"
                    "pairs' ratios [25th-75th percentile], the noise; min: fastest writer / fastest plain run.\n"
                    "heap: the most the writer held at once above its start, its largest block, and the plain\n"
                    "path's most, against the frame's bytes. banded rows are copied out of the picture 16 at a\n"
                    "time, standing in for GetDIBits on a device bitmap: their ratio includes that conversion.\n\n");
        std::printf("%-36s %5s %9s %9s %6s %15s %6s %9s %9s %9s %7s\n", "benchmark", "pairs", "writer", "plain",
                    "ratio", "[p25-p75]", "min", "heap KiB", "largest", "plain KiB", "/frame");
        for (const auto& [name, c] : rows_) {
            const auto v = [&](const char* key) { return c.at(key).value; };
            std::printf("%-36s %5.0f %7.2fms %7.2fms %6.3f  [%5.3f-%5.3f] %6.3f %9.0f %9.0f %9.0f %6.1f%%\n",
                        name.c_str(), v("pairs"), v("writer_ms"), v("plain_ms"), v("ratio"), v("ratio_p25"),
                        v("ratio_p75"), v("min_ratio"), v("heap_KiB"), v("largest_KiB"), v("plain_heap_KiB"),
                        100 * v("heap_KiB") / v("frame_KiB"));
        }
    }

private:
    std::vector<std::pair<std::string, benchmark::UserCounters>> rows_;
};

}  // namespace
}  // namespace kadrix::bench

int main(int argc, char** argv) {
    using namespace kadrix::bench;
    std::vector<Picture> pictures;
    for (auto [width, height] : {std::pair{1366, 768}, {1920, 1080}, {3840, 2160}})
        for (Scene scene : {Scene::Desktop, Scene::Photo, Scene::Flat}) pictures.push_back(drawScene(scene, width, height));
    ReservedSink sink(pictures.back().memory.size() + 1024);  // the largest picture's BMP fits

    for (const Picture& picture : pictures) {
        for (auto [source, rows] : {std::pair{Source::InPlace, "inplace"}, {Source::Banded, "banded"}}) {
            // Enough pairs for a median and quartiles even where one pair takes a second.
            const auto add = [&](const std::string& format, int pairs_, Contest contest) {
                benchmark::RegisterBenchmark((format + "_" + rows + "/" + picture.name).c_str(),
                                             [&picture, contest](benchmark::State& s) { pairs(s, picture, contest); })
                    ->Unit(benchmark::kMillisecond)
                    ->Iterations(pairs_);
            };
            add("bmp", 200, sinkContest(picture, source, sink, kadrix::writeBmp, plainBmp));
            add("png", 11, sinkContest(picture, source, sink, kadrix::writePng, plainPng));
            for (int quality : {20, 60, 100})
                add("jpeg_q" + std::to_string(quality), 25, jpegContest(picture, source, quality));
        }
    }
    benchmark::Initialize(&argc, argv);
    RatioReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    reporter.printTable();
    benchmark::Shutdown();
}
