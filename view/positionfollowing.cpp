#include "view/positionfollowing.h"

#include <QAction>
#include <QClipboard>
#include <QFileInfo>
#include <QGuiApplication>
#include <QMenu>
#include <utility>

#include "storage/appsettings.h"
#include "view/text.h"

namespace orv {
std::optional<TextPosition> PositionIn(const QString& text) {
  const QByteArray bytes = text.toUtf8();
  return FindLastPosition(std::string_view(bytes.constData(), std::size_t(bytes.size())));
}

QString FollowingText(const QString& journalPath, bool clipboard) {
  const QString journal = QFileInfo(journalPath).fileName();
  if (!journal.isEmpty() && clipboard) return QString("Following %1 and the clipboard").arg(journal);
  if (!journal.isEmpty()) return QString("Following %1").arg(journal);
  if (clipboard) return QStringLiteral("Following the clipboard");
  return {};
}

PositionFollowing::PositionFollowing(const std::string& settingsFile, Host host)
    : settingsFile_(settingsFile), host_(std::move(host)) {
  connect(&journal_, &JournalFollower::lineAppended, this, &PositionFollowing::ShowLinePosition);
  showPending_.setSingleShot(true);
  connect(&showPending_, &QTimer::timeout, this, [this] {
    if (const auto position = std::exchange(pending_, std::nullopt)) host_.showPosition(*position);
  });
}

void PositionFollowing::AddActions(QMenu* menu) {
  menu->addSeparator();
  followJournal_ = menu->addAction(QStringLiteral("Follow Journal..."));
  followJournal_->setObjectName("FollowJournal1");
  followJournal_->setCheckable(true);
  followJournal_->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_J));
  connect(followJournal_, &QAction::triggered, this, [this] { FollowJournal1Click(); });
  followClipboard_ = menu->addAction(QStringLiteral("Follow Clipboard"));
  followClipboard_->setObjectName("FollowClipboard1");
  followClipboard_->setCheckable(true);
  followClipboard_->setShortcut(QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_V));
  connect(followClipboard_, &QAction::triggered, this, [this](bool on) { SetFollowClipboard(on); });
  ShowState();
}

void PositionFollowing::Resume() {
  const AppSettings settings(settingsFile_);
  const std::string journal = settings.JournalFile();
  // A journal that is not there yet is read from its start once the game creates it.
  if (settings.FollowJournal() && !journal.empty()) journal_.start(PathText(journal));
  if (settings.FollowClipboard()) ListenToClipboard(true);
  ShowState();
}

void PositionFollowing::FollowJournal(const QString& path) {
  journal_.start(path);
  AppSettings settings(settingsFile_);
  const bool saved = settings.SetJournalFile(PathBytes(journal_.path())) && settings.SetFollowJournal(true);
  ShowState();
  if (!saved) host_.reportSettingsNotSaved();
}

void PositionFollowing::StopJournal() {
  journal_.stop();
  // The file stays remembered, so that the next choice starts in its folder.
  const bool saved = AppSettings(settingsFile_).SetFollowJournal(false);
  ShowState();
  if (!saved) host_.reportSettingsNotSaved();
}

void PositionFollowing::ListenToClipboard(bool on) {
  if (on == clipboard_) return;
  clipboard_ = on;
  if (on) {
    clipboardConnection_ = connect(QGuiApplication::clipboard(), &QClipboard::dataChanged, this,
                                   &PositionFollowing::ClipboardChanged);
  } else {
    disconnect(clipboardConnection_);
  }
}

void PositionFollowing::SetFollowClipboard(bool on) {
  ListenToClipboard(on);
  const bool saved = AppSettings(settingsFile_).SetFollowClipboard(on);
  ShowState();
  if (!saved) host_.reportSettingsNotSaved();
}

void PositionFollowing::FollowJournal1Click() {
  if (FollowingJournal()) {
    StopJournal();
    return;
  }
  const QString last = PathText(AppSettings(settingsFile_).JournalFile());
  const auto chosen = host_.chooseJournal(last.isEmpty() ? QString() : QFileInfo(last).absolutePath());
  if (chosen) {
    FollowJournal(*chosen);
  } else {
    ShowState();  // the item took its check from the click; nothing is followed
  }
}

void PositionFollowing::ShowLinePosition(const QString& line) {
  const auto position = PositionIn(line);
  if (!position) return;
  pending_ = position;
  if (!showPending_.isActive()) showPending_.start(0);
}

void PositionFollowing::ClipboardChanged() {
  const QString text = QGuiApplication::clipboard()->text();
  if (text.isEmpty() || text == ownCopy_) return;
  if (const auto position = PositionIn(text)) host_.showPosition(*position);
}

void PositionFollowing::ShowState() {
  if (followJournal_) followJournal_->setChecked(FollowingJournal());
  if (followClipboard_) followClipboard_->setChecked(clipboard_);
  host_.showFollowing(FollowingText(JournalPath(), clipboard_));
}

}  // namespace orv
