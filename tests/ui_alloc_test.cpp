// Heap allocations of the run loop after its first pass: none in the engine's step,
// none in the frame drawing, and none in a window pass that keeps the time text.
//
// This executable replaces the C allocator's entry points and the global operator
// new/delete with counting versions that forward to the C library. Qt's containers
// (QString, QList, QImage data) allocate through malloc directly, so counting new
// alone would miss them. Only allocations on the thread that opened the count are
// counted: the run loop has one thread.
#include <dlfcn.h>
#include <gtest/gtest.h>
#include <pthread.h>

#include <QApplication>
#include <QComboBox>
#include <QLabel>
#include <QPushButton>
#include <array>
#include <atomic>
#include <cerrno>
#include <cstdlib>
#include <new>
#include <string>

#include "run/simulation_run.h"
#include "ui/form_main.h"
#include "view/background.h"
#include "view/scene_images.h"
#include "view/view_state.h"

#if defined(__SANITIZE_ADDRESS__)
#define STELVO_COUNT_ALLOCATIONS 0  // the sanitizer owns the allocator
#else
#define STELVO_COUNT_ALLOCATIONS 1
#endif

namespace {

std::atomic<bool> g_counting{false};
pthread_t g_countingThread;
std::atomic<long> g_allocations{0};
// The callers of the first allocations counted, for the failure message.
constexpr int kCallersKept = 12;
std::array<void*, kCallersKept> g_callers{};

[[maybe_unused]] inline void NoteAllocation(void* caller) {
  if (!g_counting.load(std::memory_order_relaxed)) return;
  if (!pthread_equal(pthread_self(), g_countingThread)) return;
  const long n = g_allocations.fetch_add(1, std::memory_order_relaxed);
  if (n < kCallersKept) g_callers[static_cast<std::size_t>(n)] = caller;
}

}  // namespace

#if STELVO_COUNT_ALLOCATIONS
extern "C" {
void* __libc_malloc(std::size_t size);
void* __libc_calloc(std::size_t count, std::size_t size);
void* __libc_realloc(void* p, std::size_t size);
void* __libc_memalign(std::size_t alignment, std::size_t size);
void __libc_free(void* p);

void* malloc(std::size_t size) {
  NoteAllocation(__builtin_return_address(0));
  return __libc_malloc(size);
}
void* calloc(std::size_t count, std::size_t size) {
  NoteAllocation(__builtin_return_address(0));
  return __libc_calloc(count, size);
}
void* realloc(void* p, std::size_t size) {
  NoteAllocation(__builtin_return_address(0));
  return __libc_realloc(p, size);
}
void* aligned_alloc(std::size_t alignment, std::size_t size) {
  NoteAllocation(__builtin_return_address(0));
  return __libc_memalign(alignment, size);
}
void* memalign(std::size_t alignment, std::size_t size) {
  NoteAllocation(__builtin_return_address(0));
  return __libc_memalign(alignment, size);
}
int posix_memalign(void** out, std::size_t alignment, std::size_t size) {
  NoteAllocation(__builtin_return_address(0));
  void* p = __libc_memalign(alignment, size);
  if (p == nullptr) return ENOMEM;
  *out = p;
  return 0;
}
void free(void* p) { __libc_free(p); }
}

namespace {
void* CountedNew(std::size_t size, void* caller) {
  NoteAllocation(caller);
  if (void* p = __libc_malloc(size == 0 ? 1 : size)) return p;
  throw std::bad_alloc();
}
void* CountedAlignedNew(std::size_t size, std::align_val_t alignment, void* caller) {
  NoteAllocation(caller);
  if (void* p = __libc_memalign(static_cast<std::size_t>(alignment), size == 0 ? 1 : size)) {
    return p;
  }
  throw std::bad_alloc();
}
}  // namespace

void* operator new(std::size_t size) { return CountedNew(size, __builtin_return_address(0)); }
void* operator new[](std::size_t size) { return CountedNew(size, __builtin_return_address(0)); }
void* operator new(std::size_t size, const std::nothrow_t&) noexcept {
  NoteAllocation(__builtin_return_address(0));
  return __libc_malloc(size == 0 ? 1 : size);
}
void* operator new[](std::size_t size, const std::nothrow_t&) noexcept {
  NoteAllocation(__builtin_return_address(0));
  return __libc_malloc(size == 0 ? 1 : size);
}
void* operator new(std::size_t size, std::align_val_t alignment) {
  return CountedAlignedNew(size, alignment, __builtin_return_address(0));
}
void* operator new[](std::size_t size, std::align_val_t alignment) {
  return CountedAlignedNew(size, alignment, __builtin_return_address(0));
}
void operator delete(void* p) noexcept { __libc_free(p); }
void operator delete[](void* p) noexcept { __libc_free(p); }
void operator delete(void* p, std::size_t) noexcept { __libc_free(p); }
void operator delete[](void* p, std::size_t) noexcept { __libc_free(p); }
void operator delete(void* p, std::align_val_t) noexcept { __libc_free(p); }
void operator delete[](void* p, std::align_val_t) noexcept { __libc_free(p); }
void operator delete(void* p, std::size_t, std::align_val_t) noexcept { __libc_free(p); }
void operator delete[](void* p, std::size_t, std::align_val_t) noexcept { __libc_free(p); }
#endif

