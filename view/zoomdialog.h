#pragma once
// TForm4, "Map Zoom Setting": a small modal dialog holding the zoom percentage. It opens with its box
// focused and the value selected; "OK" (the default button, so Enter) accepts a zoom from
// MinZoomPercent to MaxZoomPercent, and any other text is answered with a message naming that range
// while the dialog stays open. "Cancel", Esc and the close box leave the zoom as it was.
#include <QDialog>
#include <QString>
#include <cstdint>
#include <optional>

namespace Ui {
class TForm4;
}
namespace orv {
class Dialogs;

// The zoom in percent that text names: a whole number from MinZoomPercent to MaxZoomPercent, with
// blanks around it allowed. Nothing for any other text.
std::optional<int32_t> ZoomPercentFromText(const QString& text);
// What the user is told when text names no such zoom.
QString ZoomRangeMessage(const QString& text);
}  // namespace orv

class TForm4 : public QDialog {
  Q_OBJECT

 public:
  // dialogs shows the range message; it must outlive the dialog.
  explicit TForm4(orv::Dialogs& dialogs, QWidget* parent = nullptr);
  ~TForm4() override;

  // The zoom percentage as typed in Edit1.
  QString ZoomText() const;
  void SetZoomText(const QString& text);

  // "OK": closes the dialog only for a zoom in range.
  void accept() override;

 protected:
  void showEvent(QShowEvent* event) override;

 private:
  void SelectZoomText();

  Ui::TForm4* ui = nullptr;
  orv::Dialogs& dialogs_;
};
