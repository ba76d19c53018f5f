// Speed of our encoders against libpng's and libjpeg's defaults on screen-like pictures,
// with a plain frame copy as the floor. Prints the usual table, then the ratios that matter.
#include <benchmark/benchmark.h>
#include <jpeglib.h>
#include <png.h>

#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <map>
#include <new>

#include "bench_pictures.h"
#include "imaging/JpegWriter.h"
#include "imaging/PngSubFilter.h"
#include "imaging/PngWriter.h"

// Counts operator new, to show that no encoder allocates per row.
namespace {
std::atomic<long> allocations{0};
std::atomic<long> allocatedBytes{0};
}  // namespace

void* operator new(std::size_t size) {
    allocations.fetch_add(1, std::memory_order_relaxed);
    allocatedBytes.fetch_add(static_cast<long>(size), std::memory_order_relaxed);
    if (void* p = std::malloc(size ? size : 1)) return p;
    throw std::bad_alloc();
}
void operator delete(void* p) noexcept { std::free(p); }
void operator delete(void* p, std::size_t) noexcept { std::free(p); }

namespace kadrix::bench {
namespace {

class CountingSink final : public ByteSink {
public:
    void write(std::span<const std::uint8_t> bytes) override { total += bytes.size(); }
    std::size_t total = 0;
};

std::size_t inputBytes(const Picture& picture) { return std::size_t(picture.view.width) * picture.view.height * 3; }

void report(benchmark::State& state, const Picture& picture, std::size_t outBytes, long allocs, long allocBytes) {
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * inputBytes(picture)));
    state.counters["out_bytes"] = static_cast<double>(outBytes);
    state.counters["out_rate"] = benchmark::Counter(static_cast<double>(outBytes), benchmark::Counter::kIsIterationInvariantRate);
    state.counters["allocs"] = static_cast<double>(allocs);
    state.counters["alloc_KiB"] = allocBytes / 1024.0;
}

void ourPng(benchmark::State& state, const Picture* picture) {
    std::size_t out = 0;
    long allocs = 0, bytes = 0;
    for (auto _ : state) {
        CountingSink sink;
        const long a0 = allocations, b0 = allocatedBytes;
        writePng(picture->view, sink);
        allocs = allocations - a0, bytes = allocatedBytes - b0;
        out = sink.total;
    }
    report(state, *picture, out, allocs, bytes);
}

