#pragma once
// The main window: the map view with its scroll bars, the status line, the two coordinate panels and
// the map pop-up menu. It wires the parts of the program together: it owns the viewport (zoom, view
// origin, cross), the map session (the current map and its picture), the bookmark lists and map
// links, the bookmark and map link layers and the four secondary windows, and hands each designed
// handler to the part that does the work. The layers and secondary windows see it as MapViewHost.
//
// Its member functions live in several files:
//   view/mainwindow.cpp          construction, start-up and shutdown, map loading, messages
//   view/mainwindow_saving.cpp   saving the bookmarks and links, telling failed saves, leaving a map
//   view/mainwindow_view.cpp     rendering, scrolling, zoom, layout, the cross and the glass
//   view/mainwindow_panels.cpp   the coordinate panels and their buttons
//   view/mainwindow_pointer.cpp  pointer and hot keys
//   view/mainwindow_layers.cpp   the bookmark and map link handlers
//   view/mainwindow_bookmarks.cpp  the Map menu's "Bookmarks" submenu (export, import)
//   view/mainwindow_mapmaking.cpp  new maps, the calibration assistant, the atlas
//   view/mainwindow_follow.cpp   following the journal and the clipboard, the status line's rest text
//   view/mainwindow_overview.cpp the overview over the map area and View > Overview
//   view/mainwindow_state.cpp    remembered windows and views, Open Recent, Quit
//   view/mainwindow_menus.cpp    the order of the Map and View menus
//   view/mainwindow_find.cpp     the find box, bookmark notes on hover, name outlines, link areas
// Navigation (wheel, drag, keys, the View menu, the view history) is view/mapnavigation.*.
//
// Coordinate spaces, as everywhere in the program:
//   view position     a pixel of the map area (PaintBox1), origin at its top left
//   zoomed map pixel  a pixel of the picture scaled by ZoomPercent / 100; scroll positions, CrossX,
//                     CrossY and PopupPoint are in this space; view position + scroll position = it
//   picture pixel     a pixel of MapImage (the picture at 100 percent); corners, link areas, outline
//   world point       the game's .where position
#include <QImage>
#include <QMainWindow>
#include <array>
#include <cstdint>
#include <memory>
#include <random>
#include <set>
#include <string>
#include <vector>

#include "bookmarks/bookmarkrecords.h"
#include "maplinks/maplinkstore.h"
#include "storage/bookmarkfont.h"
#include "view/coordinatepanels.h"
#include "view/delayedsave.h"
#include "view/dialogs.h"
#include "view/mapsession.h"
#include "view/mapviewhost.h"
#include "view/mapviewport.h"
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
class AtlasMenu;
class BookmarkLayer;
class CalibrationTool;
class InputMarks;
class FindBox;
class MapLinkLayer;
class PositionFollowing;
class MapNavigation;

class OverviewWidget;
class PictureAhead;
class StartFolderDialogs;
struct TextPosition;

// What the main window needs from outside: where the settings live, how to talk to the user, and the
// seed of the random generator (main() takes it from the clock; tests choose it).
struct TForm1Config {
  std::string settingsFile;
  Dialogs* dialogs = nullptr;  // must outlive the window
  uint32_t randomSeed = 0;
  PictureAhead* pictureAhead = nullptr;  // a picture decoded ahead for the first load; may be null
  // The windows open at their remembered places (the main window at its first-start size when none
  // is remembered), each map's zoom and view centre are kept, and loaded maps go into Open Recent,
  // all in the settings file. The program sets it; without it the windows open at their designed
  // sizes and nothing of this is written.
  bool rememberState = false;
};

}  // namespace orv

class TForm1 : public QMainWindow, public orv::MapViewHost {
  Q_OBJECT

 public:
  // Builds the window and every control, sets the initial state (no map, zoom 100, default corners,
  // empty lists) and creates the secondary windows in the order TForm2, TForm5, TForm4, TForm3.
  explicit TForm1(const orv::TForm1Config& config, QWidget* parent = nullptr);
  // Runs FormDestroy if it has not run yet.
  ~TForm1() override;

  // ---- start-up, shutdown, map loading -------------------------------------------------------------

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
  orv::LoadOutcome LoadMap(std::string path) override;
  // Map > Load...: asks for a map info file and loads it.
  void Load1Click();

  // Composes the view at the viewport's origin into ViewBuffer and shows it at once.
  void RenderView() override;
  // The same with the view's top-left pixel at the zoomed map pixel (X, Y).
  void RenderView(int X, int Y);
  // The paint event of the map area.
  void PaintBox1Paint();

