// Composing a 1920 x 1080 view of a large picture at the zooms 100, 50, 200 and 37, beside
// QPainter::drawImage of the same rectangles (no smoothing) and beside a plain read of the picture
// rows that the frame needs, and beside writing the frame once. Prints the ratios (of CPU times, as
// the machines are shared) at the end.
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QPainter>
#include <cstdio>
#include <map>
#include <string>

#include "view/dialogs.h"
#include "view/mainwindow.h"
#include "view/paintbox.h"
#include "view/mainwindow_ui.h"
#include "view/render.h"

namespace {

constexpr int kViewW = 1920, kViewH = 1080;
constexpr int kPictureW = 8192, kPictureH = 6554;
constexpr int kZooms[] = {100, 50, 200, 37};

class NoDialogs : public orv::Dialogs {
 public:
  void ShowMessage(QWidget*, const QString&) override {}
  std::optional<QString> OpenFile(QWidget*, const orv::OpenFileRequest&) override { return std::nullopt; }
  std::optional<QString> SaveFile(QWidget*, const orv::OpenFileRequest&) override { return std::nullopt; }
  std::optional<int> Choose(QWidget*, const QString&, const QStringList&) override { return std::nullopt; }
  std::optional<orv::BookmarkFontSpec> ChooseFont(QWidget*, const orv::BookmarkFontSpec&) override {
    return std::nullopt;
  }
};

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

TForm1& Window() {
  static NoDialogs dialogs;
  static TForm1* form = [] {
    auto* w = new TForm1(orv::TForm1Config{"/nonexistent/orvantis.ini", &dialogs, 1});
    w->findChild<TPaintBox*>("PaintBox1")->resize(kViewW, kViewH);  // the window stays hidden: composition only
    w->MapImage() = Picture();
    return w;
  }();
  return *form;
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

BENCHMARK(BM_FrameFill)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_RenderView)->Arg(100)->Arg(50)->Arg(200)->Arg(37)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_DrawImage)->Arg(100)->Arg(50)->Arg(200)->Arg(37)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_PlainRead)->Arg(100)->Arg(50)->Arg(200)->Arg(37)->Unit(benchmark::kMillisecond);

// Keeps each run's time per iteration so that the ratios can be printed at the end.
class RatioReporter : public benchmark::ConsoleReporter {
 public:
  void ReportRuns(const std::vector<Run>& runs) override {
    ConsoleReporter::ReportRuns(runs);
    for (const Run& run : runs)
      if (run.run_type == Run::RT_Iteration) times[run.benchmark_name()] = run.GetAdjustedCPUTime();
  }
  std::map<std::string, double> times;
};

}  // namespace

int main(int argc, char** argv) {
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication app(argc, argv);
  benchmark::Initialize(&argc, argv);
  Picture();
  Window();
  RatioReporter reporter;
  benchmark::RunSpecifiedBenchmarks(&reporter);
  std::printf("\nRenderView of a %dx%d view of a %dx%d picture (window hidden: composition only), CPU time\n",
              kViewW, kViewH, kPictureW, kPictureH);
  const auto fill = reporter.times.find("BM_FrameFill");
  if (fill != reporter.times.end()) std::printf("writing the frame once: %.3f ms\n", fill->second);
  std::printf("%6s %12s %12s %12s %13s %14s %15s\n", "zoom", "RenderView", "drawImage", "plain read",
              "vs drawImage", "vs plain read", "vs frame write");
  for (int zoom : kZooms) {
    const std::string arg = "/" + std::to_string(zoom);
    const auto render = reporter.times.find("BM_RenderView" + arg);
    const auto draw = reporter.times.find("BM_DrawImage" + arg);
    const auto read = reporter.times.find("BM_PlainRead" + arg);
    if (render == reporter.times.end() || draw == reporter.times.end() || read == reporter.times.end())
      continue;
    std::printf("%5d%% %9.3f ms %9.3f ms %9.3f ms %12.2fx %13.2fx", zoom, render->second, draw->second,
                read->second, render->second / draw->second, render->second / read->second);
    if (fill != reporter.times.end()) std::printf(" %14.2fx", render->second / fill->second);
    std::printf("\n");
  }
  benchmark::Shutdown();
  return 0;
}
