#pragma once
// The main window: the map view with its scroll bars, the status line, the two coordinate panels and
// the map pop-up menu. It owns the shared state of the program (orv::AppState) and the four secondary
// windows.
//
// TForm1 is one class whose member functions live in several files, one per subsystem:
//   view/mainwindow.cpp             construction, start-up and shutdown, map loading, rendering,
//                                   scrolling, zoom, layout, the cross and the glass
//   view/mainwindow_panels.cpp      the coordinate panels and their buttons
//   view/mainwindow_pointer.cpp     pointer and hot keys, the map corner outline
//   bookmarks/mainwindow_bookmarks.cpp  adding and drawing bookmarks, the bookmark font
//   maplinks/mainwindow_maplinks.cpp    drawing, naming, finding and following map links
//
// Coordinate spaces, as everywhere in the program:
//   view position     a pixel of the map area (PaintBox1), origin at its top left
//   zoomed map pixel  a pixel of the picture scaled by ZoomPercent / 100; scroll positions, CrossX,
//                     CrossY and PopupPoint are in this space; view position + scroll position = it
//   picture pixel     a pixel of MapImage (the picture at 100 percent); corners, link areas, outline
//   world point       the game's .where position
#include <QImage>
#include <QMainWindow>
#include <QTimer>
#include <cstdint>
#include <memory>
#include <set>
#include <string>

#include "view/appstate.h"
#include "view/coordinatepanels.h"
#include "view/dialogs.h"
#include "view/propscrl/propscrl.h"

namespace Ui {
class TForm1;
}
class TForm2;
class TForm3;
class TForm4;
class TForm5;
class QAction;
class QKeyEvent;
class QMenu;

namespace orv {

class PictureAhead;
struct TextPosition;

// What the main window needs from outside: where the settings live, how to talk to the user, and the
// seed of the random generator (main() takes it from the clock; tests choose it).
struct TForm1Config {
  std::string settingsFile;
  Dialogs* dialogs = nullptr;  // must outlive the window
  uint32_t randomSeed = 0;
  PictureAhead* pictureAhead = nullptr;  // a picture decoded ahead for the first load; may be null
};

// How a map load ended.
enum class LoadOutcome {
  Loaded,              // the map is current now
  Refused,             // a missing file or an unreadable picture: nothing changed
  CornerNotAnInteger,  // a corner key after UpperLeft_X was not an integer: the load stopped there,
                       // the corners read before it were kept, nothing else changed
};

}  // namespace orv

// Private state of the subsystems whose handlers live in their own files; each file defines its
// struct and creates it when first needed.
struct PanelsExtra;
struct PointerExtra;
struct BookmarksExtra;
struct MapLinksExtra;

class TForm1 : public QMainWindow {
  Q_OBJECT

 public:
  // Builds the window and every control, sets the initial state (no map, zoom 100, default corners,
  // empty lists) and creates the secondary windows in the order TForm2, TForm5, TForm4, TForm3.
  explicit TForm1(const orv::TForm1Config& config, QWidget* parent = nullptr);
  // Runs FormDestroy if it has not run yet.
  ~TForm1() override;

  // ---- view/mainwindow.cpp ------------------------------------------------------------------------

  // The start-up loading: the bookmark font, the global bookmarks, the last map of the previous run,
  // then the sorted lists. Called once, after every window exists and before the window is shown.
  // A mapFile given (the command line's) is loaded instead of the last map.
  void StartupLoading(const std::string& mapFile = {});
  // The saves at the end of the program: the last map, its bookmarks and map links (only when a map
  // is loaded), then the bookmark font. A save that fails is reported and the rest goes on. Runs once.
  void FormDestroy();

  // Makes the map info file at path (file system encoding) the current map, with its picture,
  // bookmarks and map links. Failures are reported to the user.
  // Takes its own copy of the path: callers pass PreviousMapFile, which the load changes.
  orv::LoadOutcome LoadMap(std::string path);
  // Map > Load...: asks for a map info file and loads it.
  void Load1Click();

  // Composes the view with its origin at the zoomed map pixel (X, Y) into ViewBuffer and shows it at
  // once. X = -1 takes the origin from the scroll bars (Y is then ignored).
  void RenderView(int X = -1, int Y = 0);
  // The paint event of the map area.
  void PaintBox1Paint();

  // Sets both scroll bars' Max and PageSize for the picture at the current zoom and the map area.
  void UpdateScrollRanges();
  // Moves the view origin to the zoomed map pixel (X, Y), clamped to the useful range, and renders.
  void ScrollViewTo(int X, int Y);
  // Puts the cross in the middle of the view as far as the scroll ranges allow, and renders.
  void CenterViewOnCross();
  // The scroll bars' scroll events: pos is the bar's new position (zoomed map pixels); the returned
  // position, clamped to the useful range, is the one the bar takes. The view is rendered there.
  int xscrollScroll(orv::ScrollCode code, int pos);
  int yscrollScroll(orv::ScrollCode code, int pos);

