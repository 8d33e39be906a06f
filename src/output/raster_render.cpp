// EmfToMemoryDIB through the cairo renderer (the Windows program plays
// the metafile through GDI instead).
#include <cairo.h>

#include <algorithm>
#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <new>
#include <system_error>
#include <thread>
#include <unordered_map>
#include <vector>

#include "common/gdi/emf_reader.h"
#include "common/notify.h"
#include "output/emf_renderer.h"
#include "output/metafile_load_stream.h"
#include "output/raster_export.h"

namespace tsl {

namespace {
// Maps rendered colours to palette indices: exact entries first, else the
// nearest entry.
class Quantizer {
 public:
  explicit Quantizer(const uint8_t (&palette)[256][4]) : palette_(palette) {}
  uint8_t Index(uint32_t rgb) {
    auto it = cache_.find(rgb);
    if (it != cache_.end()) return it->second;
    int r = (rgb >> 16) & 0xFF, g = (rgb >> 8) & 0xFF, b = rgb & 0xFF;
    int best = 0;
    long bestDist = -1;
    for (int i = 0; i < 256; ++i) {
      long dr = r - palette_[i][2], dg = g - palette_[i][1], db = b - palette_[i][0];
      long d = dr * dr + dg * dg + db * db;
      if (bestDist < 0 || d < bestDist) {
        bestDist = d;
        best = i;
        if (d == 0) break;
      }
    }
    if (cache_.size() < 65536) cache_[rgb] = static_cast<uint8_t>(best);
    return static_cast<uint8_t>(best);
  }

 private:
  const uint8_t (&palette_)[256][4];
  std::unordered_map<uint32_t, uint8_t> cache_;
};

// One thread's share of a picture: its own stream of the metafile, its own
// full-size surface, and the stripes of rows it owns.
struct Share {
  MetafileStream stream;
  std::unique_ptr<cairo_surface_t, void (*)(cairo_surface_t*)> surface{nullptr, cairo_surface_destroy};
  uint32_t mask = 0;  // stripes owned, by their place in the cycle
  PlayResult result = PlayResult::kDone;
  bool outOfMemory = false;
  std::string why;
};

// Joins its thread when it goes, whatever way the caller leaves.
class JoinedThread {
 public:
  JoinedThread() = default;
  explicit JoinedThread(std::thread t) : t_(std::move(t)) {}
  JoinedThread(JoinedThread&&) = default;
  JoinedThread& operator=(JoinedThread&&) = delete;
  ~JoinedThread() {
    if (t_.joinable()) t_.join();
  }

 private:
  std::thread t_;
};

// Stripes small enough for an even share whatever the picture, large
// enough that most short lines fall in one.
constexpr int kStripeRows = 64;
// Above this many pixels a picture is drawn by one thread: each more
// thread costs a surface of four bytes a pixel.
constexpr int64_t kMaxSharedPixels = 4'000'000;
// Below this, a metafile draws in less time than a thread takes to start.
constexpr uint32_t kMinSharedBytes = 256 * 1024;
// Below this many pixels lines are mostly a pixel wide and cheap to draw:
// reading the records, which every thread does, is most of the time.
constexpr int64_t kMinSharedPixels = 1'500'000;
constexpr int kMaxThreads = 2;

bool OpenStream(const ExportRequest& req, MetafileStream* stream, std::string* why) {
  return !req.metafilePath.empty() ? stream->Open(req.metafilePath, why)
         : req.metafile            ? stream->OpenBytes(req.metafile, req.metafileSize, why)
                                   : (*why = "no data", false);
}

// Drawing threads at work in this process: pictures drawn side by side
// (several files at once) share the cores rather than each taking more.
std::atomic<int> gDrawingThreads{0};

// Holds a count of drawing threads for as long as a picture is drawn.
class ThreadBudget {
 public:
  ThreadBudget() = default;
  ThreadBudget(const ThreadBudget&) = delete;
  ThreadBudget& operator=(const ThreadBudget&) = delete;
  ~ThreadBudget() { gDrawingThreads -= held_; }
  // Takes `n` threads when the cores have room for them, else one.
  int Take(int n, int cores) {
    if (n > 1 && gDrawingThreads.fetch_add(n) + n <= cores) {
      held_ = n;
      return n;
    }
    if (n > 1) gDrawingThreads -= n;
    gDrawingThreads += 1;
    held_ = 1;
    return 1;
  }