  // Sets both scroll bars' Max and PageSize for the picture at the current zoom and the map area.
  void UpdateScrollRanges();
  // Moves the view origin to the zoomed map pixel (X, Y), clamped to the useful range, and renders.
  void ScrollViewTo(int X, int Y);
  // Brings the zoomed map pixel to the middle of the view as far as the useful range allows, and
  // renders.
  void CenterViewOn(orv::Point zoomed) override;
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
  // zoom and centres the view on the cross. Text that names no zoom from 1 to 6400 percent is
  // answered with a message and changes nothing (false).
  bool ApplyZoom(const QString& text);

  // The glass and the cross at (CrossX, CrossY) into ViewBuffer, whose top-left pixel shows the
  // zoomed map pixel (scrollX, scrollY).
  void DrawLocationCross(int scrollX, int scrollY);
  // The glass picture laid into target so that the point (x, y) of target sits in its lens.
  void DrawMagnifierGlass(int x, int y, QImage& target);
  // Lays picture over the rectangle of target at (left, top) through mask (both the size of picture):
  // the picture's pixel where the mask is not white, the target's own pixel where it is white. Only
  // that rectangle of target is read or written; parts outside target are skipped.
  static void BlitMasked(QImage& target, int left, int top, const QImage& picture, const QImage& mask);

  // The bookmark store (the designed CurrentMapBookmarks, GlobalBookmarks and their font lists).
  orv::BookmarkStore& Bookmarks() { return bookmarks_; }
  const orv::BookmarkStore& Bookmarks() const { return bookmarks_; }
  const std::vector<std::string>& CurrentMapBookmarks() const { return bookmarks_.CurrentMapBookmarks(); }
  const std::vector<std::string>& GlobalBookmarks() const { return bookmarks_.GlobalBookmarks(); }
  // The map links of the current map, with the state of a link area being drawn.
  orv::MapLinkState& Links() { return links_; }
  const orv::MapLinkState& Links() const { return links_; }
  const std::vector<std::string>& MapLinks() const { return links_.store.MapLinks(); }
  // The composed view, the size of the map area.
  const QImage& ViewBuffer() const { return viewBuffer_; }
  // The program's settings file (global bookmarks, bookmark font, last map); chosen at start.
  void SetSettingsFile(const std::string& path) { settingsFile_ = path; }
  orv::Dialogs& dialogs() override { return dialogs_; }
  QWidget* DialogParent() override { return this; }
  QWidget* MapArea() override;
  orv::Point PopupPoint() const override { return popupPoint_; }
  orv::Point PopupWorldPoint() const override { return popupWorldPoint_; }
  // The font given to new bookmarks.
  orv::BookmarkFontSpec& BookmarkFont();
  // The current map: its files, corners, outline and picture.
  orv::MapSession& Session() override { return session_; }
  const orv::MapSession& Session() const { return session_; }
  QImage& MapImage() { return session_.Picture(); }
  const orv::MapCorners& MapCorners() const { return session_.Corners(); }
  const orv::MapOutline& MapOutline() const { return session_.Outline(); }
  const std::string& CurrentMapFile() const { return session_.CurrentMapFile(); }
  const std::string& PreviousMapFile() const { return session_.PreviousMapFile(); }

  // Zoom, view origin and cross; the scroll bars mirror its origin.
  orv::MapViewport& Viewport() { return viewport_; }
  const orv::MapViewport& Viewport() const override { return viewport_; }
  int32_t ZoomPercent() const { return viewport_.ZoomPercent(); }
  int32_t CrossX() const { return viewport_.Cross().x; }  // zoomed map pixels
  int32_t CrossY() const { return viewport_.Cross().y; }
  int MapAreaWidth() const { return viewport_.AreaWidth(); }  // PaintBox1's size, view pixels
  int MapAreaHeight() const { return viewport_.AreaHeight(); }
  int ScrollX() const { return viewport_.Origin().x; }  // the view origin, zoomed map pixels
  int ScrollY() const { return viewport_.Origin().y; }
  // Status panel 0 (links and hints) and 1 (the pointer's world point).
  void SetStatusText(int panel, const QString& text) override;
  QString StatusText(int panel) const override;
  bool Closing() const { return closing_; }
  void CloseUnasked();  // closes asking nothing, for a close nobody is there to answer
  const QImage& GlassPicture() const { return mag_; }
  const QImage& GlassMask() const { return magmask_; }

