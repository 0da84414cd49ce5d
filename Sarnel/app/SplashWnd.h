// The product picture shown while the program starts, and again as the About box. One exists at a
// time; it closes after its timer, or at once on a key or a mouse click.
#pragma once

#include "classlib/ClassLib.h"

class CSplashWnd : public CWnd {
 public:
  // Nothing when a splash is up. Without bitmap 120 no splash appears.
  static void ShowSplashScreen(bool atStartup, CWnd* parent);
  // Restarts the 3-second close timer of the splash, if one is up.
  static void StartCloseTimer();
  // Runs a message loop until the splash is gone (at once when its timer has already fired).
  static void WaitForClose();
  static void HideSplashScreen();
  // A key or mouse click closes the splash and is eaten; every other message is not.
  static bool PreTranslateAppMessage(MSG* pMsg);

  static CSplashWnd* GetSplash();
  static constexpr UINT CloseTimerId = 1;
  static constexpr UINT CloseTimerMs = 3000;

  // The two text lines drawn on the picture, from the program's version block.
  static CString GetProductLine();
  static CString GetLegalLine();

 protected:
  CSplashWnd() = default;
  ~CSplashWnd() override;

  bool Create(CWnd* parent);
  void PostNcDestroy() override;

  afx_msg int OnCreate(LPCREATESTRUCT lpcs);
  afx_msg void OnPaint();
  afx_msg void OnTimer(UINT_PTR nIDEvent);
  DECLARE_MESSAGE_MAP()

 private:
  void DrawTexts(HDC dc, int width, int height);

  HBITMAP bitmap = nullptr;
  SIZE bitmapSize = {};
};