 private:
  int held_ = 0;
};

// Whether other work keeps every other core busy now (Linux: the tasks that
// can run, ours included, from /proc/loadavg). A second thread on a busy
// core only adds its share of the work to the time.
bool CoresBusy(int cores) {
  std::FILE* f = std::fopen("/proc/loadavg", "r");
  if (!f) return false;
  double l1 = 0, l5 = 0, l15 = 0;
  int running = 0, total = 0;
  const bool read = std::fscanf(f, "%lf %lf %lf %d/%d", &l1, &l5, &l15, &running, &total) == 5;
  std::fclose(f);
  return read && running - 1 >= cores - 1;
}

int ThreadsFor(const ExportRequest& req, const gdi::EmfHeader& header, ThreadBudget* budget) {
  if (req.threads > 0) return std::min(req.threads, 32);
  // For measuring: the same picture by another number of threads.
  if (const char* forced = std::getenv("TESSELLA_RENDER_THREADS")) {
    const long n = std::strtol(forced, nullptr, 10);
    if (n >= 1 && n <= 32) return static_cast<int>(n);
  }
  const int64_t pixels = int64_t{req.width} * req.height;
  if (pixels > kMaxSharedPixels || pixels < kMinSharedPixels || header.nBytes < kMinSharedBytes) return 1;
  const int cores = static_cast<int>(std::min(std::thread::hardware_concurrency(), 64u));
  if (cores < 2 || CoresBusy(cores)) return budget->Take(1, cores);
  return budget->Take(std::min(kMaxThreads, cores), cores);
}

// Plays the share's metafile onto its surface, keeping to its stripes.
void DrawShare(const ExportRequest& req, int stripeRows, int cycle, const std::atomic<bool>* abandon, Share* share) {
  std::unique_ptr<cairo_t, void (*)(cairo_t*)> cr(cairo_create(share->surface.get()), cairo_destroy);
  cairo_set_source_rgb(cr.get(), 1, 1, 1);
  cairo_paint(cr.get());
  RenderOptions ro;
  ro.antialias = false;
  ro.cancel = req.cancel;
  ro.abandon = abandon;
  ro.timeLimit = req.timeLimit;
  if (cycle > 1) {
    ro.stripeRows = stripeRows;
    ro.stripeCycle = cycle;
    ro.stripeMask = share->mask;
  }
  share->result = PlayEnhMetaFile(cr.get(), share->stream.Reader(),
                                  DestRect{0, 0, static_cast<double>(req.width), static_cast<double>(req.height)}, ro,
                                  &share->why);
}

// The same on any thread: nothing is thrown out of it, and a share that
// fails stops the others.
void RunShare(const ExportRequest& req, int stripeRows, int cycle, std::atomic<bool>* abandon, Share* share) {
  try {
    DrawShare(req, stripeRows, cycle, abandon, share);
  } catch (const std::bad_alloc&) {
    share->outOfMemory = true;
  }
  if (share->outOfMemory || share->result == PlayResult::kDamaged || share->result == PlayResult::kTimedOut)
    *abandon = true;
}

}  // namespace

bool EmfToMemoryDIB(const ExportRequest& req, const SettingsSet& options, MemoryDib* dib, std::string* error) {
  if (!ExportSizeFits(req, error)) return false;
  std::vector<std::unique_ptr<Share>> shares;
  shares.push_back(std::make_unique<Share>());
  std::string why;
  if (!OpenStream(req, &shares[0]->stream, &why)) {
    *error = "The metafile cannot be read: " + why;
    return false;
  }
  // Every share but the first is a luxury: one whose stream or surface
  // cannot be had is not made, and the picture is drawn on fewer.
  ThreadBudget budget;
  const int wanted = ThreadsFor(req, shares[0]->stream.Header(), &budget);
  for (int k = 0; k < wanted; ++k) {
    if (k > 0) {
      auto share = std::make_unique<Share>();
      if (!OpenStream(req, &share->stream, &why)) break;
      shares.push_back(std::move(share));
    }
    Share& share = *shares[k];
    share.surface.reset(cairo_image_surface_create(CAIRO_FORMAT_RGB24, req.width, req.height));
    if (cairo_surface_status(share.surface.get()) != CAIRO_STATUS_SUCCESS) {
      if (k == 0) {
        *error = "Not enough memory for the picture.";
        return false;
      }
      shares.pop_back();
      break;
    }
  }
  const int cycle = static_cast<int>(shares.size());
  const int stripeRows = req.stripeRows > 0 ? req.stripeRows : kStripeRows;
  // Which share owns each place of the cycle: its own, or the first's when
  // its thread could not start.
  std::vector<int> owner(static_cast<size_t>(cycle), 0);
  std::atomic<bool> abandon{false};
  {
    std::vector<JoinedThread> threads;
    threads.reserve(static_cast<size_t>(cycle));
    shares[0]->mask = 1;
    for (int k = 1; k < cycle; ++k) {
      Share* share = shares[static_cast<size_t>(k)].get();
      share->mask = 1u << k;
      try {
        threads.emplace_back(
            std::thread([&req, stripeRows, cycle, &abandon, share] { RunShare(req, stripeRows, cycle, &abandon, share); }));
        owner[static_cast<size_t>(k)] = k;
      } catch (const std::system_error&) {
        shares[0]->mask |= 1u << k;
      }
    }
    RunShare(req, stripeRows, cycle, &abandon, shares[0].get());
  }
  for (const auto& share : shares)
    if (share->outOfMemory) {
      *error = "Not enough memory for the picture.";
      return false;
    }
  // Damage before a time-out, either before a stop that followed from it.
  for (PlayResult bad : {PlayResult::kDamaged, PlayResult::kTimedOut}) {
    for (size_t k = 0; k < shares.size(); ++k) {
      if (shares[k]->result != bad) continue;
      if (bad == PlayResult::kDamaged) {
        *error = "The metafile cannot be read: " + shares[k]->why;
      } else {
        *error = Format("Drawing the picture took longer than %.0f seconds; it was given up.", req.timeLimit);
      }
      return false;
    }
  }
  for (const auto& share : shares) cairo_surface_flush(share->surface.get());

  dib->width = req.width;
  dib->height = req.height;
  dib->stride = (static_cast<uint32_t>(req.width) + 3u) & ~3u;
  dib->pelsPerMeter = options.Has(HighResolution) ? 40000 : 4000;
  MakeExportPalette(options, dib->palette);
  dib->bits.assign(static_cast<size_t>(dib->stride) * static_cast<size_t>(req.height), 0);
  Quantizer q(dib->palette);
  for (int32_t y = 0; y < req.height; ++y) {
    // Each row from the share that owns its stripe.
    cairo_surface_t* surface = shares[static_cast<size_t>(owner[static_cast<size_t>(y / stripeRows % cycle)])]->surface.get();
    const unsigned char* data = cairo_image_surface_get_data(surface);
    const int srcStride = cairo_image_surface_get_stride(surface);
    const uint32_t* src = reinterpret_cast<const uint32_t*>(data + static_cast<size_t>(y) * srcStride);
    uint8_t* dst = &dib->bits[static_cast<size_t>(req.height - 1 - y) * dib->stride];
    uint32_t last = 0xFFFFFFFF;
    uint8_t lastIndex = 0;
    for (int32_t x = 0; x < req.width; ++x) {
      uint32_t rgb = src[x] & 0xFFFFFF;
      if (rgb != last) {
        last = rgb;
        lastIndex = q.Index(rgb);
      }
      dst[x] = lastIndex;
    }
  }
  return true;
}

}  // namespace tsl
