// Shared pictures on the demo client.
//
//   webp_30_frames_x4           30 frames of an attack, drawn, enlarged 4x
//                               (1000 x 1000) and encoded as animated WebP
//                               by our export's own steps
//   webp_30_frames_x4:img2webp  libwebp's img2webp encoding the same frames
//                               from PNG files, lossless, with the same times
//   sheet_all_animations        the sprite sheet of all 96 animations, cropped,
//                               at scale 1, with its PNG and JSON; counters
//                               give frames per second and the shares of
//                               drawing, packing and encoding
//
// img2webp's time includes reading its PNG files and starting its process:
// that is what using it costs.

#include <benchmark/benchmark.h>
#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "archive/stream.h"
#include "demo/demo_client.h"
#include "imaging/png.h"
#include "imaging/webp.h"
#include "viewer/export.h"
#include "viewer/sprite_sheet.h"

extern char** environ;

namespace varune {
namespace {

constexpr int32_t kFrames = 30;
constexpr int32_t kScale = 4;

using TClockTime = std::chrono::steady_clock;

double SecondsSince(TClockTime::time_point start) {
  return std::chrono::duration<double>(TClockTime::now() - start).count();
}

struct TPictureDemo {
  std::string Dir;
  TVaruneDatabase Database;
  std::unique_ptr<TChara> Chara;
  TCharaView View;
  std::vector<int32_t> Frames;      // 30, the animation's frames over and over
  std::vector<std::string> Peer;    // img2webp's command line

  TPictureDemo() {
    Dir = (std::filesystem::temp_directory_path() / ("varune-bench-picture-" + std::to_string(::getpid()))).string();
    demo::WriteDemoClient(Dir + "/client");
    Database.LoadPath(Dir + "/client/");
    Chara = std::make_unique<TChara>(Database);
    Chara->SetAnimationType(atHeavyAttack03);
    for (int32_t i = 0; i < kFrames; ++i) Frames.push_back(i % std::max(1, Chara->FrameCount()));
    Peer = {"img2webp", "-lossless", "-loop", "0", "-o", Dir + "/theirs.webp"};
    DrawFramedFrames(View, *Chara, false, {.Scale = kScale}, Frames, {}, [&](const TBitmap32& picture, int32_t i) {
      const std::string file = Dir + "/frame" + std::to_string(i) + ".png";
      WriteFileAtomically(file, EncodePng(picture, ppfRGB));
      Peer.insert(Peer.end(), {"-d", std::to_string(Chara->GetFrameTime(Frames[static_cast<size_t>(i)])), file});
    });
  }
  ~TPictureDemo() { std::filesystem::remove_all(Dir); }
};

TPictureDemo& Demo() {
  static TPictureDemo demo;
  return demo;
}

void Webp(benchmark::State& state) {
  TPictureDemo& demo = Demo();
  size_t bytes = 0;
  for (auto _ : state) {
    std::optional<TWebpWriter> writer;
    DrawFramedFrames(demo.View, *demo.Chara, false, {.Scale = kScale}, demo.Frames, {},
                     [&](const TBitmap32& picture, int32_t i) {
                       if (!writer) writer.emplace(picture.Width(), picture.Height());
                       writer->AddFrame(picture, demo.Chara->GetFrameTime(demo.Frames[static_cast<size_t>(i)]));
                     });
    bytes = writer->Finish().size();
  }
  state.counters["bytes"] = static_cast<double>(bytes);
}

void Img2webp(benchmark::State& state) {
  TPictureDemo& demo = Demo();
  std::vector<char*> argv;
  for (std::string& word : demo.Peer) argv.push_back(word.data());
  argv.push_back(nullptr);
  // Its report of the file written would interleave with the table.
  posix_spawn_file_actions_t quiet;
  posix_spawn_file_actions_init(&quiet);
  posix_spawn_file_actions_addopen(&quiet, STDOUT_FILENO, "/dev/null", O_WRONLY, 0);
  posix_spawn_file_actions_addopen(&quiet, STDERR_FILENO, "/dev/null", O_WRONLY, 0);
  for (auto _ : state) {
    pid_t child = 0;
    int status = 0;
    if (posix_spawnp(&child, "img2webp", &quiet, nullptr, argv.data(), environ) != 0 ||
        waitpid(child, &status, 0) != child || !WIFEXITED(status) || WEXITSTATUS(status) != 0) {
      state.SkipWithError("img2webp could not run (Debian package webp)");
      break;
    }
  }
  posix_spawn_file_actions_destroy(&quiet);
  std::error_code error;
  state.counters["bytes"] = static_cast<double>(std::filesystem::file_size(demo.Dir + "/theirs.webp", error));
}

void AllAnimationsSheet(benchmark::State& state) {
  TPictureDemo& demo = Demo();
  const TPictureOptions crop{.Framing = fmCrop};
  double drawing = 0, drawingAndPacking = 0, encoding = 0;
  size_t frames = 0;
  TChara twin(demo.Database);
  DressLike(twin, *demo.Chara);
  for (auto _ : state) {
    // Drawing alone: what the sheet draws (each frame measured, then drawn), packed nowhere.
    auto start = TClockTime::now();
    TFramer framer(demo.View, false, crop);
    TBitmap32 picture;
    for (const bool measuring : {true, false}) {
      for (int32_t kind = 0; kind < kAnimationTypeCount; ++kind) {
        twin.SetAnimationType(static_cast<TAnimationType>(kind));
        for (int32_t frame = 0; frame < twin.FrameCount(); ++frame) {
          if (measuring)
            framer.Measure(twin, frame);
          else
            framer.Draw(twin, frame, picture);
        }
      }
    }
    drawing += SecondsSince(start);

    start = TClockTime::now();
    const TSpriteSheet sheet = MakeSpriteSheet(demo.View, *demo.Chara, false, crop, true);
    drawingAndPacking += SecondsSince(start);

    start = TClockTime::now();
    benchmark::DoNotOptimize(EncodePng(sheet.Picture, ppfRGB));
    benchmark::DoNotOptimize(SpriteSheetData(sheet, "sheet.png", "sheet"));
    encoding += SecondsSince(start);
    frames = sheet.Frames.size();
  }
  const double total = drawingAndPacking + encoding;
  state.counters["frames"] = static_cast<double>(frames);
  state.counters["frames_per_s"] = static_cast<double>(frames * state.iterations()) / total;
  state.counters["draw_share"] = std::min(drawing, drawingAndPacking) / total;
  state.counters["pack_share"] = std::max(0.0, drawingAndPacking - drawing) / total;
  state.counters["encode_share"] = encoding / total;
}

BENCHMARK(Webp)->Name("webp_30_frames_x4")->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(Img2webp)->Name("webp_30_frames_x4:img2webp")->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(AllAnimationsSheet)->Name("sheet_all_animations")->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace
}  // namespace varune
