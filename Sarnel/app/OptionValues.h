// The single program-wide option values kept beside the options record. Those the job file reads
// ("FileOnNew", "FilesPath", "DefaultDraftSize", "ResizeDraftOnly") live in JobFileOptions; these
// are the rest. The options record loads and saves both.
#pragma once

#include "classlib/ClassLib.h"

#include <cstdint>

struct OptionValues {
  int32_t ImagesPurge = 0;   // 0 or 1
  int32_t ImagesFilter = 0;  // 0 to 3
  bool ImagesFilterUsingPrimary = false;
  bool ImagesFilterUsingPoses = false;
  CString ImagesFilterUsingPose;
  bool ImagesFilterNot = false;
  bool HasOrderedQueue = true;
  bool HasOrderedQueueAny = true;
  bool HasOrderedOrder = false;
  bool HasOrderedOrderPack = true;
  CString HasOrderedOrderPackIgnore;
  bool HasOrderedOrderComposite = false;
  bool HasOrderedOrderGroup = false;
  bool PagePopup = false;
  char PrintSectionChar = '^';
  char PrintIndexChar = '#';
  bool FilterTemplates = false;
  COLORREF SpillSuppressColor = 0x7F7F7F;  // "Primatte\SpillSuppressColor"
  bool MonitorTemplatePaths = true;
};

OptionValues& GetOptionValues();
