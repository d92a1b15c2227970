// A 40-character line drawn through the warm glyph cache against the same line
// drawn straight from the outline font; a counting allocator shows that cache
// hits allocate nothing. Making a font (every byte code rendered, the file
// closed again) against keeping the face's bytes in memory instead.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstdlib>
#include <new>

#include "bench/ratio_reporter.h"
#include "device/memory_frame_buffer.h"
#include "gfx/cached_free_type_font.h"

namespace {
unsigned long long gAllocations = 0;

// Out of line, so the compiler does not pair a free with the operator new it
// cannot see through.
[[gnu::noinline]] void* Take(std::size_t size) {
  ++gAllocations;
  return std::malloc(size == 0 ? 1 : size);
}
[[gnu::noinline]] void Give(void* p) { std::free(p); }
}  // namespace

// Every allocation of the program is counted.
void* operator new(std::size_t size) {
  if (void* p = Take(size)) return p;
  std::abort();
}
void* operator new[](std::size_t size) { return operator new(size); }
void* operator new(std::size_t size, const std::nothrow_t&) noexcept { return Take(size); }
void* operator new[](std::size_t size, const std::nothrow_t&) noexcept { return Take(size); }
void operator delete(void* p) noexcept { Give(p); }
void operator delete[](void* p) noexcept { Give(p); }
void operator delete(void* p, std::size_t) noexcept { Give(p); }
void operator delete[](void* p, std::size_t) noexcept { Give(p); }

namespace {

constexpr const char* kFace = "/usr/share/fonts/truetype/dejavu/DejaVuSans.ttf";
constexpr int32_t kSize = 16;
constexpr const char* kLine = "Kestrel 0.9: /mnt/sdcard/maps/route.txt!";  // 40 characters
static_assert(sizeof("Kestrel 0.9: /mnt/sdcard/maps/route.txt!") == 41, "a 40-character line");

// Counts the cache hits it serves.
class CCountingFont : public CCachedFreeTypeFont {
 public:
  using CCachedFreeTypeFont::CCachedFreeTypeFont;
  void OnGlyphHit(uint32_t code, uint32_t index) override {
    ++hits;
    CCachedFreeTypeFont::OnGlyphHit(code, index);
  }
  unsigned long long hits = 0;
};

double gAllocationsPerHit = -1;

void BM_CachedDrawText(benchmark::State& state) {
  CMemoryFrameBuffer fb(640, 40);
  CCountingFont font(kFace, kSize);
  for (int i = 0; i < 10; ++i) font.DrawText(fb, kLine, 0, 4, 0xFFFF);  // warm: every glyph loaded
  const unsigned long long allocations = gAllocations, hits = font.hits;
  for (auto _ : state) {
    benchmark::DoNotOptimize(font.DrawText(fb, kLine, 0, 4, 0xFFFF));
    benchmark::ClobberMemory();
  }
  const unsigned long long served = font.hits - hits;
  if (served > 0) gAllocationsPerHit = static_cast<double>(gAllocations - allocations) / static_cast<double>(served);
  state.counters["hits"] = static_cast<double>(served);
}

void BM_OutlineDrawText(benchmark::State& state) {
  CMemoryFrameBuffer fb(640, 40);
  CFreeTypeFont font(kFace, kSize, true);
  for (auto _ : state) {
    benchmark::DoNotOptimize(font.DrawText(fb, kLine, 0, 4, 0xFFFF));
    benchmark::ClobberMemory();
  }
}

// A font as the skin makes one: codes 32-255 rendered, the file closed.
void BM_MakeRenderedFont(benchmark::State& state) {
  for (auto _ : state) {
    CCachedFreeTypeFont font(kFace, kSize);
    benchmark::DoNotOptimize(font.IsLoaded());
  }
}

// The other way to outlive the file: its bytes read into memory and the face
// opened on them (sized, and "M" measured for the default advance); glyphs
// would come later.
void BM_MakeMemoryFace(benchmark::State& state) {
  FILE* f = std::fopen(kFace, "rb");
  if (f == nullptr) {
    state.SkipWithError("no face file");
    return;
  }
  std::fseek(f, 0, SEEK_END);
  const long size = std::ftell(f);
  std::fclose(f);
  FT_Library library = *GetFreeTypeManager()->AcquireLibrary();
  for (auto _ : state) {
    unsigned char* bytes = static_cast<unsigned char*>(std::malloc(static_cast<size_t>(size)));
    FILE* in = std::fopen(kFace, "rb");
    const size_t got = in != nullptr ? std::fread(bytes, 1, static_cast<size_t>(size), in) : 0;
    if (in != nullptr) std::fclose(in);
    FT_Face face = nullptr;
    if (got == static_cast<size_t>(size) && FT_New_Memory_Face(library, bytes, size, 0, &face) == 0) {
      FT_Set_Char_Size(face, 0, kSize * 64, 0, 0);
      benchmark::DoNotOptimize(FT_Load_Char(face, 'M', CFreeTypeFont::kLoadFlags));
      FT_Done_Face(face);
    }
    std::free(bytes);
  }
  GetFreeTypeManager()->ReleaseLibrary();
}

constexpr int kRepeats = 5;
BENCHMARK(BM_MakeRenderedFont)->Repetitions(kRepeats)->ReportAggregatesOnly(true);
BENCHMARK(BM_MakeMemoryFace)->Repetitions(kRepeats)->ReportAggregatesOnly(true);
BENCHMARK(BM_CachedDrawText)->Repetitions(kRepeats)->ReportAggregatesOnly(true);
BENCHMARK(BM_OutlineDrawText)->Repetitions(kRepeats)->ReportAggregatesOnly(true);

}  // namespace

int main(int argc, char** argv) {
  benchmark::Initialize(&argc, argv);
  CRatioReporter reporter;
  benchmark::RunSpecifiedBenchmarks(&reporter);
  // How many times faster the cache draws the line than the outline font.
  reporter.PrintRatio("text_outline_over_cached", "BM_OutlineDrawText", "BM_CachedDrawText", kRepeats);
  // How much longer making a font takes than keeping its file's bytes.
  reporter.PrintRatio("font_make_rendered_over_memory_face", "BM_MakeRenderedFont", "BM_MakeMemoryFace", kRepeats);
  if (gAllocationsPerHit >= 0) std::printf("ratio text_cache_hit_allocations %.3f\n", gAllocationsPerHit);
  benchmark::Shutdown();
  return 0;
}
