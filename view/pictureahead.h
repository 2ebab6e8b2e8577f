#pragma once
// A map picture decoded on a second thread ahead of the map load that needs it: at start-up the last
// map's picture is decoded while the windows are being created, so the first frame does not wait for
// the whole decode after them. No widgets.
#include <QImage>
#include <atomic>
#include <future>
#include <memory>
#include <optional>
#include <string>
#include <utility>

#include "core/jpeg.h"
#include "view/overview.h"
#include "view/picture.h"

namespace orv {

class PictureAhead {
 public:
  PictureAhead() = default;
  // Stops a decode still running and waits for it: its picture is not wanted any more.
  ~PictureAhead();
  PictureAhead(const PictureAhead&) = delete;
  PictureAhead& operator=(const PictureAhead&) = delete;

  // Starts decoding the picture file at picturePath as LoadPicture does, on a second thread. Anything
  // started before is stopped and dropped. Where no thread can be had, nothing is started and the
  // load decodes as usual.
  void Start(const std::string& picturePath);

  // For the picture file started, once: waits for its decode to end and hands over the result as
  // LoadPicture would (target is replaced unless the result is Unreadable). Nothing for any other
  // path, or when nothing was started: the caller then decodes the picture itself.
  // With overview given, the waiting thread makes the picture's overview while the rows come, and
  // sets it along with target (left as it was when the picture is Unreadable).
  std::optional<JpegResult> Take(const std::string& picturePath, QImage& target,
                                 Overview* overview = nullptr);

  // Drops a picture not taken (for example when the start-up load stopped before its picture, or
  // another running copy took this start's request), so that its memory is not held for the rest of
  // the run. A decode still running is stopped and waited for.
  void Forget();

 private:
  // Makes the overview of the rows as the decode running writes them, until it ends; nothing when
  // the decode ended before its picture existed.
  std::optional<OverviewMaker> FollowRows();

  std::string path_;
  std::future<std::pair<JpegResult, QImage>> decoding_;
  std::unique_ptr<PictureRows> rows_;  // of the decode running
  std::atomic<bool> stop_{false};      // set to end a decode nobody will take
};

}  // namespace orv