  // Lays out the map area, scroll bars, status line and "Go Back" for the current client size.
  void FormResize();

  // Pop-up "Zoom Map In/Out...": shows the zoom dialog and applies its value when confirmed.
  void ZoomInOutMap1Click();
  // The zoom dialog's "OK" with the text of its box: keeps the cross on its world point, sets the
  // zoom (text that is not an integer of at least 1 gives 100) and centres the view on the cross.
  void ApplyZoom(const QString& text);

  // The glass and the cross at (CrossX, CrossY) into ViewBuffer, whose top-left pixel shows the
  // zoomed map pixel (scrollX, scrollY).
  void DrawLocationCross(int scrollX, int scrollY);
  // The glass picture laid into target so that the point (x, y) of target sits in its lens.
  void DrawMagnifierGlass(int x, int y, QImage& target);
  // Lays picture over the rectangle of target at (left, top) through mask (both the size of picture):
  // the picture's pixel where the mask is not white, the target's own pixel where it is white. Only
  // that rectangle of target is read or written; parts outside target are skipped.
  static void BlitMasked(QImage& target, int left, int top, const QImage& picture, const QImage& mask);

  orv::AppState& state() { return state_; }
  const orv::AppState& state() const { return state_; }
  orv::Dialogs& dialogs() { return dialogs_; }
  int MapAreaWidth() const;  // PaintBox1's size, view pixels
  int MapAreaHeight() const;
  int ScrollX() const;  // the scroll bars' positions, zoomed map pixels
  int ScrollY() const;
  // Status panel 0 (links and hints) and 1 (the pointer's world point).
  void SetStatusText(int panel, const QString& text);
  QString StatusText(int panel) const;
  bool Closing() const { return closing_; }
  const QImage& GlassPicture() const { return mag_; }
  const QImage& GlassMask() const { return magmask_; }

  TForm2* form2() { return form2_; }
  TForm3* form3() { return form3_; }
  TForm4* form4() { return form4_; }
  TForm5* form5() { return form5_; }

  // Tells the user that path could not be written; each path once per call of FlushFailedSaves.
  void ReportFailedSave(const std::string& path);
  // Saves the bookmarks (both files, or only the settings half while no map is loaded) and the map
  // links of the current map now, reporting failures. The save timers below run these.
  void SaveBookmarksNow();
  void SaveMapLinksNow();
  // Saves the bookmarks into mapFile (none when empty) and the settings file; reports a failure.
  bool SaveBookmarksTo(const std::string& mapFile);

  // ---- view/mainwindow_panels.cpp -----------------------------------------------------------------

  enum PanelSource { FromMapPixel = 1, FromWhereFields = 2, FromSextantFields = 3, FromWorld = 4 };
  // Fills both coordinate panels from one world point, or empties them when it lies outside the
  // world. FromMapPixel: (a, b) is a zoomed map pixel; FromWorld: (a, b) is a world point.
  void RefreshCoordinatePanels(int a, int b, int source);
  // The texts of the eight fields of the two coordinate panels, as they stand.
  orv::CoordinatePanelTexts PanelTexts() const;
  void Button1Click();  // ".Where" "Update"
  void Button3Click();  // sextant "Update"
  void Button4Click();  // ".Where" "Directions To..."
  void Button5Click();  // sextant "Directions To..."
  void DirectionstoArea1Click();

  // ---- view/mainwindow_start.cpp ------------------------------------------------------------------

  // Types position into its panel and presses that panel's "Update".
  void ShowPosition(const orv::TextPosition& position);

  // ---- view/mainwindow_pointer.cpp ----------------------------------------------------------------

  // A button pressed or the pointer moved over the map area at the view position (X, Y).
  void PaintBox1MouseDown(Qt::MouseButton button, Qt::KeyboardModifiers modifiers, int X, int Y);
  void PaintBox1MouseMove(Qt::KeyboardModifiers modifiers, int X, int Y);
  // Sees every key press of this window before the focused control; the key goes on to the control
  // afterwards whatever this returns (true when it acted).
  bool FormKeyDown(int key, Qt::KeyboardModifiers modifiers);
  // The status part of a pointer movement at the view position (X, Y).
  void ShowPointerStatus(int X, int Y);
  void ReloadMapCorners();  // Ctrl+R
  void ToggleMapOutline();  // Ctrl+S
  // Inverts the outline through MapOutline in MapImage (drawing it twice restores the picture).
  void DrawMapOutline();

