#pragma once
// The main window under test: real widgets on the offscreen platform, a temporary directory for the
// settings file and the maps, and dialogs that record what the user would have been told.
#include <gtest/gtest.h>

#include <QAction>
#include <QComboBox>
#include <QDir>
#include <QFrame>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QMainWindow>
#include <QMenu>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <deque>
#include <fstream>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "core/jpegwrite.h"
#include "view/dialogs.h"
#include "view/mainwindow.h"
#include "view/paintbox.h"
#include "view/propscrl/propscrl.h"

namespace orv::testing {

class FakeDialogs : public Dialogs {
 public:
  void ShowMessage(QWidget*, const QString& text) override { messages.push_back(text.toStdString()); }
  std::optional<QString> OpenFile(QWidget*, const OpenFileRequest& request) override {
    requests.push_back(request);
    // What happens while the dialog is open (its event loop runs), once.
    if (whileOpen) std::exchange(whileOpen, nullptr)();
    if (answers.empty()) return std::nullopt;
    auto answer = answers.front();
    answers.pop_front();
    return answer;
  }
  std::optional<QString> SaveFile(QWidget*, const OpenFileRequest& request) override {
    saveRequests.push_back(request);
    if (saveAnswers.empty()) return std::nullopt;
    auto answer = saveAnswers.front();
    saveAnswers.pop_front();
    return answer;
  }
  std::optional<int> Choose(QWidget*, const QString& question, const QStringList& choices) override {
    questions.push_back({question, choices});
    if (choiceAnswers.empty()) return std::nullopt;
    auto answer = choiceAnswers.front();
    choiceAnswers.pop_front();
    return answer;
  }
  std::optional<BookmarkFontSpec> ChooseFont(QWidget*, const BookmarkFontSpec& font) override {
    shownFonts.push_back(font);
    return fontAnswer;
  }

  bool Ask(QWidget*, const QString& text) override {
    asked.push_back(text.toStdString());
    return askAnswer;
  }
  std::optional<std::vector<QString>> ChooseFolders(QWidget*, const QString&, const QString&) override {
    return foldersAnswer;
  }

  std::vector<std::string> messages;
  std::vector<std::string> asked;  // what Ask asked
  bool askAnswer = false;
  std::optional<std::vector<QString>> foldersAnswer;  // what the folder dialog answers
  std::vector<OpenFileRequest> requests;
  std::deque<std::optional<QString>> answers;
  std::function<void()> whileOpen;
  std::vector<OpenFileRequest> saveRequests;
  std::deque<std::optional<QString>> saveAnswers;
  std::vector<std::pair<QString, QStringList>> questions;  // asked with their choices
  std::deque<std::optional<int>> choiceAnswers;            // nothing = Cancel
  std::vector<BookmarkFontSpec> shownFonts;                // the fonts the font dialog was opened with
  std::optional<BookmarkFontSpec> fontAnswer;              // what the font dialog answers; nothing = cancel
};

// A control of a main window by its designed object name: the window's own controls first, then its
// menus and actions. Fails the test when there is none.
template <class T>
T* Control(QMainWindow& window, const char* name) {
  T* found = window.centralWidget() ? window.centralWidget()->findChild<T*>(name) : nullptr;
  if (!found) found = window.findChild<T*>(name);
  EXPECT_NE(nullptr, found) << name;
  return found;
}

// Sets a window's bookmark lists as a hand-edited file would give them: edit changes a copy, which the
// store then takes whole.
inline void EditBookmarkLists(TForm1& window, const std::function<void(BookmarkLists&)>& edit) {
  BookmarkLists lists = window.Bookmarks().Lists();
  edit(lists);
  window.Bookmarks().Replace(std::move(lists));
}

// A picture whose every pixel tells where it lies: red and green are x and y modulo 256, blue holds
// their high bits. Decoding PixelOrigin of a view pixel gives the picture pixel it shows.
inline QImage PatternPicture(int width, int height) {
  QImage image(width, height, QImage::Format_RGB32);
  for (int y = 0; y < height; ++y)
    for (int x = 0; x < width; ++x) image.setPixel(x, y, qRgb(x & 255, y & 255, ((x >> 8) << 4) | (y >> 8)));
  return image;
}
inline QPoint PixelOrigin(QRgb c) {
  return {qRed(c) | ((qBlue(c) >> 4) << 8), qGreen(c) | ((qBlue(c) & 15) << 8)};
}

// Writes a JPEG of the image.
inline void WriteJpeg(const std::string& path, const QImage& picture, int quality = 95) {
  const QImage image = picture.convertToFormat(QImage::Format_RGB32);
  ASSERT_TRUE(WriteJpegFile(path, image.constBits(), image.width(), image.height(), image.bytesPerLine(),
                            {.quality = quality}));
}

inline void WriteText(const std::string& path, const std::string& text) {
  std::ofstream(path, std::ios::binary) << text;
}

inline std::string ReadText(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), {}};
}

inline std::string Dimensions(int ulx, int uly, int urx, int ury, int llx, int lly, int lrx, int lry) {
  auto line = [](const char* key, int v) { return std::string(key) + "=" + std::to_string(v) + "\r\n"; };
  return "[Map Dimensions]\r\n" + line("UpperLeft_X", ulx) + line("UpperLeft_Y", uly) +
         line("UpperRight_X", urx) + line("UpperRight_Y", ury) + line("LowerLeft_X", llx) +
         line("LowerLeft_Y", lly) + line("LowerRight_X", lrx) + line("LowerRight_Y", lry);
}

class MainWindowTest : public ::testing::Test {
 public:
  void SetUp() override {
    ASSERT_TRUE(dir.isValid());
    settingsFile = Path("orvantis.ini");
  }
  void TearDown() override {
    if (form) form->close();
    form.reset();
  }

  std::string Path(const std::string& name) const {
    return dir.filePath(QString::fromStdString(name)).toStdString();
  }

  // A map info file with a picture beside it; corners default to the picture's corners.
  std::string MakeMap(const std::string& name, int width, int height, const QImage& picture = QImage()) {
    const std::string dem = Path(name + ".dem");
    WriteText(dem, Dimensions(0, 0, width, 0, 0, height, width, height));
    WriteJpeg(Path(name + ".JPG"), picture.isNull() ? PatternPicture(width, height) : picture);
    return dem;
  }

  // Builds the window (at its designed size) and shows it; startup runs the start-up loading.
  TForm1& Open(bool startup = true) {
    TForm1Config config{settingsFile, &dialogs, 1234};
    form = std::make_unique<TForm1>(config);
    if (startup) form->StartupLoading();
    form->show();
    EXPECT_TRUE(QTest::qWaitForWindowExposed(form.get()));
    return *form;
  }

  QTemporaryDir dir;
  std::string settingsFile;
  FakeDialogs dialogs;
  std::unique_ptr<TForm1> form;
};

}  // namespace orv::testing
