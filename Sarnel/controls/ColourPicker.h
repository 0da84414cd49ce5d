// A push button that shows a colour swatch and a drop-down arrow; a click opens the colour palette
// popup under it. The parent hears of every step through WM_NOTIFY (ColourPickerNotify).
#pragma once

#include "classlib/ClassLib.h"

// The automatic colour: swatches of it are drawn in the button face colour, text in black.
constexpr COLORREF CLR_AUTOMATIC = 0xFF000000;

// From the popup to its picker (sent; wParam the colour, lParam 0).
constexpr UINT WM_COLOUR_SELCHANGE = 0x7E9;
constexpr UINT WM_COLOUR_SELENDOK = 0x7EC;
constexpr UINT WM_COLOUR_SELENDCANCEL = 0x7ED;

// Notification codes of the picker (and, code 1, of the list controls).
constexpr UINT PICKN_CHANGED = 1;
constexpr UINT PICKN_DROPDOWN = 2;
constexpr UINT PICKN_CLOSED = 3;
constexpr UINT PICKN_ACCEPTED = 4;
constexpr UINT PICKN_CANCELLED = 5;

struct ColourPickerNotify {
  NMHDR hdr;
  COLORREF colour;
};

class CColourPicker : public CButton {
  DECLARE_DYNCREATE(CColourPicker)

 public:
  CColourPicker();

  COLORREF GetColour() const;
  void SetColour(COLORREF colour);
  COLORREF GetBkColour() const { return backgroundColour; }
  COLORREF GetTextColour() const { return textColour; }
  void SetBkColour(COLORREF colour);
  void SetTextColour(COLORREF colour);

  void SetTrackSelection(BOOL track) { trackSelection = track; }
  BOOL GetTrackSelection() const { return trackSelection; }
  // 1: the picked colour is the text colour; anything else: the background colour.
  void SetSelectionMode(int mode) { selectionMode = mode; }
  int GetSelectionMode() const { return selectionMode; }
  void SetDefaultText(LPCTSTR text) { defaultText = text; }
  void SetCustomText(LPCTSTR text) { customText = text; }
  BOOL IsPopupActive() const { return popupActive; }
  CRect GetArrowRect() const { return arrowRect; }

  void DrawItem(LPDRAWITEMSTRUCT item) override;

 protected:
  void PreSubclassWindow() override;

  afx_msg int OnCreate(LPCREATESTRUCT create);
  afx_msg void OnClicked();
  afx_msg LRESULT OnSelChange(WPARAM wParam, LPARAM lParam);
  afx_msg LRESULT OnSelEndOK(WPARAM wParam, LPARAM lParam);
  afx_msg LRESULT OnSelEndCancel(WPARAM wParam, LPARAM lParam);
  DECLARE_MESSAGE_MAP()

 private:
  void SizeToContent();
  void Redraw();
  LRESULT Notify(UINT code, COLORREF colour);

  BOOL popupActive = FALSE;
  BOOL trackSelection = FALSE;
  COLORREF backgroundColour;
  COLORREF textColour;
  int selectionMode = 2;
  CRect arrowRect;
  CString defaultText = "Automatic";
  CString customText = "More Colors...";
};

void DDX_ColourPicker(CDataExchange* pDX, int nIDC, COLORREF& colour);
