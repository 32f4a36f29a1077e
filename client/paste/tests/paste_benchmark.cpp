// Benchmarks of the paste conversion: base64 throughput, and converting a 5 MB fragment that
// names twenty 2 MB local PNG files against merely reading those files and copying their bytes
// once (the "ratio" counter compares the two, measured alternately in the same run).
#include <benchmark/benchmark.h>

#include <chrono>
#include <cstring>
#include <random>

#include "client/paste/base64.h"
#include "client/paste/clipboard_html.h"
#include "client/paste/local_file.h"
#include "client/paste/recorded_clipboard.h"
#include "client/paste/tests/html_samples.h"
#include "client/paste/tests/test_files.h"

namespace corvane {
namespace {

std::string RandomBytes(size_t size, unsigned seed) {
  std::mt19937 random(seed);
  std::string bytes(size, '\0');
  for (size_t i = 0; i + 4 <= size; i += 4) {
    const uint32_t v = random();
    std::memcpy(&bytes[i], &v, 4);
  }
  return bytes;
}

void BM_Base64Encode(benchmark::State& state) {
  const std::string input = RandomBytes(static_cast<size_t>(state.range(0)), 7);
  for (auto _ : state) {
    std::string out = Base64Encode(input.data(), input.size());
    benchmark::DoNotOptimize(out.data());
  }
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * state.range(0));
}
BENCHMARK(BM_Base64Encode)->Arg(64 << 10)->Arg(2 << 20)->Arg(16 << 20);

// Twenty 2 MB PNG files and an "HTML Format" entry whose 5 MB fragment names each of them.
struct PasteSample {
  testing::ScratchFolder folder;
  std::vector<std::string> paths;
  std::string entry;
  size_t pictureBytes = 0;

  PasteSample() {
    const std::string signature = testing::Bytes(testing::kPixelPng, 16);
    std::string fragment;
    const std::string filler = "<p style=\"margin:0\">Lorem ipsum dolor sit amet, src=consectetur.</p>\r\n";
    for (int i = 0; i < 20; ++i) {
      std::string png = signature + RandomBytes((2u << 20) - signature.size(), 100 + i);
      paths.push_back(folder.Write("picture" + std::to_string(i) + ".png", png));
      pictureBytes += png.size();
      while (fragment.size() < (i + 1) * (5u << 20) / 21) fragment += filler;
      fragment += "<img width=\"640\" src=\"" + testing::FileUrl(paths.back()) + "\">\r\n";
    }
    while (fragment.size() < (5u << 20)) fragment += filler;
    entry = testing::MakeHtmlEntry(fragment);
  }
};

const PasteSample& Sample() {
  static const PasteSample sample;
  return sample;
}

// From the entry's bytes to the entry written back.
size_t ConvertOnce(const PasteSample& sample) {
  CRecordedClipboard clipboard;
  clipboard.SetHtml(sample.entry);
  const auto start = std::chrono::steady_clock::now();
  RunPasteConversion(clipboard);
  const auto took = std::chrono::steady_clock::now() - start;
  benchmark::DoNotOptimize(clipboard.Html()->data());
  return static_cast<size_t>(std::chrono::duration_cast<std::chrono::nanoseconds>(took).count());
}

// Reading the same files and copying their bytes once into one buffer.
size_t ReadAndCopyOnce(const PasteSample& sample) {
  const auto start = std::chrono::steady_clock::now();
  std::string copy;
  copy.reserve(sample.pictureBytes);
  std::string buffer;
  for (const std::string& path : sample.paths) {
    ReadWholeFile(path, kNoFileSizeLimit, buffer);
    copy.append(buffer);
  }
  benchmark::DoNotOptimize(copy.data());
  const auto took = std::chrono::steady_clock::now() - start;
  return static_cast<size_t>(std::chrono::duration_cast<std::chrono::nanoseconds>(took).count());
}

void BM_ConvertFragmentWith20Pictures(benchmark::State& state) {
  const PasteSample& sample = Sample();
  for (auto _ : state) state.SetIterationTime(ConvertOnce(sample) * 1e-9);
}
BENCHMARK(BM_ConvertFragmentWith20Pictures)->UseManualTime()->Unit(benchmark::kMillisecond);

void BM_ReadAndCopy20Pictures(benchmark::State& state) {
  const PasteSample& sample = Sample();
  for (auto _ : state) state.SetIterationTime(ReadAndCopyOnce(sample) * 1e-9);
}
BENCHMARK(BM_ReadAndCopy20Pictures)->UseManualTime()->Unit(benchmark::kMillisecond);

// Both, alternately: "ratio" is the conversion's time over the baseline's.
void BM_ConversionOverReadAndCopy(benchmark::State& state) {
  const PasteSample& sample = Sample();
  double conversion = 0, baseline = 0;
  for (auto _ : state) {
    baseline += static_cast<double>(ReadAndCopyOnce(sample));
    conversion += static_cast<double>(ConvertOnce(sample));
  }
  state.counters["ratio"] = conversion / baseline;
}
BENCHMARK(BM_ConversionOverReadAndCopy)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace corvane
