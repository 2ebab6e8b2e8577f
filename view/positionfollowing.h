#pragma once
// Following the player's position as the game gives it out: each new line of the game's journal, and
// each text copied to the clipboard, that holds a position moves the cross there. What is followed
// (the journal file, and whether the clipboard is) is remembered in the settings file and taken up
// again at the next start.
#include <QObject>
#include <QString>
#include <QTimer>
#include <functional>
#include <optional>
#include <string>

#include "app/journalfollower.h"
#include "core/positiontext.h"

class QAction;
class QMenu;

namespace orv {

// The last position in text (see FindLastPosition).
std::optional<TextPosition> PositionIn(const QString& text);

// The status line's words for what is followed; empty when nothing is.
QString FollowingText(const QString& journalPath, bool clipboard);

class PositionFollowing : public QObject {
  Q_OBJECT

 public:
  // What following needs from the main window.
  struct Host {
    std::function<void(const TextPosition&)> showPosition;  // moves the cross, keeping it in view
    std::function<void(const QString&)> showFollowing;      // FollowingText, for the status line
    // A journal file chosen by the user, the dialog opening in startFolder; nothing when cancelled.
    std::function<std::optional<QString>(const QString& startFolder)> chooseJournal;
    std::function<void()> reportSettingsNotSaved;
  };

  // settingsFile must outlive this object.
  PositionFollowing(const std::string& settingsFile, Host host);

  // Map > "Follow Journal..." (checked while a journal is followed; choosing it then stops) and
  // "Follow Clipboard" (checkable).
  void AddActions(QMenu* menu);
  // Takes up what the settings file remembers from the last run.
  void Resume();

  // Follows the journal at path from its present end, and remembers it.
  void FollowJournal(const QString& path);
  void StopJournal();
  void SetFollowClipboard(bool on);
  // Text the program put on the clipboard itself (Copy Position) does not move the cross.
  void NoteOwnCopy(const QString& text) { ownCopy_ = text; }

  bool FollowingJournal() const { return journal_.isFollowing(); }
  QString JournalPath() const { return journal_.path(); }
  bool FollowingClipboard() const { return clipboard_; }

 private:
  void FollowJournal1Click();
  void ShowLinePosition(const QString& line);
  void ListenToClipboard(bool on);
  void ClipboardChanged();
  void ShowState();

  const std::string& settingsFile_;
  Host host_;
  JournalFollower journal_;
  bool clipboard_ = false;
  QMetaObject::Connection clipboardConnection_;
  QString ownCopy_;
  // The lines of a journal read in one go (a backlog read from the start of a replaced file) show
  // only their last position, once.
  std::optional<TextPosition> pending_;
  QTimer showPending_;
  QAction* followJournal_ = nullptr;
  QAction* followClipboard_ = nullptr;
};

}  // namespace orv
