#pragma once
// What the frame benchmarks share: the baseline of copying one full-HD view out of a picture, and
// dialogs that answer nothing, for windows made only to be drawn.
#include <benchmark/benchmark.h>

#include <QImage>
#include <QPainter>
#include <optional>

#include "view/dialogs.h"

namespace orv::bench {

// Times copying 1920 x 1080 pixels out of the picture into a view, as the plainest frame does.
inline void TimeFrameCopy(benchmark::State& state, const QImage& picture) {
  QImage view(1920, 1080, QImage::Format_RGB32);
  for (auto _ : state) {
    QPainter painter(&view);
    painter.setCompositionMode(QPainter::CompositionMode_Source);
    painter.drawImage(QPoint(0, 0), picture, QRect(700, 500, 1920, 1080));
    painter.end();
    benchmark::DoNotOptimize(view.constBits());
  }
}

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

}  // namespace orv::bench
