// Decoding speed of our PNG decoder against libpng, libspng and stb_image,
// on the game's picture sizes and on larger images of every kind the
// decoder handles. The inputs are made here (synthetic pictures with
// gradients, shapes and noise, encoded by libpng with adaptive filters).
//
// Two modes. "warm": one decoder object decodes from memory again and
// again, so its buffers are reused and stay in the caches. "fresh": as the
// game decodes, each picture once per process: every decode reads a file,
// with a new object and new buffers for every contender, and between
// decodes the freed memory goes back to the system so that the next decode
// meets fresh pages. After the runs a table per mode gives each
// contender's time and our time divided by theirs.
//
// Before any timing, every contender decodes every input to 8-bit RGBA and
// the pictures must be the same; the first difference stops the benchmark.
//
//   cmake -S . -B build-bench -G Ninja -DCMAKE_BUILD_TYPE=Release -DMARROWDALE_BENCH=ON
//   cmake --build build-bench --target png_decode_bench && build-bench/bench/png_decode_bench

#include "brief.h"
#include "media/png_picture.h"
#include "platform/ui.h"

#include <benchmark/benchmark.h>
#include <png.h>
#include <spng.h>
#include <stb/stb_image.h>

#include <malloc.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <map>
#include <optional>
#include <string>
#include <vector>