  // Wheel, drag and key navigation, the View menu and the view history.
  orv::MapNavigation& Navigation() { return *navigation_; }

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
  // Saves the bookmarks and the map links of a map left or closed together, so that its map info
  // file is read and written once (not at all when nothing changed); reports failures except one of
  // mapFile itself when reportMapFile is false. Gives the file that could not be written, "" if none.
  std::string SaveMapAndBookmarksTo(const std::string& mapFile, bool reportMapFile = true);
  // Before another map loads, unsaved calibration points and then the map are saved. Its bookmarks and
  // links would be gone with a file that cannot be written: the user is asked whether to leave it.
  bool LeaveCurrentMap();

  // ---- view/mainwindow_panels.cpp -----------------------------------------------------------------

  // Fills both coordinate panels from one world point, or empties them when it lies outside the
  // world. FromMapPixel: (a, b) is a zoomed map pixel; FromWorld: (a, b) is a world point.
  void RefreshCoordinatePanels(int a, int b, orv::PanelSource source) override;
  // Brings the world point to the middle of the map panel and shows it in the panels.
  void ShowWorldPoint(orv::Point world) override;
  // The texts of the eight fields of the two coordinate panels, as they stand.
  orv::CoordinatePanelTexts PanelTexts() const;
  // ".Where" and sextant "Update"; a followed position keeps the view unless the cross leaves it.
  void Button1Click(orv::CrossView view = orv::CrossView::Centre);
  void Button3Click(orv::CrossView view = orv::CrossView::Centre);
  void Button4Click();  // ".Where" "Directions To..."
  void Button5Click();  // sextant "Directions To..."
  void DirectionstoArea1Click();

  // ---- view/mainwindow_start.cpp ------------------------------------------------------------------

  // Types position into its panel and presses that panel's "Update".
  void ShowPosition(const orv::TextPosition& position, orv::CrossView view = orv::CrossView::Centre);

  // ---- view/mainwindow_follow.cpp -----------------------------------------------------------------

  // Map > "Follow Journal..." and "Follow Clipboard": each position followed moves the cross.
  orv::PositionFollowing& Following() { return *following_; }
  // What status panel 0 shows while no link or hint is shown there (what is being followed).
  void SetStatusRestText(const QString& text);

  // ---- view/mainwindow_clipboard.cpp --------------------------------------------------------------

  // "Paste Position" and Ctrl+V: the last position in the clipboard's text goes through its panel's
  // Update; text holding none is answered with the forms that are understood, and nothing changes.
  void PastePosition();
  // Puts the world point on the clipboard as one line holding its .where and sextant forms.
  void CopyPosition(orv::Point world);
  // Pop-up "Copy Position": the world point of the right click.
  void CopyPosition1Click();
  // Ctrl+V outside the text boxes, and Ctrl+C while the map area has the keyboard (the cross's world
  // point); true when it acted.
  bool ClipboardKey(int key, Qt::KeyboardModifiers modifiers);

  // ---- view/mainwindow_pointer.cpp ----------------------------------------------------------------

  // A button pressed or the pointer moved over the map area at the view position (X, Y).
  void PaintBox1MouseDown(Qt::MouseButton button, Qt::KeyboardModifiers modifiers, int X, int Y);
  void PaintBox1MouseMove(Qt::KeyboardModifiers modifiers, int X, int Y);
  // Sees every key press of this window before the focused control; the key goes on to the control
  // afterwards whatever this returns (true when it acted).
  bool FormKeyDown(int key, Qt::KeyboardModifiers modifiers);
  // The status part of a pointer movement at the view position (X, Y).
  void ShowPointerStatus(int X, int Y);
  // The pointer's world point in status panel 1, for the view position (X, Y).
  void ShowPointerReadout(int X, int Y);
  // After the view moved under a resting pointer (keys, Back, a followed position): the readout shows
  // the world point now under it, as a movement would, and the link hover follows when the pointer
  // came onto or off a link area. Panel 0 is otherwise left alone, so that a message there stays
  // until the pointer moves.
  void RefreshPointerReadout();
  // The pop-up menu closed: the pointer moved over the menu, not over the map, so the readout is taken
  // for where the pointer is now, or emptied when it is not over the map area.
  void PointerAfterPopupMenu();
  // The pointer's view position while a pan takes its movements, so that the readout follows it.
  void SetRestingPointer(int X, int Y) { restingPointer_ = QPoint(X, Y); }
  void ReloadMapCorners();  // Ctrl+R
  void ToggleMapOutline();  // Ctrl+S

  // ---- view/mainwindow_layers.cpp: the bookmark and map link layers' handlers ----------------------

