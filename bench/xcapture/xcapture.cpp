// bench_xcapture: captures the banner's strip from the X server many times at irregular moments
// and counts the frames that are not whole.
//
//   bench_xcapture N X Y W H OUTDIR [SEED]
//
// Each capture is one XGetImage of the root window (the X server answers it between two of its
// requests, so it sees exactly what is on the screen at that moment), taken after a random pause
// of 1 to 37 ms. A frame is whole when
//   - every pixel of the dot pattern has the dot colour 91,0,0, and
//   - every other pixel is the strip colour 128,0,0, the text colour 255,0,0, or a blend of the
//     two that anti-aliasing makes at glyph edges: green and blue 0, red from 128 to 255.
// The dot pattern is fixed (the overlay never moves), so it is taken from the captures
// themselves: the pixels that have the dot colour in more than half of them. A frame missing
// dots anywhere, showing dots elsewhere, or showing any other colour (a half-drawn or uncovered
// area, the desktop, another window) is broken.
//
// Prints frames=, broken=, the size of the dot pattern, the rows that hold dots, and the colours
// seen; writes OUTDIR/frame-first.ppm and up to five broken frames as OUTDIR/broken-K.ppm.
#include <X11/Xlib.h>
#include <X11/Xutil.h>

#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <map>
#include <random>
#include <string>
#include <thread>
#include <vector>

namespace {

struct Rgb {
  int r = 0;
  int g = 0;
  int b = 0;
};

using Frame = std::vector<std::uint32_t>;  // 0xRRGGBB

Rgb Split(std::uint32_t pixel) {
  return {static_cast<int>((pixel >> 16) & 0xFF), static_cast<int>((pixel >> 8) & 0xFF),
          static_cast<int>(pixel & 0xFF)};
}

constexpr std::uint32_t kDot = 0x5B0000;

bool IsStripOrText(std::uint32_t pixel) {
  const Rgb c = Split(pixel);
  return c.g == 0 && c.b == 0 && c.r >= 128;
}

void WritePpm(const std::string& path, const Frame& frame, int width, int height) {
  std::FILE* file = std::fopen(path.c_str(), "wb");
  if (file == nullptr) {
    return;
  }
  std::fprintf(file, "P6\n%d %d\n255\n", width, height);
  for (const std::uint32_t pixel : frame) {
    const Rgb c = Split(pixel);
    std::fputc(c.r, file);
    std::fputc(c.g, file);
    std::fputc(c.b, file);
  }
  std::fclose(file);
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 7) {
    std::fprintf(stderr, "usage: bench_xcapture N X Y W H OUTDIR [SEED]\n");
    return 2;
  }
  const int count = std::atoi(argv[1]);
  const int x = std::atoi(argv[2]);
  const int y = std::atoi(argv[3]);
  const int width = std::atoi(argv[4]);
  const int height = std::atoi(argv[5]);
  const std::string outdir = argv[6];
  const unsigned seed = argc > 7 ? static_cast<unsigned>(std::atoi(argv[7])) : 1U;
  Display* display = XOpenDisplay(nullptr);
  if (display == nullptr) {
    std::fprintf(stderr, "cannot open the display\n");
    return 1;
  }
  const Window root = DefaultRootWindow(display);
  std::mt19937 random(seed);
  std::uniform_int_distribution<int> pause(1000, 37000);  // microseconds

  std::vector<Frame> frames;
  frames.reserve(static_cast<std::size_t>(count));
  for (int i = 0; i < count; ++i) {
    std::this_thread::sleep_for(std::chrono::microseconds(pause(random)));
    XImage* image = XGetImage(display, root, x, y, static_cast<unsigned>(width),
                              static_cast<unsigned>(height), AllPlanes, ZPixmap);
    if (image == nullptr) {
      std::fprintf(stderr, "XGetImage failed\n");
      return 1;
    }
    Frame frame(static_cast<std::size_t>(width) * static_cast<std::size_t>(height));
    for (int row = 0; row < height; ++row) {
      for (int column = 0; column < width; ++column) {
        frame[static_cast<std::size_t>(row * width + column)] =
            static_cast<std::uint32_t>(XGetPixel(image, column, row) & 0xFFFFFF);
      }
    }
    XDestroyImage(image);
    frames.push_back(std::move(frame));
  }
  XCloseDisplay(display);

  const std::size_t pixels = static_cast<std::size_t>(width) * static_cast<std::size_t>(height);
  std::vector<int> dotVotes(pixels, 0);
  for (const Frame& frame : frames) {
    for (std::size_t i = 0; i < pixels; ++i) {
      dotVotes[i] += frame[i] == kDot ? 1 : 0;
    }
  }
  std::vector<bool> pattern(pixels);
  std::size_t patternSize = 0;
  std::string dotRows;
  for (int row = 0; row < height; ++row) {
    bool any = false;
    for (int column = 0; column < width; ++column) {
      const std::size_t i = static_cast<std::size_t>(row * width + column);
      pattern[i] = 2 * dotVotes[i] > count;
      patternSize += pattern[i] ? 1 : 0;
      any = any || pattern[i];
    }
    if (any) {
      dotRows += (dotRows.empty() ? "" : ",") + std::to_string(row);
    }
  }

  int broken = 0;
  int missingDots = 0;
  int strayDots = 0;
  int foreign = 0;
  std::map<std::uint32_t, long long> colours;
  for (std::size_t f = 0; f < frames.size(); ++f) {
    const Frame& frame = frames[f];
    bool missing = false;
    bool stray = false;
    bool other = false;
    for (std::size_t i = 0; i < pixels; ++i) {
      ++colours[frame[i]];
      if (pattern[i]) {
        missing = missing || frame[i] != kDot;
      } else if (frame[i] == kDot) {
        stray = true;
      } else if (!IsStripOrText(frame[i])) {
        other = true;
      }
    }
    missingDots += missing ? 1 : 0;
    strayDots += stray ? 1 : 0;
    foreign += other ? 1 : 0;
    if (missing || stray || other) {
      if (broken < 5) {
        WritePpm(outdir + "/broken-" + std::to_string(broken) + ".ppm", frame, width, height);
      }
      ++broken;
    }
  }
  if (!frames.empty()) {
    WritePpm(outdir + "/frame-first.ppm", frames.front(), width, height);
  }
  std::printf("frames=%d broken=%d missing_dots=%d stray_dots=%d other_colour=%d\n", count, broken,
              missingDots, strayDots, foreign);
  std::printf("dot_pixels=%zu dot_rows=%s\n", patternSize, dotRows.c_str());
  std::printf("colours=%zu", colours.size());
  int shown = 0;
  for (const auto& [pixel, seen] : colours) {
    if (shown++ < 40) {
      std::printf(" %06X:%lld", pixel, seen);
    }
  }
  std::printf("\n");
  return 0;
}
