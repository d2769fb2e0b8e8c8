// Carries the channel's records over to the camera list on the UI thread.
// The receive thread queues them and wakes this once a burst has quieted
// down, or once records have waited kLongestHold; they are then applied in time-boxed slices, going back to the event
// loop between slices, so that the window keeps repainting and answering
// clicks while a large burst is applied.
#pragma once

#include <QElapsedTimer>
#include <QObject>
#include <QTimer>

#include "discovery/record_queue.h"

namespace ui {

class CameraListModel;

class RecordHandOver : public QObject {
  Q_OBJECT

 public:
  explicit RecordHandOver(CameraListModel& cameras);

  // The channel's receiver.
  discovery::RecordQueue& inbox() { return inbox_; }

 private:
  void schedule();
  void applySlice();

  CameraListModel& cameras_;
  discovery::RecordQueue inbox_;
  // A timer, not a queued call, so that other timers due meanwhile (a
  // repaint, a click's) run between two slices.
  QTimer sliceTimer_;
  discovery::RecordBacklog backlog_;
  QElapsedTimer sincePublished_;
};

}  // namespace ui
