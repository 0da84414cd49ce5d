// The test program's application object, and a top-level window that records the notifications
// its controls send it.
#pragma once

#include "classlib/ClassLib.h"

#include <gtest/gtest.h>

#include <vector>

struct RecordedNotify {
  UINT_PTR id;
  HWND from;
  int code;
  COLORREF colour;  // the colour picker's record only
};

class CRecordingParent : public CWnd {
 public:
  CRecordingParent();
  ~CRecordingParent() override;

  std::vector<RecordedNotify> notifications;
  std::vector<int> Codes() const;

  struct SliderMessage {
    UINT message;
    WPARAM value;
    LPARAM id;
  };
  std::vector<SliderMessage> sliderMessages;

 protected:
  BOOL OnNotify(WPARAM wParam, LPARAM lParam, LRESULT* result) override;
  LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;
};

bool PumpUntil(const std::function<bool()>& done, DWORD timeoutMs = 3000);
void PumpPending(DWORD ms = 30);
