#include "GridTextEdit.h"

#include <cstring>

BEGIN_MESSAGE_MAP(CGridTextEdit, CGridInPlaceEdit)
  ON_WM_KEYDOWN()
  ON_WM_KEYUP()
  ON_WM_CHAR()
END_MESSAGE_MAP()

CGridTextEdit::CGridTextEdit(int row, int col, const RECT& cellRect, int filter, BOOL lineBreaks)
    : CGridInPlaceEdit(row, col, cellRect), m_filter(filter), m_lineBreaks(lineBreaks) {}

BOOL CGridTextEdit::AcceptChar(UINT ch) {
  if (m_filter == IntegerFilter) return ch < 256 && strchr("0123456789-+", static_cast<int>(ch)) != nullptr;
  if (m_filter == DecimalFilter) return ch < 256 && strchr("0123456789+,-.", static_cast<int>(ch)) != nullptr;
  return TRUE;
}

void CGridTextEdit::OnKeyDown(UINT key, UINT repeat, UINT flags) {
  if (m_lineBreaks && key == VK_RETURN && ((::GetKeyState(VK_SHIFT) & 0x8000) || (flags & KF_EXTENDED) != 0))
    m_pendingBreak = TRUE;
  CGridInPlaceEdit::OnKeyDown(key, repeat, flags);
}

void CGridTextEdit::OnKeyUp(UINT key, UINT, UINT) {
  if (key == VK_RETURN) {
    m_pendingBreak = FALSE;
    return;
  }
  Default();
}

void CGridTextEdit::OnChar(UINT ch, UINT repeat, UINT flags) {
  if (ch == VK_RETURN && m_pendingBreak) {
    const char mark[2] = {GRID_RETURN_MARK, 0};
    ReplaceSel(mark, TRUE);
    m_leaveOnArrows = FALSE;
    GrowToText();
    return;
  }
  CGridInPlaceEdit::OnChar(ch, repeat, flags);
}