  void CurrentMap1Click();
  void Global1Click();
  void BookmarkFontSetup1Click();
  void ShowBookmarksWindow1Click();
  // The visible bookmark names into ViewBuffer, whose top-left pixel shows the zoomed map pixel
  // (ScrollX, ScrollY); within a frame, only those that RenderView's composition left to it.
  void DrawBookmarks(int ScrollX, int ScrollY);
  // Called after every change of the bookmark lists made by the user: draws the view, and the save
  // follows within about a second (bookmarkSave_ runs SaveBookmarksNow).
  void BookmarksChanged();

  void AddMapLink1Click();
  void LoadMapforMapLink1Click();
  void gobackClick();
  void ShowMapLinksWindow1Click();
  // Schedules the save of the map links (mapLinkSave_ runs SaveMapLinksNow); every change the user
  // makes in the link store schedules it too.
  void MapLinksChanged();

  // ---- view/mainwindow_mapmaking.cpp --------------------------------------------------------------

  void NewMapFromPicture1Click();  // Map > New Map from Picture...
  void CalibrateMap1Click();       // Map > Calibrate Map...
  void MapsFolders1Click();        // Map > Maps Folders...
  // While the calibration assistant is open, a left press at the view position picks a control point.
  bool CalibrationTakesPress(int X, int Y);
  // After an Update to the world point: the maps showing it are offered when it lies off the picture.
  void OfferMapsShowing(orv::Point world);
  // Makes the map info file current and puts the cross on the world point through the .where Update.
  void LoadMapAt(const std::string& mapInfoPath, orv::Point world);
  orv::CalibrationTool& CalibrationAssistant() { return *calibration_; }
  orv::AtlasMenu& MapsAtlas() { return *atlasMenu_; }
  // ---- view/mainwindow_overview.cpp ---------------------------------------------------------------

  // The overview over the map area and View > Overview (key O while the map has the keyboard).
  void BuildOverview();
  // View > Overview: shows or hides the overview and keeps the choice in the settings file.
  void Overview1Click(bool shown);
  orv::OverviewWidget* Overview() { return overview_; }

  // ---- view/mainwindow_state.cpp ------------------------------------------------------------------

  // Map > Open Recent and Map > Quit; the pointer's position leaves the status line with the pointer.
  void BuildMapMenuItems();
  // The windows at their remembered places, or the main window at its first-start size.
  void RestoreWindowPlaces();
  // The windows' places and how the current map is viewed, into the settings file (FormDestroy).
  void SaveRememberedState();
  // The places of the secondary windows shown (also taken at the close, which forgets what was shown).
  std::vector<std::pair<std::string_view, QRect>> SecondaryPlaces();
  // A new map's picture is in the session and leftMap (may be empty) is being left: the view of
  // leftMap is remembered and the overview made.
  void MapPictureLoaded(const std::string& leftMap, const orv::Overview& overview);
  // A load has finished showing path: it becomes the first of Open Recent.
  void MapShown(const std::string& path);
  // At start-up: path (just loaded) gets the zoom and view centre it was left with.
  void RestoreMapView(const std::string& path);
  // Map > Open Recent > path: loads it, or removes it from the list with a message when it is gone.
  void OpenRecentMap(const std::string& path);
  // Lists the recent maps in Map > Open Recent.
  void FillOpenRecentMenu();
  // ---- view/mainwindow_find.cpp -------------------------------------------------------------------

  // Map > Find Bookmark... (Ctrl+F): the find box over the map; choosing a bookmark there puts the
  // cross on it, centres the view and shows it in the panels.
  void FindBookmark1Click();
  // The drawing of the names and the find box follow every change of the bookmark lists (the
  // store's changed() runs it).
  void BookmarkListsChanged();
  // View > Outline Bookmark Names and View > Show Link Areas; both are remembered in the settings.
  void SetOutlineBookmarkNames(bool on);
  void SetShowLinkAreas(bool on);
  // The link area outlines into ViewBuffer, whose top-left pixel shows the zoomed map pixel
  // (ScrollX, ScrollY), when they are shown.
  void DrawLinkAreas(int ScrollX, int ScrollY);

  // The saves that follow a change of the bookmarks or the map links within about a second.
  orv::DelayedSave bookmarkSave_{[this] { SaveBookmarksNow(); }};
  orv::DelayedSave mapLinkSave_{[this] { SaveMapLinksNow(); }};

 protected:
  void closeEvent(QCloseEvent* event) override;  // FormClose, once unsaved calibration points are dealt with
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
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
  QAction* PastePosition1 = nullptr;
  QAction* CopyPosition1 = nullptr;
  QAction* MapsShowingPoint1 = nullptr;  // the atlas submenu's entry
  QAction* MapPastePosition1 = nullptr;  // the Map menu's "Paste Position"
  QAction* N1 = nullptr;
  QAction* ZoomInOutMap1 = nullptr;

