// Export... and Import... of the bookmarks window (also reached from the main window's Map menu):
// which bookmarks, which file, and what came of it.
#include <QFileInfo>

#include "bookmarks/bookmarkexchange.h"
#include "bookmarks/bookmarkrows.h"
#include "bookmarks/bookmarkswindow.h"
#include "view/dialogs.h"
#include "view/mapviewhost.h"
#include "view/text.h"

namespace {

const QString kFileFilter = QStringLiteral("CSV Files (*.csv);;JSON Files (*.json)");

// The set the user picks, in the order of ExchangeSet; nothing when cancelled.
std::optional<orv::ExchangeSet> AskWhich(orv::Dialogs& dialogs, QWidget* parent, const QString& question) {
  const auto choice = dialogs.Choose(parent, question, {"Current Map", "Global", "All"});
  if (!choice || *choice < 0 || *choice > 2) return std::nullopt;
  return static_cast<orv::ExchangeSet>(*choice);
}

// The current map's file name as exchange files carry it: Windows-1252 bytes like every other text
// there (the path itself is in the file system's encoding).
std::string ExchangeMapName(const std::string& mapFile) {
  const std::string name = orv::MapFileName(mapFile);
  return orv::ToBytes(orv::PathText(name)).value_or(name);
}

QString Listed(const std::vector<std::string>& names) {
  constexpr std::size_t kShown = 20;
  QString text;
  for (std::size_t i = 0; i < names.size() && i < kShown; ++i) text += "\n  " + orv::FromBytes(names[i]);
  if (names.size() > kShown) text += QString("\n  and %1 more").arg(names.size() - kShown);
  return text;
}

}  // namespace

void TForm3::ExportBookmarks(QWidget* parent) {
  orv::Dialogs& dialogs = host_.dialogs();
  const auto set = AskWhich(dialogs, parent, "Export which bookmarks?");
  if (!set) return;
  const orv::RowsToExport exported = orv::ExportRows(store_.Lists(), *set, ExchangeMapName(CurrentMap()));
  orv::OpenFileRequest request{"Export Bookmarks", kFileFilter, "bookmarks.csv", {}};
  const auto path = dialogs.SaveFile(parent, request);
  if (!path) return;
  QString text = orv::ExportBookmarkFile(*path, exported.rows);
  if (text.isEmpty()) {
    text = QString("Exported %1 bookmark(s) to \"%2\".")
               .arg(exported.rows.size())
               .arg(QFileInfo(*path).fileName());
  }
  if (!exported.leftOut.empty()) {
    text += QString("\n\nLeft out %1 whose point is not a whole number inside the world:")
                .arg(exported.leftOut.size()) +
            Listed(exported.leftOut);
  }
  dialogs.ShowMessage(parent, text);
}

void TForm3::ImportBookmarks(QWidget* parent) {
  orv::Dialogs& dialogs = host_.dialogs();
  const auto set = AskWhich(dialogs, parent, "Import which bookmarks?");
  if (!set) return;
  orv::OpenFileRequest request{"Import Bookmarks", kFileFilter, {}, {}};
  const auto path = dialogs.OpenFile(parent, request);
  if (!path) return;

  orv::ImportTarget target;
  target.currentMap = ExchangeMapName(CurrentMap());
  target.existing = orv::PresentBookmarks(store_.Lists());
  target.takeMap = *set != orv::ExchangeSet::Global;
  target.takeGlobal = *set != orv::ExchangeSet::CurrentMap;
  target.newId = [this] { return orv::NewBookmarkId(random_); };
  const orv::ImportResult result = orv::ImportBookmarkFile(*path, target);
  if (!result.rows.empty()) {
    // As after any change of the lists: in name order, drawn, shown and saved.
    store_.AddImported(result.rows);
    store_.Sort();
    Redraw();
    FillBookmarkLists();
    Changed();
  }
  dialogs.ShowMessage(parent, result.Summary());
}
