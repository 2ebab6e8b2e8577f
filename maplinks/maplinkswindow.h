#pragma once
// The map links window: lists the current map's links by status text, highlights the selected
// link's area on the map and scrolls to it, and removes links. Stays on top without blocking the
// main window; created at start-up and only shown and hidden afterwards.
#include <QWidget>

#include "maplinks/maplinkstore.h"

class QCloseEvent;
class QShowEvent;

namespace orv {
class MapViewHost;
}
namespace Ui {
class TForm5;
}

class TForm5 : public QWidget {
  Q_OBJECT

 public:
  // Removing a link goes through the store, which announces the change.
  TForm5(orv::MapLinkState& links, orv::MapViewHost& host, QWidget* parent = nullptr);
  ~TForm5() override;

  // Refills the list with the status texts of the current map's links: line i is link i.
  void FillMapLinksList();

  void FormShow();       // forgets the highlight of an earlier showing
  void ListBox1Click();  // highlights the selected link's area and scrolls to its middle
  void Button1Click();   // "Remove Map Link": removes the selected link
  void FormClose();      // removes the highlight

 protected:
  void showEvent(QShowEvent* event) override;
  void closeEvent(QCloseEvent* event) override;

 private:
  // The selected line, or -1.
  int SelectedLine() const;

  Ui::TForm5* ui;
  orv::MapLinkState& links_;
  orv::MapViewHost& host_;
};