  void BuildPopupMenu();
  // view/mainwindow_bookmarks.cpp: Map > Bookmarks > Export... and Import..., as in the bookmarks
  // window.
  void BuildBookmarksMenu();
  // view/mainwindow_menus.cpp: the Map and View menus' items in one order, grouped by separators.
  void ArrangeMenus();
  void ConnectHandlers();
  // view/mainwindow_find.cpp: the find box, the View menu's bookmark and link items, the notes tip.
  void BuildFindAndViewItems();
  QAction* FindBookmark1 = nullptr;
  QAction* OutlineBookmarkNames1 = nullptr;
  QAction* ShowLinkAreas1 = nullptr;
  orv::FindBox* findBox_ = nullptr;
  class NotesTip;
  NotesTip* notesTip_ = nullptr;  // a child of the window
  void LoadGlassPictures();
  // The scroll bars take the viewport's ranges (PageSize also when the picture fits, as the layout
  // sets it) and its origin.
  void MirrorScrollRanges(bool pageAlways);
  void MirrorScrollPositions();
  void ShowPendingMessages();
  // The rest of a load once the session holds the new map: the saves of the map left, the new map's
  // bookmarks and links, the view, the title, the lists and the cross.
  void ShowLoadedMap(const std::string& path, const orv::MapLoadResult& loaded);

  // Places the cross on a world point and centres the view on it, or keeps it in view.
  void MoveCrossToWorld(orv::Point world, orv::CrossView view);
  // Shows the way from the cross to a world point and brings that point to the middle of the view.
  void ShowDirectionsTo(orv::Point world);

  std::string settingsFile_;    // the program's settings file, chosen at start
  QImage viewBuffer_;           // the composed view, the size of the map area
  orv::Point popupPoint_;       // zoomed map pixel of the last right click
  orv::Point popupWorldPoint_;  // world point of the last right click
  QPoint restingPointer_;       // view position of the pointer's last movement over the map area
  orv::BookmarkStore bookmarks_;
  orv::MapLinkState links_;
  std::mt19937 random_;  // seeded from the clock at start; tests seed it themselves
  orv::MapViewport viewport_;
  orv::MapSession session_;
  // Opens the file dialogs in the current map's folder; dialogs_ is this.
  std::unique_ptr<orv::StartFolderDialogs> startFolderDialogs_;
  orv::Dialogs& dialogs_;

  TForm2* form2_ = nullptr;
  TForm3* form3_ = nullptr;
  TForm4* form4_ = nullptr;
  TForm5* form5_ = nullptr;

  QImage mag_;      // the glass picture, 80 x 82, RGB32
  QImage magmask_;  // its mask, RGB32: white where the view shows through

  bool closing_ = false;
  std::vector<std::pair<std::string_view, QRect>> placesAtClose_;
  bool closeUnasked_ = false;
  bool destroyed_ = false;
  orv::PictureAhead* pictureAhead_ = nullptr;

  // Failed saves already reported in the current operation, and messages held until it ends.
  std::set<std::string> reportedSaves_;
  std::vector<QString> pendingMessages_;
  int messageHold_ = 0;

  std::unique_ptr<orv::BookmarkLayer> bookmarkLayer_;
  std::unique_ptr<orv::MapLinkLayer> mapLinkLayer_;

  void BuildMapMakingMenu();
  void PlaceCrossFromWhereFields();
  std::unique_ptr<orv::CalibrationTool> calibration_;
  std::unique_ptr<orv::AtlasMenu> atlasMenu_;
  // view/mainwindow_overview.cpp and view/mainwindow_state.cpp
  orv::OverviewWidget* overview_ = nullptr;  // a child of the map area
  QAction* Overview1 = nullptr;
  QMenu* OpenRecent1Menu = nullptr;
  QAction* Quit1 = nullptr;
  bool rememberState_ = false;

  class KeyPreview;
  std::unique_ptr<KeyPreview> keyPreview_;

  // view/mainwindow_panels.cpp: the marks on boxes read with a default, and the status line's word
  // for a point outside the world.
  std::array<QWidget*, 8> PanelBoxes() const;
  void ShowWhetherOutsideWorld(std::optional<orv::Point> world);
  std::unique_ptr<orv::InputMarks> inputMarks_;
  // view/mainwindow_follow.cpp
  void BuildFollowMenu();
  std::unique_ptr<orv::PositionFollowing> following_;
  QString statusHint_;  // the link text or hint last set in status panel 0
  QString statusRest_;  // shown there while the hint is empty
  std::unique_ptr<orv::MapNavigation> navigation_;
};
