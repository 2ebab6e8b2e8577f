// Following the game's positions: the Map menu's "Follow Journal..." and "Follow Clipboard". Each
// position followed goes through its panel's Update like a pasted one, but the view moves only when
// the cross leaves the middle of it, so that a player walking along is not shown a jumping map.
#include <QFileInfo>

#include "ui_mainwindow.h"
#include "view/mainwindow.h"
#include "view/positionfollowing.h"

void TForm1::BuildFollowMenu() {
  orv::PositionFollowing::Host host;
  host.showPosition = [this](const orv::TextPosition& position) {
    ShowPosition(position, orv::CrossView::KeepInView);
  };
  host.showFollowing = [this](const QString& text) { SetStatusRestText(text); };
  host.chooseJournal = [this](const QString& startFolder) {
    orv::OpenFileRequest request;
    request.title = QStringLiteral("Follow Journal");
    request.filter = QStringLiteral("Text Files (*.txt *.log);;All Files (*)");
    request.startDirectory = startFolder;
    return dialogs_.OpenFile(this, request);
  };
  host.reportSettingsNotSaved = [this] { ReportFailedSave(settingsFile_); };
  following_ = std::make_unique<orv::PositionFollowing>(settingsFile_, std::move(host));
  following_->AddActions(ui->Map1);
}

void TForm1::SetStatusRestText(const QString& text) {
  statusRest_ = text;
  if (statusHint_.isEmpty()) ui->StatusPanel0->setText(text);
}
