#pragma once
// TForm4, "Map Zoom Setting": a small modal dialog holding the zoom percentage. "OK" (the default
// button, focused when the dialog opens) accepts it; the close box rejects it.
#include <QDialog>
#include <memory>

namespace Ui {
class TForm4;
}

class TForm4 : public QDialog {
  Q_OBJECT

 public:
  explicit TForm4(QWidget* parent = nullptr);
  ~TForm4() override;

  // The zoom percentage as typed in Edit1.
  QString ZoomText() const;
  void SetZoomText(const QString& text);

  Ui::TForm4* ui = nullptr;

 protected:
  void showEvent(QShowEvent* event) override;
};
