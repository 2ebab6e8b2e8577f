// Composing a 1920 x 1080 view of a large picture at the zooms 100, 50, 200 and 37, beside
// QPainter::drawImage of the same rectangles (no smoothing) and beside a plain read of the picture
// rows that the frame needs, and beside writing the frame once. A wheel step and a drag step through
// the map area's real events are measured beside plain frames of the same views. Prints the ratios
// (of CPU times, as the machines are shared; the shortest of the repetitions) at the end.
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QMouseEvent>
#include <QPainter>
#include <QTemporaryDir>
#include <QWheelEvent>
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <fstream>
#include <map>
#include <string>
#include <vector>

#include "bench_frames.h"
#include "bench_times.h"
#include "core/jpegwrite.h"
#include "view/dialogs.h"
#include "view/mainwindow.h"
#include "view/mainwindow_ui.h"
#include "view/mapnavigation.h"
#include "view/paintbox.h"
#include "view/render.h"

namespace {

constexpr int kViewW = 1920, kViewH = 1080;
constexpr int kPictureW = 8192, kPictureH = 6554;
constexpr int kZooms[] = {100, 50, 200, 37};

using orv::bench::CpuMs;
using orv::bench::NoDialogs;

const QImage& Picture() {
  static const QImage picture = [] {
    QImage image(kPictureW, kPictureH, QImage::Format_RGB32);
    for (int y = 0; y < kPictureH; ++y) {
      auto* row = reinterpret_cast<QRgb*>(image.scanLine(y));
      for (int x = 0; x < kPictureW; ++x) row[x] = qRgb(x * 7, y * 3, (x ^ y) & 255);
    }
    return image;
  }();
  return picture;
}

// The frame's origin, in zoomed map pixels: the middle of the scaled picture.
struct Frame {
  int x, y, dw, dh;
  orv::SourceRect src;
};
Frame FrameAt(int zoom) {
  const int sw = orv::ScaledLength(kPictureW, zoom), sh = orv::ScaledLength(kPictureH, zoom);
  const int dw = std::min(kViewW, sw), dh = std::min(kViewH, sh);
  const int x = (sw - dw) / 2, y = (sh - dh) / 2;
  return {x, y, dw, dh, orv::ViewSource(x, y, dw, dh, zoom)};
}

// A loaded map (so that the view history records, as in use) whose picture is then replaced by the
// large one. The window stays hidden: composition only, no copy to the screen.
TForm1& Window() {
  static NoDialogs dialogs;
  static QTemporaryDir dir;
  static TForm1* form = [] {
    const std::string dem = dir.filePath("bench.dem").toStdString();
    std::ofstream(dem)
        << "[Map Dimensions]\nUpperLeft_X=0\nUpperLeft_Y=0\nUpperRight_X=8192\nUpperRight_Y=0\n"
           "LowerLeft_X=0\nLowerLeft_Y=6554\nLowerRight_X=8192\nLowerRight_Y=6554\n";
    const QImage small(16, 16, QImage::Format_RGB32);
    orv::WriteJpegFile(dir.filePath("bench.JPG").toStdString(), small.constBits(), 16, 16,
                       small.bytesPerLine(), {});
    auto* w = new TForm1(orv::TForm1Config{dir.filePath("orvantis.ini").toStdString(), &dialogs, 1});
    w->LoadMap(dem);
    w->findChild<TPaintBox*>("PaintBox1")->resize(kViewW, kViewH);
    w->MapImage() = Picture();
    w->Viewport().SetAreaSize(kViewW, kViewH);
    w->Viewport().SetPictureSize(kPictureW, kPictureH);
    w->UpdateScrollRanges();
    return w;
  }();
  return *form;
}

TPaintBox* MapArea() {
  return Window().findChild<TPaintBox*>("PaintBox1");
}

// The views a wheel or drag step alternates between: zoom and view origin (zoomed map pixels).
struct StepView {
  int zoom;
  orv::Point origin;
};
struct Steps {
  StepView a, b;
};

void Wheel(int angle) {
  const QPointF at(700, 400);
  QWheelEvent event(at, at, QPoint(), QPoint(0, angle), Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase,
                    false);
  QApplication::sendEvent(MapArea(), &event);
}
void Mouse(QEvent::Type type, QPointF at) {
  QMouseEvent event(type, at, at, Qt::LeftButton,
                    type == QEvent::MouseButtonRelease ? Qt::NoButton : Qt::LeftButton, Qt::NoModifier);
  QApplication::sendEvent(MapArea(), &event);
}
constexpr QPointF kDragA(900, 500), kDragB(1020, 580);

void StartAt200() {
  TForm1& w = Window();
  w.ApplyZoom("200");
  w.CenterViewOn({kPictureW, kPictureH});
}

StepView Seen() {
  return {Window().ZoomPercent(), Window().Viewport().Origin()};
}

// The wheel alternates between 200 and 300 percent about one pointer position.
Steps WheelViews() {
  StartAt200();
  Wheel(120);
  const StepView up = Seen();
  Wheel(-120);
  return {up, Seen()};
}

// A drag at 200 percent alternates between two pointer positions.
Steps DragViews() {
  StartAt200();
  Mouse(QEvent::MouseButtonPress, kDragA - QPointF(40, 0));
  Mouse(QEvent::MouseMove, kDragA);
  const StepView a = Seen();
  Mouse(QEvent::MouseMove, kDragB);
  const StepView b = Seen();
  Mouse(QEvent::MouseButtonRelease, kDragB);
  return {a, b};
}

// Plain frames of the two views of a step, alternately.
void RenderSteps(benchmark::State& state, const Steps& steps) {
  TForm1& w = Window();
  bool second = false;
  for (auto _ : state) {
    const StepView& v = second ? steps.b : steps.a;
    w.Viewport().SetZoom(v.zoom);
    w.RenderView(v.origin.x, v.origin.y);
    benchmark::DoNotOptimize(w.ViewBuffer().constBits());
    second = !second;
  }
}

void BM_RenderWheelViews(benchmark::State& state) {
  RenderSteps(state, WheelViews());
}
void BM_RenderDragViews(benchmark::State& state) {
  RenderSteps(state, DragViews());
}

void BM_WheelStep(benchmark::State& state) {
  const Steps steps = WheelViews();
  bool up = true;
  for (auto _ : state) {
    Wheel(up ? 120 : -120);
    up = !up;
  }
  if (steps.a.zoom == steps.b.zoom || (Seen().zoom != steps.a.zoom && Seen().zoom != steps.b.zoom))
    state.SkipWithError("the wheel did not zoom");
}

void BM_DragStep(benchmark::State& state) {
  const Steps steps = DragViews();
  StartAt200();
  Mouse(QEvent::MouseButtonPress, kDragA - QPointF(40, 0));
  bool toB = false;
  for (auto _ : state) {
    Mouse(QEvent::MouseMove, toB ? kDragB : kDragA);
    toB = !toB;
  }
  if (!(Seen().origin == steps.a.origin || Seen().origin == steps.b.origin)) state.SkipWithError("no pan");
  Mouse(QEvent::MouseButtonRelease, kDragA);
}

void BM_RenderView(benchmark::State& state) {
  const int zoom = static_cast<int>(state.range(0));
  TForm1& w = Window();
  w.Viewport().SetZoom(zoom);
  const Frame f = FrameAt(zoom);
  w.Viewport().SetCross({f.x + kViewW / 2, f.y + kViewH / 2});
  for (auto _ : state) {
    w.RenderView(f.x, f.y);
    benchmark::DoNotOptimize(w.ViewBuffer().constBits());
  }
}

void BM_DrawImage(benchmark::State& state) {
  const int zoom = static_cast<int>(state.range(0));
  const Frame f = FrameAt(zoom);
  QImage view(kViewW, kViewH, QImage::Format_RGB32);
  for (auto _ : state) {
    QPainter painter(&view);
    painter.setRenderHint(QPainter::SmoothPixmapTransform, false);
    painter.fillRect(QRect(f.dw, 0, kViewW - f.dw, kViewH), QColor(128, 128, 128));
    painter.fillRect(QRect(0, f.dh, f.dw, kViewH - f.dh), QColor(128, 128, 128));
    painter.drawImage(QRect(0, 0, f.dw, f.dh), Picture(),
                      QRect(f.src.left, f.src.top, f.src.width, f.src.height));
    painter.end();
    benchmark::DoNotOptimize(view.constBits());
  }
}

// Reads every pixel of the picture rows the frame shows, over the frame's source width.
void BM_PlainRead(benchmark::State& state) {
  const int zoom = static_cast<int>(state.range(0));
  const Frame f = FrameAt(zoom);
  const QImage& picture = Picture();
  for (auto _ : state) {
    quint32 sum = 0;
    long previous = -1;
    for (int dy = 0; dy < f.dh; ++dy) {
      const long sy = f.src.top + static_cast<long>(dy) * f.src.height / f.dh;
      if (sy == previous) continue;
      previous = sy;
      const auto* row =
          reinterpret_cast<const quint32*>(picture.constScanLine(static_cast<int>(sy))) + f.src.left;
      for (int x = 0; x < f.src.width; ++x) sum ^= row[x];
    }
    benchmark::DoNotOptimize(sum);
  }
}

// Writes every pixel of the frame once: the least any composition of the frame costs.
void BM_FrameFill(benchmark::State& state) {
  QImage view(kViewW, kViewH, QImage::Format_RGB32);
  for (auto _ : state) {
    view.fill(QColor(128, 128, 128));
    benchmark::DoNotOptimize(view.constBits());
  }
}

// Runs of frames at zoom, each timed right after a run of as many frame writes, so that both share
// the machine's load of that moment; within a run each target stays in the cache as in the separate
// benchmarks. The median of the ratios of these pairs drifts less between runs than the ratio of
// the shortest times, which are taken at different moments.
double PairedRatioToFrameWrite(int zoom, int pairs) {
  constexpr int kRun = 16;
  TForm1& w = Window();
  w.Viewport().SetZoom(zoom);
  const Frame f = FrameAt(zoom);
  w.Viewport().SetCross({f.x + kViewW / 2, f.y + kViewH / 2});
  QImage written(kViewW, kViewH, QImage::Format_RGB32);
  std::vector<double> ratios;
  for (int i = 0; i < pairs; ++i) {
    const double t0 = CpuMs();
    for (int k = 0; k < kRun; ++k) {
      written.fill(QColor(128, 128, 128));
      benchmark::DoNotOptimize(written.constBits());
    }
    const double t1 = CpuMs();
    for (int k = 0; k < kRun; ++k) {
      w.RenderView(f.x, f.y);
      benchmark::DoNotOptimize(w.ViewBuffer().constBits());
    }
    const double t2 = CpuMs();
    if (t1 > t0) ratios.push_back((t2 - t1) / (t1 - t0));
  }
  if (ratios.empty()) return NAN;
  std::nth_element(ratios.begin(), ratios.begin() + ratios.size() / 2, ratios.end());
  return ratios[ratios.size() / 2];
}

BENCHMARK(BM_FrameFill)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_RenderView)->Arg(100)->Arg(50)->Arg(200)->Arg(37)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_DrawImage)->Arg(100)->Arg(50)->Arg(200)->Arg(37)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_PlainRead)->Arg(100)->Arg(50)->Arg(200)->Arg(37)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_RenderWheelViews)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_WheelStep)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_RenderDragViews)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_DragStep)->Unit(benchmark::kMillisecond);

