#pragma once
// A map picture decoded on a second thread ahead of the map load that needs it: at start-up the last
// map's picture is decoded while the window toolkit loads and the windows are created, so the first
// frame does not wait for the whole decode after them. Without the toolkit.
#include <atomic>
#include <functional>
#include <future>
#include <memory>
#include <optional>
#include <string>
#include <utility>

#include "core/jpeg.h"
#include "core/picturepixels.h"

namespace orv {

class PictureAhead {
 public:
  struct Taken {
    JpegResult result = JpegResult::Unreadable;
    PicturePixels picture;  // null when Unreadable
  };

  PictureAhead() = default;
  // Stops a decode still running and waits for it: its picture is not wanted any more.
  ~PictureAhead();
  PictureAhead(const PictureAhead&) = delete;
  PictureAhead& operator=(const PictureAhead&) = delete;

  // Starts decoding the picture file at picturePath as DecodePicture does, on a second thread.
  // Anything started before is stopped and dropped. Where no thread can be had, nothing is started
  // and the load decodes as usual.
  void Start(const std::string& picturePath);
  // The picture file started and not yet taken or forgotten; empty when there is none.
  const std::string& Path() const { return path_; }

  // For the picture file started, once: waits for its decode to end and hands over the result.
  // Nothing for any other path, or when nothing was started: the caller then decodes the picture
  // itself. While it waits, follow (if given) is called on this thread with the rows decoded so far,
  // each time more are, until the decode ends.
  std::optional<Taken> Take(const std::string& picturePath,
                            const std::function<void(const PictureRows::Seen&)>& follow = {});

  // Drops a picture not taken (for example when the start-up load stopped before its picture, or
  // another running copy took this start's request), so that its memory is not held for the rest of
  // the run. A decode still running is stopped and waited for.
  void Forget();

 private:
  std::string path_;
  std::future<Taken> decoding_;
  std::unique_ptr<PictureRows> rows_;  // of the decode running
  std::atomic<bool> stop_{false};      // set to end a decode nobody will take
};

}  // namespace orv