namespace {

// ---------------------------------------------------------------- inputs

struct Input {
  std::string name;
  std::vector<std::uint8_t> png;
};

std::uint32_t Noise(std::uint32_t& state) {
  state ^= state << 13;
  state ^= state >> 17;
  state ^= state << 5;
  return state;
}

// A picture that compresses like a drawn one: smooth shading, hard-edged
// shapes, a soft-edged transparent border and a little noise.
void Sample(int x, int y, int w, int h, std::uint32_t& rng, int out[4]) {
  const double fx = double(x) / w;
  const double fy = double(y) / h;
  const int n = int(Noise(rng) & 15);
  out[0] = int(128 + 100 * std::sin(fx * 9.0 + fy * 3.0)) + n;
  out[1] = int(128 + 90 * std::cos(fy * 7.0 - fx * 2.0)) + (n >> 1);
  out[2] = ((x / 37 + y / 29) & 1) ? 200 - n : 60 + n;
  const double dx = fx - 0.5;
  const double dy = fy - 0.5;
  const double d = std::sqrt(dx * dx + dy * dy);
  out[3] = d < 0.35 ? 255 : d > 0.45 ? 0 : int(255 * (0.45 - d) / 0.1);
  for (int i = 0; i < 3; ++i) out[i] = out[i] < 0 ? 0 : out[i] > 255 ? 255 : out[i];
}

void WriteToVector(png_structp png, png_bytep data, png_size_t length) {
  auto* out = static_cast<std::vector<std::uint8_t>*>(png_get_io_ptr(png));
  out->insert(out->end(), data, data + length);
}

struct Encoding {
  int width, height, colorType, bitDepth;
  bool interlaced = false;
  std::size_t idatBytes = 0;  // 0: libpng's default chunk size
};

std::vector<std::uint8_t> Encode(const Encoding& e) {
  std::vector<std::uint8_t> out;
  png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
  png_infop info = png_create_info_struct(png);
  if (setjmp(png_jmpbuf(png))) {
    png_destroy_write_struct(&png, &info);
    return {};
  }
  png_set_write_fn(png, &out, WriteToVector, nullptr);
  png_set_IHDR(png, info, png_uint_32(e.width), png_uint_32(e.height), e.bitDepth, e.colorType,
               e.interlaced ? PNG_INTERLACE_ADAM7 : PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT,
               PNG_FILTER_TYPE_DEFAULT);
  if (e.colorType != PNG_COLOR_TYPE_PALETTE || true) png_set_filter(png, 0, PNG_ALL_FILTERS);
  if (e.idatBytes) png_set_compression_buffer_size(png, e.idatBytes);
  if (e.colorType == PNG_COLOR_TYPE_PALETTE) {
    std::vector<png_color> palette(256);
    std::vector<png_byte> alpha(256);
    for (int i = 0; i < 256; ++i) {
      palette[std::size_t(i)] = {png_byte(i), png_byte(255 - i), png_byte((i * 7) & 255)};
      alpha[std::size_t(i)] = png_byte(i < 32 ? i * 8 : 255);
    }
    png_set_PLTE(png, info, palette.data(), 256);
    png_set_tRNS(png, info, alpha.data(), 256, nullptr);
  }
  png_write_info(png, info);
  const int channels = e.colorType == PNG_COLOR_TYPE_RGBA ? 4 : e.colorType == PNG_COLOR_TYPE_RGB ? 3 : 1;
  const std::size_t rowBytes = (std::size_t(e.width) * std::size_t(channels) * std::size_t(e.bitDepth) + 7) / 8;
  std::vector<png_byte> image(rowBytes * std::size_t(e.height), 0);
  std::uint32_t rng = 2463534242u;
  for (int y = 0; y < e.height; ++y) {
    png_byte* row = &image[rowBytes * std::size_t(y)];
    for (int x = 0; x < e.width; ++x) {
      int s[4];
      Sample(x, y, e.width, e.height, rng, s);
      if (e.bitDepth == 1) {
        if ((s[0] + s[1]) / 2 > int(Noise(rng) & 255)) row[x >> 3] = png_byte(row[x >> 3] | (0x80 >> (x & 7)));
      } else if (e.colorType == PNG_COLOR_TYPE_PALETTE) {
        row[x] = png_byte((s[0] / 32) * 32 + (s[2] / 64) * 4 + (s[3] > 128 ? 3 : s[3] / 64));
      } else if (e.bitDepth == 16) {
        for (int c = 0; c < channels; ++c) {
          const int v = s[c] * 257 + int(Noise(rng) & 63);
          row[(x * channels + c) * 2] = png_byte(std::min(v, 65535) >> 8);
          row[(x * channels + c) * 2 + 1] = png_byte(std::min(v, 65535) & 255);
        }
      } else {
        for (int c = 0; c < channels; ++c) row[x * channels + c] = png_byte(s[c]);
      }
    }
  }
  std::vector<png_bytep> rows(static_cast<std::size_t>(e.height));
  for (int y = 0; y < e.height; ++y) rows[std::size_t(y)] = &image[rowBytes * std::size_t(y)];
  png_write_image(png, rows.data());
  png_write_end(png, nullptr);
  png_destroy_write_struct(&png, &info);
  return out;
}

// The game's picture sizes and one large picture of every kind; brief, the
// smallest of the game's pictures and a small one of every kind.
std::vector<Input> MakeInputs(bool brief) {
  struct Named {
    std::string name;
    Encoding e;
  };
  const int side = brief ? 61 : 2048;
  const std::string big = std::to_string(side);
  std::vector<Named> all;
  if (!brief) {
    all.push_back({"structure 1200x783 RGBA", {1200, 783, PNG_COLOR_TYPE_RGBA, 8}});
    all.push_back({"logo 307x131 RGBA", {307, 131, PNG_COLOR_TYPE_RGBA, 8}});
  }
  all.push_back({"hand 29x55 RGBA", {29, 55, PNG_COLOR_TYPE_RGBA, 8}});
  all.push_back({big + " RGB", {side, side, PNG_COLOR_TYPE_RGB, 8}});
  all.push_back({big + " RGBA", {side, side, PNG_COLOR_TYPE_RGBA, 8}});
  all.push_back({big + " RGB interlaced", {side, side, PNG_COLOR_TYPE_RGB, 8, true}});
  all.push_back({big + " RGBA interlaced", {side, side, PNG_COLOR_TYPE_RGBA, 8, true}});
  all.push_back({big + " palette+tRNS", {side, side, PNG_COLOR_TYPE_PALETTE, 8}});
  all.push_back({big + " RGBA 16-bit", {side, side, PNG_COLOR_TYPE_RGBA, 16}});
  all.push_back({big + " grey 1-bit", {side, side, PNG_COLOR_TYPE_GRAY, 1}});
  all.push_back({big + " RGBA 1KiB IDAT", {side, side, PNG_COLOR_TYPE_RGBA, 8, false, 1024}});
  std::vector<Input> list;
  for (const Named& n : all) list.push_back({n.name, Encode(n.e)});
  return list;
}

// ------------------------------------------------------------- decoders

bool DecodeOurs(const std::vector<std::uint8_t>& file) {
  static platform::SilentUi ui;
  static media::StdPNG png(ui);  // one object, as the game keeps
  png.SetProgressiveDisplay(0);
  png.SetTransparentStyle(media::kTransparentKeep);
  return png.LoadFromMemory(file, -1, 0, 255).ok();
}

bool DecodeOursFromFile(const std::string& path) {
  platform::SilentUi ui;
  media::StdPNG png(ui);
  png.SetProgressiveDisplay(0);
  png.SetTransparentStyle(media::kTransparentKeep);
  const bool ok = png.Load(QString::fromStdString(path), -1, 0, 255).ok();
  benchmark::DoNotOptimize(png.Handle().constBits());
  return ok;
}

struct Reader {
  const std::vector<std::uint8_t>* file;
  std::size_t at;
};

void ReadFromVector(png_structp png, png_bytep out, png_size_t count) {
  auto* r = static_cast<Reader*>(png_get_io_ptr(png));
  if (r->at + count > r->file->size()) png_error(png, "short");
  std::memcpy(out, r->file->data() + r->at, count);
  r->at += count;
}

// From memory when `file` is given, else from the file at `path`.
bool DecodeLibpng(const std::vector<std::uint8_t>* file, const char* path, std::vector<std::uint8_t>& pixels) {
  png_structp png = png_create_read_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
  png_infop info = png_create_info_struct(png);
  Reader reader{file, 0};
  FILE* f = nullptr;
  if (setjmp(png_jmpbuf(png))) {
    png_destroy_read_struct(&png, &info, nullptr);
    if (f != nullptr) std::fclose(f);
    return false;
  }
  if (file != nullptr) {
    png_set_read_fn(png, &reader, ReadFromVector);
  } else {
    f = std::fopen(path, "rb");
    if (f == nullptr) png_error(png, "cannot open");
    png_init_io(png, f);
  }
  png_read_info(png, info);
  png_set_palette_to_rgb(png);
  png_set_tRNS_to_alpha(png);
  png_set_strip_16(png);
  png_set_interlace_handling(png);
  png_read_update_info(png, info);
  const std::size_t rowBytes = png_get_rowbytes(png, info);
  const std::size_t height = png_get_image_height(png, info);
  pixels.resize(rowBytes * height);
  std::vector<png_bytep> rows(height);
  for (std::size_t y = 0; y < height; ++y) rows[y] = pixels.data() + rowBytes * y;
  png_read_image(png, rows.data());
  png_read_end(png, nullptr);
  png_destroy_read_struct(&png, &info, nullptr);
  if (f != nullptr) std::fclose(f);
  return true;
}

bool DecodeSpng(const std::vector<std::uint8_t>* file, const char* path, std::vector<std::uint8_t>& pixels) {
  spng_ctx* ctx = spng_ctx_new(0);
  FILE* f = nullptr;
  if (file != nullptr) {
    spng_set_png_buffer(ctx, file->data(), file->size());
  } else {
    f = std::fopen(path, "rb");
    if (f == nullptr || spng_set_png_file(ctx, f) != 0) {
      spng_ctx_free(ctx);
      if (f != nullptr) std::fclose(f);
      return false;
    }
  }
  spng_ihdr ihdr;
  bool ok = spng_get_ihdr(ctx, &ihdr) == 0;
  int format = SPNG_FMT_RGBA8;
  if (ok && ihdr.color_type == SPNG_COLOR_TYPE_TRUECOLOR) format = SPNG_FMT_RGB8;
  if (ok && ihdr.color_type == SPNG_COLOR_TYPE_GRAYSCALE) format = SPNG_FMT_PNG;
  std::size_t size = 0;
  ok = ok && spng_decoded_image_size(ctx, format, &size) == 0;
  if (ok) {
    pixels.resize(size);
    ok = spng_decode_image(ctx, pixels.data(), size, format, SPNG_DECODE_TRNS) == 0;
  }
  spng_ctx_free(ctx);
  if (f != nullptr) std::fclose(f);
  return ok;
}

bool DecodeStb(const std::vector<std::uint8_t>* file, const char* path) {
  int w, h, n;
  stbi_uc* pixels = file != nullptr ? stbi_load_from_memory(file->data(), int(file->size()), &w, &h, &n, 0)
                                    : stbi_load(path, &w, &h, &n, 0);
  if (pixels == nullptr) return false;
  benchmark::DoNotOptimize(pixels[0]);
  stbi_image_free(pixels);
  return true;
}

const char* const kContenders[] = {"ours", "libpng", "libspng", "stb_image"};

// ---------------------------------------------------------- the check

// A decoded picture as 8-bit RGBA, premultiplied as the game keeps it
// (each colour times alpha / 255, rounded down): ours gives it so, and the
// others' straight RGBA is brought to it.
struct Rgba8 {
  int width = 0;
  int height = 0;
  std::vector<std::uint8_t> pixels;
};

void Premultiply(Rgba8& picture) {
  for (std::size_t i = 0; i < picture.pixels.size(); i += 4) {
    const unsigned a = picture.pixels[i + 3];
    for (std::size_t c = 0; c < 3; ++c) picture.pixels[i + c] = std::uint8_t(picture.pixels[i + c] * a / 255);
  }
}

std::optional<Rgba8> OursAsRgba8(const std::vector<std::uint8_t>& file) {
  platform::SilentUi ui;
  media::StdPNG png(ui);
  png.SetProgressiveDisplay(0);
  png.SetTransparentStyle(media::kTransparentKeep);
  if (!png.LoadFromMemory(file, -1, 0, 255).ok()) return std::nullopt;
  const QImage image = png.Handle().convertToFormat(QImage::Format_RGBA8888_Premultiplied);
  Rgba8 out{image.width(), image.height(), {}};
  for (int y = 0; y < image.height(); ++y)
    out.pixels.insert(out.pixels.end(), image.constScanLine(y), image.constScanLine(y) + 4 * image.width());
  return out;
}

std::optional<Rgba8> LibpngAsRgba8(const std::vector<std::uint8_t>& file) {
  png_structp png = png_create_read_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
  png_infop info = png_create_info_struct(png);
  Reader reader{&file, 0};
  Rgba8 out;
  if (setjmp(png_jmpbuf(png))) {
    png_destroy_read_struct(&png, &info, nullptr);
    return std::nullopt;
  }
  png_set_read_fn(png, &reader, ReadFromVector);
  png_read_info(png, info);
  png_set_expand(png);
  png_set_gray_to_rgb(png);
  png_set_strip_16(png);
  png_set_add_alpha(png, 0xFF, PNG_FILLER_AFTER);
  png_set_interlace_handling(png);
  png_read_update_info(png, info);
  out.width = int(png_get_image_width(png, info));
  out.height = int(png_get_image_height(png, info));
  out.pixels.resize(std::size_t(out.width) * std::size_t(out.height) * 4);
  std::vector<png_bytep> rows(std::size_t(out.height));
  for (std::size_t y = 0; y < rows.size(); ++y) rows[y] = out.pixels.data() + std::size_t(out.width) * 4 * y;
  png_read_image(png, rows.data());
  png_destroy_read_struct(&png, &info, nullptr);
  Premultiply(out);
  return out;
}

std::optional<Rgba8> SpngAsRgba8(const std::vector<std::uint8_t>& file) {
  spng_ctx* ctx = spng_ctx_new(0);
  spng_set_png_buffer(ctx, file.data(), file.size());
  spng_ihdr ihdr;
  std::size_t size = 0;
  Rgba8 out;
  bool ok = spng_get_ihdr(ctx, &ihdr) == 0 && spng_decoded_image_size(ctx, SPNG_FMT_RGBA8, &size) == 0;
  if (ok) {
    out.width = int(ihdr.width);
    out.height = int(ihdr.height);
    out.pixels.resize(size);
    ok = spng_decode_image(ctx, out.pixels.data(), size, SPNG_FMT_RGBA8, SPNG_DECODE_TRNS) == 0;
  }
  spng_ctx_free(ctx);
  if (!ok) return std::nullopt;
  Premultiply(out);
  return out;
}

std::optional<Rgba8> StbAsRgba8(const std::vector<std::uint8_t>& file) {
  int w, h, n;
  stbi_uc* pixels = stbi_load_from_memory(file.data(), int(file.size()), &w, &h, &n, 4);
  if (pixels == nullptr) return std::nullopt;
  Rgba8 out{w, h, std::vector<std::uint8_t>(pixels, pixels + std::size_t(w) * std::size_t(h) * 4)};
  stbi_image_free(pixels);
  Premultiply(out);
  return out;
}

// Times mean something only if every decoder gives the same picture: true
// when they all do for every input, else the first difference is printed.
bool AllDecodersAgree(const std::vector<Input>& inputs) {
  using Decoder = std::optional<Rgba8> (*)(const std::vector<std::uint8_t>&);
  const Decoder decoders[] = {OursAsRgba8, LibpngAsRgba8, SpngAsRgba8, StbAsRgba8};
  for (const Input& input : inputs) {
    std::optional<Rgba8> pictures[4];
    for (int d = 0; d < 4; ++d) {
      pictures[d] = decoders[d](input.png);
      if (!pictures[d]) {
        std::fprintf(stderr, "%s: %s cannot decode it\n", input.name.c_str(), kContenders[d]);
        return false;
      }
    }
    const Rgba8& ours = *pictures[0];
    for (int d = 1; d < 4; ++d) {
      const Rgba8& theirs = *pictures[d];
      if (theirs.width != ours.width || theirs.height != ours.height) {
        std::fprintf(stderr, "%s: %s decodes %d x %d, %s %d x %d\n", input.name.c_str(), kContenders[0], ours.width,
                     ours.height, kContenders[d], theirs.width, theirs.height);
        return false;
      }
      const auto [a, b] = std::mismatch(ours.pixels.begin(), ours.pixels.end(), theirs.pixels.begin());
      if (a == ours.pixels.end()) continue;
      const std::size_t pixel = std::size_t(a - ours.pixels.begin()) / 4;
      const std::uint8_t* p = &ours.pixels[pixel * 4];
      const std::uint8_t* q = &theirs.pixels[pixel * 4];
      std::fprintf(stderr, "%s: at (%zu, %zu) %s gives RGBA %d,%d,%d,%d, %s %d,%d,%d,%d\n", input.name.c_str(),
                   pixel % std::size_t(ours.width), pixel / std::size_t(ours.width), kContenders[0], p[0], p[1], p[2],
                   p[3], kContenders[d], q[0], q[1], q[2], q[3]);
      return false;
    }
  }
  return true;
}

const char* const kModes[] = {"warm", "fresh"};

struct Case {
  const Input* input;
  std::string path;  // the input written to a file, for the fresh mode
};

void DecodeWarm(benchmark::State& state, const Case* c, int contender) {
  std::vector<std::uint8_t> pixels;
  for (auto _ : state) {
    bool ok = false;
    switch (contender) {
      case 0: ok = DecodeOurs(c->input->png); break;
      case 1: ok = DecodeLibpng(&c->input->png, nullptr, pixels); break;
      case 2: ok = DecodeSpng(&c->input->png, nullptr, pixels); break;
      default: ok = DecodeStb(&c->input->png, nullptr); break;
    }
    if (!ok) {
      state.SkipWithError("decoding failed");
      return;
    }
    benchmark::ClobberMemory();
  }
}

// Timed by hand: only the decode and the release of what it made count.
void DecodeFresh(benchmark::State& state, const Case* c, int contender) {
  const char* path = c->path.c_str();
  for (auto _ : state) {
    bool ok = false;
    const auto start = std::chrono::steady_clock::now();
    {
      std::vector<std::uint8_t> pixels;  // each decode's own output
      switch (contender) {
        case 0: ok = DecodeOursFromFile(c->path); break;
        case 1: ok = DecodeLibpng(nullptr, path, pixels); break;
        case 2: ok = DecodeSpng(nullptr, path, pixels); break;
        default: ok = DecodeStb(nullptr, path); break;
      }
      benchmark::ClobberMemory();
    }
    state.SetIterationTime(std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count());
    if (!ok) {
      state.SkipWithError("decoding failed");
      return;
    }
    // Everything freed goes back to the system before the next decode.
    malloc_trim(0);
  }
}

// Keeps every run's time so that the table can be printed at the end.
class TableReporter : public benchmark::ConsoleReporter {
 public:
  void ReportRuns(const std::vector<Run>& runs) override {
    for (const Run& run : runs)
      if (!run.error_occurred && (run.run_type == Run::RT_Iteration || run.aggregate_name == "min"))
        times[run.run_name.function_name] = run.GetAdjustedRealTime();  // in the run's unit (ms)
    ConsoleReporter::ReportRuns(runs);
  }
  std::map<std::string, double> times;
};

}  // namespace

