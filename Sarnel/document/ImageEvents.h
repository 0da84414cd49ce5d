// The events that the document fires about the images of the job. Sinks tell them apart by their
// run-time type, so each is a class of its own.
#pragma once

#include "Event.h"
#include "ImageViewEvents.h"
#include "SharedStringList.h"

#include "classlib/ClassLib.h"

#include <cstdint>

// An image event names the image by its id and, where it matters, by its number.
class ImageEvent : public Event {
 public:
  ImageEvent(const CString& id, int32_t number) : id(id), number(number) {}
  CString id;
  int32_t number;
};

class ImageAddedEvent : public ImageEvent {
 public:
  ImageAddedEvent(const CString& id, int32_t number, bool follow) : ImageEvent(id, number), follow(follow) {}
  bool follow;  // the views move their selection to the new image
};

class ImageReplacedEvent : public ImageEvent {
 public:
  using ImageEvent::ImageEvent;
};

// Fired while the image still exists.
class ImageRemovingEvent : public ImageEvent {
 public:
  using ImageEvent::ImageEvent;
};

class ImageRemovedEvent : public ImageEvent {
 public:
  using ImageEvent::ImageEvent;
};

class ImageChangedEvent : public ImageEvent {
 public:
  using ImageEvent::ImageEvent;
};

class ImageStatusEvent : public ImageEvent {
 public:
  using ImageEvent::ImageEvent;
};

// The correction events carry the number -1.
class ImageCropScaleChangeEvent : public ImageEvent {
 public:
  explicit ImageCropScaleChangeEvent(const CString& id) : ImageEvent(id, -1) {}
};

class ImageColorCorrectChangeEvent : public ImageEvent {
 public:
  explicit ImageColorCorrectChangeEvent(const CString& id) : ImageEvent(id, -1) {}
};

class ImageChromaKeyChangeEvent : public ImageEvent {
 public:
  explicit ImageChromaKeyChangeEvent(const CString& id) : ImageEvent(id, -1) {}
};

class ImageRotationChangeEvent : public ImageEvent {
 public:
  explicit ImageRotationChangeEvent(const CString& id) : ImageEvent(id, -1) {}
};

// Asks the views to select one image (kind 0, by id) or a list of images (kind 1).
class ImageSelectEvent : public Event {
 public:
  enum : int32_t { OneImage = 0, ImageList = 1 };
  ImageSelectEvent(int32_t kind, const CString& id, const SharedStringList& ids)
      : kind(kind), id(id), ids(ids) {}
  int32_t kind;
  CString id;
  SharedStringList ids;
};

// Around a run of imports (and a duplication). A run that was stopped before its end says so.
class ImageImportStartEvent : public Event {};
class ImageImportStopEvent : public Event {
 public:
  explicit ImageImportStopEvent(bool finished = true) : finished(finished) {}
  bool finished;
};

// Importing was paused or resumed (the import values hold the new state); the import windows follow.
class ImageImportGoEvent : public Event {
 public:
  explicit ImageImportGoEvent(bool paused) : paused(paused) {}
  bool paused;
};