// Keeps each benchmark's shortest time per iteration over its repetitions, the one least disturbed
// by other work, so that the ratios can be printed at the end.
}  // namespace

int main(int argc, char** argv) {
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication app(argc, argv);
  benchmark::Initialize(&argc, argv);
  Picture();
  Window();
  orv::bench::TimesReporter reporter;
  benchmark::RunSpecifiedBenchmarks(&reporter);
  std::printf("\nRenderView of a %dx%d view of a %dx%d picture (window hidden: composition only), CPU time\n",
              kViewW, kViewH, kPictureW, kPictureH);
  const auto fill = reporter.Time("BM_FrameFill");
  if (fill) std::printf("writing the frame once: %.3f ms\n", *fill);
  std::printf("%6s %12s %12s %12s %13s %14s %15s\n", "zoom", "RenderView", "drawImage", "plain read",
              "vs drawImage", "vs plain read", "vs frame write");
  for (int zoom : kZooms) {
    const std::string arg = "/" + std::to_string(zoom);
    const auto render = reporter.Time("BM_RenderView" + arg);
    const auto draw = reporter.Time("BM_DrawImage" + arg);
    const auto read = reporter.Time("BM_PlainRead" + arg);
    if (!render || !draw || !read) continue;
    std::printf("%5d%% %9.3f ms %9.3f ms %9.3f ms %12.2fx %13.2fx", zoom, *render, *draw, *read,
                *render / *draw, *render / *read);
    if (fill) std::printf(" %14.2fx", *render / *fill);
    std::printf("\n");
  }
  if (fill) {
    std::printf(
        "200%%, runs of 16 frames each timed right after 16 frame writes, median of 60 pairs: %.2fx\n",
        PairedRatioToFrameWrite(200, 60));
  }
  std::printf("wheel step (200%% <-> 300%%) vs plain frames of the same views: %.2fx\n",
              reporter.Ratio("BM_WheelStep", "BM_RenderWheelViews"));
  std::printf("drag step at 200%% vs plain frames of the same views: %.2fx\n",
              reporter.Ratio("BM_DragStep", "BM_RenderDragViews"));
  benchmark::Shutdown();
  return 0;
}
