// A flat picture button made from a dialog's push button: a bitmap with a transparent colour (and
// derived pictures for the normal and disabled looks), an optional caption, a hover frame, an
// optional check state, tooltip and drop-down menu whose choice goes to the parent as a command.
#pragma once

#include "classlib/ClassLib.h"

#include <memory>

// WM_NOTIFY codes around the drop-down menu (the record is ImageButtonNotify).
constexpr UINT IBN_MENUOPENING = static_cast<UINT>(-100);
constexpr UINT IBN_MENUCLOSED = static_cast<UINT>(-101);
constexpr UINT IBN_MENUCOMMAND = static_cast<UINT>(-102);

struct ImageButtonNotify {
  NMHDR hdr;
  HMENU menu;
  UINT command;
};

class CImageButton : public CButton {
  DECLARE_DYNAMIC(CImageButton)

 public:
  // Out picture identifiers that derive the normal look from the in picture.
  static constexpr int OutGrey = -2;
  static constexpr int OutDarker = -3;

  CImageButton();
  ~CImageButton() override;

  // 0 done, 1 a bitmap could not be read, 2 a mask could not be made.
  DWORD SetBitmaps(int inId, COLORREF inColour, int outId = 0, COLORREF outColour = 0, int disabledId = 0,
                   COLORREF disabledColour = 0, int checkedId = 0, COLORREF checkedColour = 0);
  // 0 to 3 (left, top, right, overlapping); 4 when refused.
  DWORD SetAlign(int align, BOOL repaint = TRUE);
  int GetAlign() const { return alignment; }
  void SetCheck(BOOL check, BOOL repaint = TRUE);
  BOOL GetCheck() const { return checked; }
  void SetDrawBorder(BOOL draw, BOOL repaint = TRUE);
  void SetTooltipText(LPCTSTR text, BOOL activate = TRUE);
  CToolTipCtrl* GetTooltip() const { return tooltip.get(); }
  // 0 done, 1 the menu could not be loaded; 0 removes the menu.
  DWORD SetMenu(UINT menuId, HWND window, BOOL repaint = TRUE);
  HMENU GetMenu() const { return menu; }

  BOOL IsCheckBoxMode() const { return checkBoxMode; }
  BOOL IsDefaultButton() const { return defaultButton; }
  BOOL IsHovered() const { return hovered; }
  // The picture slot the last drawing used (-1 for none): 0 in, 1 out, 2 disabled, 3 checked.
  int GetLastDrawnSlot() const { return lastDrawnSlot; }

  void DrawItem(LPDRAWITEMSTRUCT item) override;
  BOOL PreTranslateMessage(MSG* msg) override;

 protected:
  void PreSubclassWindow() override;

  afx_msg LRESULT OnSetCheckMessage(WPARAM wParam, LPARAM lParam);
  afx_msg LRESULT OnGetCheckMessage(WPARAM wParam, LPARAM lParam);
  afx_msg LRESULT OnSetStyleMessage(WPARAM wParam, LPARAM lParam);
  afx_msg LRESULT OnGetDlgCodeMessage(WPARAM wParam, LPARAM lParam);
  afx_msg LRESULT OnMouseMoveMessage(WPARAM wParam, LPARAM lParam);
  afx_msg LRESULT OnMouseLeaveMessage(WPARAM wParam, LPARAM lParam);
  afx_msg LRESULT OnKillFocusMessage(WPARAM wParam, LPARAM lParam);
  afx_msg LRESULT OnActivateMessage(WPARAM wParam, LPARAM lParam);
  afx_msg LRESULT OnCancelModeMessage(WPARAM wParam, LPARAM lParam);
  afx_msg LRESULT OnEnableMessage(WPARAM wParam, LPARAM lParam);
  afx_msg LRESULT OnLButtonDownMessage(WPARAM wParam, LPARAM lParam);
  afx_msg LRESULT OnSysColorChangeMessage(WPARAM wParam, LPARAM lParam);
  afx_msg BOOL OnClicked();
  afx_msg HBRUSH CtlColor(CDC* dc, UINT ctlColor);
  DECLARE_MESSAGE_MAP()

 private:
  struct Picture {
    HBITMAP bitmap = nullptr;
    int width = 0;
    int height = 0;
    HBITMAP mask = nullptr;
    COLORREF transparent = 0;
  };
  enum { SlotIn, SlotOut, SlotDisabled, SlotChecked, SlotCount };

  void FreePictures();
  void SetDefaultColours();
  void Repaint(BOOL repaint);
  void LeaveHover();
  void OpenMenu(bool fromClick);
  void Notify(UINT code, UINT command);
  int PictureSlot(bool pressed, bool disabled) const;
  void DrawPicture(HDC dc, int slot, bool pressed, bool hasCaption, CRect& caption) const;
  void DrawCaption(HDC dc, const CString& text, bool pressed, bool focused, bool disabled,
                   CRect caption) const;

  BOOL checkBoxMode = FALSE;
  BOOL checked = FALSE;
  BOOL defaultButton = FALSE;
  UINT buttonType = BS_PUSHBUTTON;

  BOOL flat = TRUE;
  BOOL drawBorder = TRUE;
  BOOL drawFlatFocus = FALSE;
  BOOL useDisabledPicture = TRUE;
  int alignment = 0;
  UINT captionFormat = DT_CENTER;
  CSize margin{3, 3};
  CSize pressedOffset{1, 1};

  BOOL hovered = FALSE;
  BOOL alwaysTrack = TRUE;
  BOOL menuShown = FALSE;

  enum { ColourIn, ColourOut, ColourFocus, ColourStates };
  COLORREF background[ColourStates] = {};
  COLORREF text[ColourStates] = {};

  Picture pictures[SlotCount];
  std::unique_ptr<CToolTipCtrl> tooltip;

  HMENU menu = nullptr;
  BOOL ownsMenu = FALSE;
  BOOL showFirstSubMenu = FALSE;
  HWND menuWindow = nullptr;

  int lastDrawnSlot = -1;
};