  // ---- bookmarks/mainwindow_bookmarks.cpp ---------------------------------------------------------

  void CurrentMap1Click();
  void Global1Click();
  void ShowBookmarkNameEdit();
  // Key presses in Edit3; true swallows the key.
  bool Edit3KeyPress(QKeyEvent* event);
  void BookmarkFontSetup1Click();
  void ShowBookmarksWindow1Click();
  // The visible bookmark names into ViewBuffer, whose top-left pixel shows the zoomed map pixel
  // (ScrollX, ScrollY).
  void DrawBookmarks(int ScrollX, int ScrollY);
  // Called after every change of the bookmark lists; the save follows within about a second
  // (bookmarkSaveTimer_ runs SaveBookmarksNow).
  void BookmarksChanged();

  // ---- maplinks/mainwindow_maplinks.cpp -----------------------------------------------------------

  void AddMapLink1Click();
  // The press that sets the opposite corner of a new link area, at the view position (X, Y).
  void LinkSecondCorner(int X, int Y);
  // The frame of the new link area follows the pointer at the view position (X, Y).
  void LinkRubberBand(int X, int Y);
  // Drops the link waiting for its text (Panel4 showing): removes its frame and hides the panel.
  void CancelPendingLink();
  // Key presses in Edit8; true swallows the key.
  bool Edit8KeyPress(QKeyEvent* event);
  // The hover at the view position (X, Y): status text, pointer shape, the link pop-up items.
  void FindLinkUnderPointer(int X, int Y);
  // Inverts a 4-pixel frame with the corners (X1, Y1), (X2, Y2) (picture pixels) in MapImage.
  void InvertFrame(int X1, int Y1, int X2, int Y2);
  void LoadMapforMapLink1Click();
  void gobackClick();
  void ShowMapLinksWindow1Click();
  // Called after every change of MapLinks; the save follows within about a second
  // (mapLinkSaveTimer_ runs SaveMapLinksNow).
  void MapLinksChanged();

  // ---- controls ------------------------------------------------------------------------------------

  Ui::TForm1* ui = nullptr;  // every control of the window, under its designed name

  // The map pop-up menu, opened only by a right click on the map.
  QMenu* PopupMenu1 = nullptr;
  QAction* LoadMapforMapLink1 = nullptr;
  QAction* N4 = nullptr;
  QMenu* AddBookmark1Menu = nullptr;
  QAction* AddBookmark1 = nullptr;  // the submenu's entry in PopupMenu1
  QAction* CurrentMap1 = nullptr;
  QAction* Global1 = nullptr;
  QAction* BookmarkFontSetup1 = nullptr;
  QAction* ShowBookmarksWindow1 = nullptr;
  QAction* N3 = nullptr;
  QAction* AddMapLink1 = nullptr;
  QAction* ShowMapLinksWindow1 = nullptr;
  QAction* N2 = nullptr;
  QAction* DirectionstoArea1 = nullptr;
  QAction* N1 = nullptr;
  QAction* ZoomInOutMap1 = nullptr;

  // Single-shot timers of the saves that follow a change of the bookmarks or the map links.
  QTimer bookmarkSaveTimer_;
  QTimer mapLinkSaveTimer_;

 protected:
  void closeEvent(QCloseEvent* event) override;  // FormClose: sets the closing flag
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void BuildPopupMenu();
  void ConnectHandlers();
  void LoadGlassPictures();
  // The useful range of scroll positions on one axis: 0 .. S - V (never below 0).
  int MaxUsefulX() const;
  int MaxUsefulY() const;
  void ShowPendingMessages();

  orv::AppState state_;
  orv::Dialogs& dialogs_;

  TForm2* form2_ = nullptr;
  TForm3* form3_ = nullptr;
  TForm4* form4_ = nullptr;
  TForm5* form5_ = nullptr;

  QImage mag_;      // the glass picture, 80 x 82, RGB32
  QImage magmask_;  // its mask, RGB32: white where the view shows through

  bool closing_ = false;
  bool destroyed_ = false;
  orv::PictureAhead* pictureAhead_ = nullptr;

  // Failed saves already reported in the current operation, and messages held until it ends.
  std::set<std::string> reportedSaves_;
  std::vector<QString> pendingMessages_;
  int messageHold_ = 0;

  class KeyPreview;
  std::unique_ptr<KeyPreview> keyPreview_;

 public:
  // Private state of the other subsystems' files (see the forward declarations above).
  std::shared_ptr<PanelsExtra> panelsExtra_;
  std::shared_ptr<PointerExtra> pointerExtra_;
  std::shared_ptr<BookmarksExtra> bookmarksExtra_;
  std::shared_ptr<MapLinksExtra> mapLinksExtra_;
};