namespace stelvo {
namespace {

// Counts the allocations of this thread from construction to Stop.
class AllocationCount {
 public:
  AllocationCount() {
    g_callers.fill(nullptr);
    g_allocations.store(0);
    g_countingThread = pthread_self();
    g_counting.store(true);
  }
  ~AllocationCount() { g_counting.store(false); }
  long Stop() {
    g_counting.store(false);
    return g_allocations.load();
  }
};

// Who allocated, by the exported symbol nearest to each caller.
std::string Callers() {
  std::string text;
  for (void* caller : g_callers) {
    if (caller == nullptr) break;
    Dl_info info{};
    text += "\n  ";
    if (dladdr(caller, &info) != 0 && info.dli_sname != nullptr) {
      text += info.dli_sname;
    } else {
      text += info.dli_fname != nullptr ? info.dli_fname : "?";
    }
  }
  return text;
}

class AllocationTest : public ::testing::Test {
 protected:
  void SetUp() override {
    if (!STELVO_COUNT_ALLOCATIONS) GTEST_SKIP() << "allocations are not counted under ASan";
  }
};

TEST_F(AllocationTest, CountingSeesNewAndMalloc) {
  AllocationCount count;
  int* volatile number = new int(1);
  delete number;
  void* volatile block = std::malloc(16);
  std::free(block);
  const QString text = QString::number(2.5, 'f', 2);  // QArrayData goes to malloc
  EXPECT_GE(count.Stop(), 3);
  EXPECT_EQ(text, QStringLiteral("2.50"));
}

TEST_F(AllocationTest, EngineStepsAllocateNothing) {
  SimulationRun run;
  RunSettings settings;
  settings.BodyCount = kCapacity;
  settings.StepDays = 5;
  run.Begin(settings);
  run.Step();
  run.FinishPass();
  AllocationCount count;
  for (int i = 0; i < 20; ++i) {
    run.Step();
    run.FinishPass();
  }
  EXPECT_EQ(count.Stop(), 0) << Callers();
}

TEST_F(AllocationTest, FrameDrawingAllocatesNothing) {
  SimulationRun run;
  RunSettings settings;
  settings.BodyCount = 4000;
  run.Begin(settings);
  ViewState view;
  SetPanelGeometry(view, 1095, 562);
  UpdateView(view, kStartZoom, kStartIncl);
  SceneImages scene;
  scene.Resize(view);
  DrawBackground(scene.Background(), view, MakePlanetOrbits(), StartPlanetTicks());
  PlanetTicks all{};
  all.fill(true);
  auto draw = [&] {
    const RunState& s = run.State();
    const int slot = s.CurrentSlot;
    scene.DrawNextFrame(view, {s.Pos(kX, slot), s.Pos(kY, slot), s.Pos(kZ, slot), s.BodyCount},
                        all);
  };
  draw();  // the disc sprites are prepared once, by the first frame
  AllocationCount count;
  for (int i = 0; i < 20; ++i) draw();
  EXPECT_EQ(count.Stop(), 0) << Callers();
}

class WindowPassAllocationTest : public AllocationTest {
 protected:
  void SetUp() override {
    AllocationTest::SetUp();
    form.SetErrorDisplay([this](const QString& message) { errors.push_back(message); });
    form.SetTerminator([] {});
    form.SetAutomaticPasses(false);
    form.show();
    QApplication::processEvents();
  }
  void Start(const QString& step) {
    form.ComboBox_Part->setCurrentIndex(form.ComboBox_Part->findText(QStringLiteral("4000")));
    form.ComboBox_Step->setCurrentIndex(form.ComboBox_Step->findText(step));
    form.Button_Start->click();
  }
  TForm_Main form;
  std::vector<QString> errors;
};

// The time label changes its text every 14 or 15 passes at a step width of 0.25 days.
// A pass with a new text repaints the label at once; that is Qt's text layout and
// painting (shaping buffers, glyphs, painter state, clip regions), some hundred small
// allocations. The pass after it posts the update request for its frame, which Qt
// allocates as an event; until the event loop handles it, later frames join it.
// Every other pass must allocate nothing.
TEST_F(WindowPassAllocationTest, PassesThatKeepTheTimeTextAllocateNothing) {
  Start(QStringLiteral("0.25"));
  ASSERT_TRUE(form.RunPass());
  ASSERT_TRUE(form.RunPass());
  int quietPasses = 0, textChanges = 0;
  bool changedBefore = true;
  for (int i = 0; i < 40; ++i) {
    const QString before = form.Label1->text();
    AllocationCount count;
    ASSERT_TRUE(form.RunPass());
    const long allocations = count.Stop();
    const bool changed = form.Label1->text() != before;
    if (!changed && !changedBefore) {
      ++quietPasses;
      EXPECT_EQ(allocations, 0) << "pass " << i << Callers();
    }
    textChanges += changed;
    changedBefore = changed;
  }
  EXPECT_TRUE(errors.empty());
  EXPECT_GE(textChanges, 2);
  EXPECT_GE(quietPasses, 30);
}

}  // namespace
}  // namespace stelvo
