#include "classlib/FileDialog.h"

#include <cstring>

namespace {
std::mutex g_scriptLock;
CFileDialogScript* g_script = nullptr;
}  // namespace

CFileDialogScript::CFileDialogScript() {
  std::lock_guard<std::mutex> guard(g_scriptLock);
  m_previousScript = g_script;
  g_script = this;
  m_previousHandler = reinterpret_cast<void*>(AfxSetFileDialogHandler(&CFileDialogScript::Handle));
}

CFileDialogScript::~CFileDialogScript() {
  std::lock_guard<std::mutex> guard(g_scriptLock);
  g_script = m_previousScript;
  AfxSetFileDialogHandler(reinterpret_cast<AFX_FILEDIALOG_HANDLER>(m_previousHandler));
}

CFileDialogScript& CFileDialogScript::Answer(LPCTSTR pathName, DWORD nFilterIndex) {
  std::lock_guard<std::mutex> guard(m_lock);
  m_replies.push_back({true, pathName, {}, nFilterIndex});
  return *this;
}

CFileDialogScript& CFileDialogScript::AnswerFiles(LPCTSTR folder, const std::vector<CString>& names) {
  std::lock_guard<std::mutex> guard(m_lock);
  if (names.size() == 1) {
    CString path(folder);
    if (!path.IsEmpty() && path[path.GetLength() - 1] != '\\') path += '\\';
    m_replies.push_back({true, path + names[0], {}, 0});
  } else {
    m_replies.push_back({true, folder, names, 0});
  }
  return *this;
}

CFileDialogScript& CFileDialogScript::Cancel() {
  std::lock_guard<std::mutex> guard(m_lock);
  m_replies.push_back({false, CString(), {}, 0});
  return *this;
}

std::vector<CFileDialogScript::Shown> CFileDialogScript::GetShown() const {
  std::lock_guard<std::mutex> guard(m_lock);
  return m_shown;
}

size_t CFileDialogScript::PendingAnswers() const {
  std::lock_guard<std::mutex> guard(m_lock);
  return m_replies.size();
}

BOOL CFileDialogScript::Handle(OPENFILENAMEA* pofn, BOOL bOpenFileDialog) {
  CFileDialogScript* script;
  {
    std::lock_guard<std::mutex> guard(g_scriptLock);
    script = g_script;
  }
  if (script == nullptr) return FALSE;
  return script->Respond(pofn, bOpenFileDialog);
}

namespace {

// What the dialog writes back: the text (with its inner terminators), and the offsets of the
// name and the extension.
struct Written {
  std::string text;
  WORD fileOffset = 0;
  WORD extensionOffset = 0;
};

Written OnePath(const CString& path) {
  Written written;
  written.text = path.str();
  written.text.push_back('\0');
  int nameStart = 0;
  for (int i = 0; i < path.GetLength(); ++i) {
    if (path[i] == '\\' || path[i] == '/') nameStart = i + 1;
  }
  int dot = path.ReverseFind('.');
  written.fileOffset = static_cast<WORD>(nameStart);
  written.extensionOffset = static_cast<WORD>(dot >= nameStart ? dot + 1 : path.GetLength());
  return written;
}

Written SeveralFiles(const CString& folder, const std::vector<CString>& names) {
  Written written;
  written.text = folder.str();
  written.text.push_back('\0');
  written.fileOffset = static_cast<WORD>(folder.GetLength() + 1);
  for (const CString& name : names) {
    written.text += name.str();
    written.text.push_back('\0');
  }
  written.text.push_back('\0');
  return written;
}

}  // namespace

BOOL CFileDialogScript::Respond(OPENFILENAMEA* pofn, BOOL bOpenFileDialog) {
  Shown shown;
  shown.bOpen = bOpenFileDialog;
  shown.owner = pofn->hwndOwner;
  shown.title = pofn->lpstrTitle;
  shown.flags = pofn->Flags;
  shown.filter = AfxFileDialogFilterText(pofn->lpstrFilter);
  shown.filterIndex = pofn->nFilterIndex;
  shown.initialDir = pofn->lpstrInitialDir;
  shown.fileName = pofn->lpstrFile;
  shown.defExt = pofn->lpstrDefExt;
  shown.templateName = pofn->lpTemplateName;
  shown.maxFile = pofn->nMaxFile;
  shown.answered = false;

  Reply reply{false, CString(), {}, 0};
  {
    std::lock_guard<std::mutex> guard(m_lock);
    if (!m_replies.empty()) {
      reply = m_replies.front();
      m_replies.pop_front();
    }
  }
  AfxSetCommDlgExtendedError(0);
  BOOL result = FALSE;
  if (reply.ok) {
    Written written = reply.names.empty() ? OnePath(reply.folder) : SeveralFiles(reply.folder, reply.names);
    // A single name ends in two terminators for a multi-select dialog, as the system writes it.
    if (reply.names.empty() && (pofn->Flags & OFN_ALLOWMULTISELECT) != 0) written.text.push_back('\0');
    if (pofn->lpstrFile == nullptr || written.text.size() > pofn->nMaxFile) {
      // The system's answer for a buffer that is too small: the size needed in its first bytes.
      if (pofn->lpstrFile != nullptr && pofn->nMaxFile >= 2) {
        WORD needed = static_cast<WORD>(written.text.size() > 0xFFFF ? 0xFFFF : written.text.size());
        std::memcpy(pofn->lpstrFile, &needed, sizeof(needed));
      }
      AfxSetCommDlgExtendedError(FNERR_BUFFERTOOSMALL);
    } else {
      std::memcpy(pofn->lpstrFile, written.text.data(), written.text.size());
      pofn->nFileOffset = written.fileOffset;
      pofn->nFileExtension = written.extensionOffset;
      if (pofn->lpstrFileTitle != nullptr && pofn->nMaxFileTitle > 0 && reply.names.empty())
        ::lstrcpynA(pofn->lpstrFileTitle, reply.folder.Mid(written.fileOffset),
                    static_cast<int>(pofn->nMaxFileTitle));
      if (reply.filterIndex != 0) pofn->nFilterIndex = reply.filterIndex;
      shown.answered = true;
      result = TRUE;
    }
  }
  std::lock_guard<std::mutex> guard(m_lock);
  m_shown.push_back(shown);
  return result;
}
