// Carries the channel's records over to the camera list on the UI thread.
// The receive thread queues them and wakes this once a burst has quieted
// down; they are then applied in time-boxed slices, going back to the event
// loop between slices, so that the window keeps repainting and answering
// clicks while a large burst is applied.
#pragma once

#include <QElapsedTimer>
#include <QObject>
#include <QTimer>
#include <vector>

#include "discovery/record_queue.h"

namespace ui {

class CameraListModel;

class RecordHandOver : public QObject {
  Q_OBJECT

 public:
  RecordHandOver(CameraListModel& cameras, QObject* parent = nullptr);

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
  // Taken from the inbox and not applied yet.
  std::vector<discovery::DecodedRecord> pending_;
  std::size_t pendingNext_ = 0;
  QElapsedTimer sincePublished_;
};

}  // namespace ui