void libpngDefault(benchmark::State& state, const Picture* picture) {
    std::size_t out = 0;
    std::vector<png_bytep> rows(picture->view.height);
    for (int y = 0; y < picture->view.height; ++y) rows[y] = const_cast<png_bytep>(picture->view.row(y));
    for (auto _ : state) {
        out = 0;
        png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
        png_infop info = png_create_info_struct(png);
        png_set_write_fn(png, &out, [](png_structp p, png_bytep, png_size_t size) {
            *static_cast<std::size_t*>(png_get_io_ptr(p)) += size;
        }, nullptr);
        png_set_IHDR(png, info, picture->view.width, picture->view.height, 8, PNG_COLOR_TYPE_RGB, PNG_INTERLACE_NONE,
                     PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
        png_write_info(png, info);
        png_set_bgr(png);
        png_write_image(png, rows.data());
        png_write_end(png, nullptr);
        png_destroy_write_struct(&png, &info);
    }
    report(state, *picture, out, 0, 0);
}

void subFilterOnly(benchmark::State& state, const Picture* picture) {
    std::vector<std::uint8_t> row(std::size_t(picture->view.width) * 3);
    for (auto _ : state) {
        for (int y = 0; y < picture->view.height; ++y) {
            subFilterRow(picture->view.shape(), picture->view.row(y), row.data());
            benchmark::DoNotOptimize(row.data());
        }
        benchmark::ClobberMemory();
    }
    report(state, *picture, row.size() * picture->view.height, 0, 0);
}

void ourJpeg(benchmark::State& state, const Picture* picture, int quality) {
    std::size_t out = 0;
    long allocs = 0, bytes = 0;
    for (auto _ : state) {
        const long a0 = allocations, b0 = allocatedBytes;
        const auto encoded = compressJpeg(picture->view, quality);
        allocs = allocations - a0, bytes = allocatedBytes - b0;
        out = encoded.size();
    }
    report(state, *picture, out, allocs, bytes);
}

// libjpeg's defaults (slow integer DCT unless told) taking the BGR rows directly, into its own memory buffer.
void libjpegDirect(benchmark::State& state, const Picture* picture, int quality, J_DCT_METHOD dct = JDCT_ISLOW) {
    std::size_t out = 0;
    for (auto _ : state) {
        jpeg_compress_struct info{};
        jpeg_error_mgr errors{};
        info.err = jpeg_std_error(&errors);
        jpeg_create_compress(&info);
        unsigned char* buffer = nullptr;
        unsigned long size = 0;
        jpeg_mem_dest(&info, &buffer, &size);
        info.image_width = picture->view.width;
        info.image_height = picture->view.height;
        info.input_components = 3;
        info.in_color_space = JCS_EXT_BGR;
        jpeg_set_defaults(&info);
        info.dct_method = dct;
        jpeg_set_quality(&info, quality, TRUE);
        jpeg_start_compress(&info, TRUE);
        for (int y = 0; y < picture->view.height; ++y) {
            JSAMPROW row = const_cast<JSAMPROW>(picture->view.row(y));
            jpeg_write_scanlines(&info, &row, 1);
        }
        jpeg_finish_compress(&info);
        jpeg_destroy_compress(&info);
        out = size;
        std::free(buffer);
    }
    report(state, *picture, out, 0, 0);
}

void frameCopy(benchmark::State& state, const Picture* picture) {
    std::vector<std::uint8_t> copy(picture->memory.size());
    for (auto _ : state) {
        std::memcpy(copy.data(), picture->memory.data(), copy.size());
        benchmark::ClobberMemory();
    }
    report(state, *picture, copy.size(), 0, 0);
}

// Keeps every run's time and output size for the ratio table at the end.
class RatioReporter : public benchmark::ConsoleReporter {
public:
    void ReportRuns(const std::vector<Run>& runs) override {
        for (const Run& run : runs) {
            // CPU time: the machine is shared, and waiting for a core is not the encoder's cost.
            const std::string name = run.benchmark_name().substr(0, run.benchmark_name().find("/min_time"));
            times_[name] = run.GetAdjustedCPUTime();
            const auto size = run.counters.find("out_bytes");
            if (size != run.counters.end()) sizes_[name] = size->second.value;
        }
        ConsoleReporter::ReportRuns(runs);
    }
    void printRatios(const std::vector<std::string>& pictures) {
        std::printf("\nRatios of CPU time (ours / reference) and of PNG size (ours / libpng); jpg*/float compares\n"
                    "with libjpeg itself using the same floating-point DCT.\n");
        std::printf("%-18s %8s %9s %8s %10s %10s %11s %9s\n", "picture", "png/ref", "png size", "filter%", "jpg20/ref",
                    "jpg60/ref", "jpg100/ref", "jpg60/float");
        for (const std::string& p : pictures) {
            const auto t = [&](const std::string& kind) { return times_[kind + "/" + p]; };
            std::printf("%-18s %8.2f %9.3f %7.1f%% %10.2f %10.2f %11.2f %9.2f\n", p.c_str(), t("png_ours") / t("png_libpng"),
                        sizes_["png_ours/" + p] / sizes_["png_libpng/" + p], 100 * t("png_subfilter") / t("png_ours"),
                        t("jpeg_ours_q20") / t("jpeg_libjpeg_q20"), t("jpeg_ours_q60") / t("jpeg_libjpeg_q60"),
                        t("jpeg_ours_q100") / t("jpeg_libjpeg_q100"), t("jpeg_ours_q60") / t("jpeg_libjpeg_float_q60"));
        }
    }

private:
    std::map<std::string, double> times_, sizes_;
};

}  // namespace
}  // namespace kadrix::bench

int main(int argc, char** argv) {
    using namespace kadrix::bench;
    std::vector<Picture> pictures;
    for (auto [width, height] : {std::pair{1366, 768}, {1920, 1080}, {3840, 2160}})
        for (Scene scene : {Scene::Desktop, Scene::Photo, Scene::Flat}) pictures.push_back(drawScene(scene, width, height));

    std::vector<std::string> names;
    for (const Picture& picture : pictures) {
        const Picture* p = &picture;
        names.push_back(p->name);
        const auto add = [&](const std::string& kind, auto&& function) {
            benchmark::RegisterBenchmark((kind + "/" + p->name).c_str(), function)->Unit(benchmark::kMillisecond)->MinTime(0.3);
        };
        add("copy", [p](benchmark::State& s) { frameCopy(s, p); });
        add("png_ours", [p](benchmark::State& s) { ourPng(s, p); });
        add("png_libpng", [p](benchmark::State& s) { libpngDefault(s, p); });
        add("png_subfilter", [p](benchmark::State& s) { subFilterOnly(s, p); });
        for (int quality : {20, 60, 100}) {
            add("jpeg_ours_q" + std::to_string(quality), [p, quality](benchmark::State& s) { ourJpeg(s, p, quality); });
            add("jpeg_libjpeg_q" + std::to_string(quality), [p, quality](benchmark::State& s) { libjpegDirect(s, p, quality); });
        }
        add("jpeg_libjpeg_float_q60", [p](benchmark::State& s) { libjpegDirect(s, p, 60, JDCT_FLOAT); });
    }
    benchmark::Initialize(&argc, argv);
    RatioReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    reporter.printRatios(names);
    benchmark::Shutdown();
}