int main(int argc, char** argv) {
  const bool brief = bench::TakeBrief(argc, argv);
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
  const std::vector<Input> inputs = MakeInputs(brief);
  if (!AllDecodersAgree(inputs)) return 1;
  char folder[] = "/tmp/png_decode_bench.XXXXXX";
  if (mkdtemp(folder) == nullptr) {
    std::perror("mkdtemp");
    return 1;
  }
  std::vector<Case> cases;
  for (const Input& input : inputs) {
    std::string path = std::string(folder) + "/" + std::to_string(cases.size()) + ".png";
    FILE* f = std::fopen(path.c_str(), "wb");
    if (f == nullptr || std::fwrite(input.png.data(), 1, input.png.size(), f) != input.png.size()) {
      std::perror(path.c_str());
      return 1;
    }
    std::fclose(f);
    cases.push_back({&input, path});
  }
  for (int mode = 0; mode < 2; ++mode) {
    for (const Case& c : cases) {
      for (int contender = 0; contender < 4; ++contender) {
        const std::string name = std::string(kModes[mode]) + "/" + c.input->name + "/" + kContenders[contender];
        // The fastest of several repetitions: the machine may be shared, and
        // other work only ever makes a run slower.
        benchmark::internal::Benchmark* b =
            benchmark::RegisterBenchmark(name.c_str(), mode == 0 ? DecodeWarm : DecodeFresh, &c, contender);
        if (mode == 1) b->UseManualTime();
        b->Unit(benchmark::kMillisecond);
        if (brief) {
          b->Iterations(1);
          continue;
        }
        b->MinTime(0.15)
            ->Repetitions(7)
            ->ComputeStatistics("min",
                                [](const std::vector<double>& v) { return *std::min_element(v.begin(), v.end()); })
            ->ReportAggregatesOnly(true);
      }
    }
  }
  TableReporter reporter;
  benchmark::RunSpecifiedBenchmarks(&reporter);

  for (int mode = 0; mode < 2; ++mode) {
    std::printf("\n%s\n%-26s %9s %9s %9s %9s   %8s %8s %8s\n",
                mode == 0 ? "warm: one object, from memory, buffers reused"
                          : "fresh: new object and buffers for every decode, from a file",
                "input (ms per decode)", "ours", "libpng", "libspng", "stb", "/libpng", "/libspng", "/stb");
    for (const Case& c : cases) {
      double t[4];
      bool all = true;
      for (int contender = 0; contender < 4; ++contender) {
        const auto it =
            reporter.times.find(std::string(kModes[mode]) + "/" + c.input->name + "/" + kContenders[contender]);
        all = all && it != reporter.times.end();
        t[contender] = all ? it->second : 0;
      }
      if (!all) continue;
      std::printf("%-26s %9.3f %9.3f %9.3f %9.3f   %8.2f %8.2f %8.2f\n", c.input->name.c_str(), t[0], t[1], t[2], t[3],
                  t[0] / t[1], t[0] / t[2], t[0] / t[3]);
    }
  }
  for (const Case& c : cases) std::remove(c.path.c_str());
  rmdir(folder);
  benchmark::Shutdown();
  return 0;
}
