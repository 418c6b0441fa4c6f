// CFileExtensionDialog: the skinned modal dialog in which the user ticks
// the file extensions to associate with the player. It shows an extension
// list as rows (extension, description) with a check image each; a click
// on a row's image or the space key over selected rows toggles them,
// "Select all" and "Select none" set every row. Only OK writes the ticks
// back into the entries' registered flags; the dialog never touches the
// associations themselves.
//
// Nobody may be there to see it (no desktop): then the dialog runs the
// script a test or driver installed, which may click rows and then answers
// OK or Cancel, else it is cancelled at once, so a headless start never
// waits on it (and takes no message box answer meant for a later box).
//
// Threading: the user-interface thread.
#pragma once

#include <windows.h>

#include <functional>
#include <string>
#include <vector>

#include "display/auxwindow/AuxWindow.h"
#include "playback/player/FileExtensionEnum.h"

class CFileExtensionDialog : public CAuxWindow {
  TWL_DECLARE_CLASS(CFileExtensionDialog)
 public:
  enum Kind { kNormal = 0, kNewExtensions = 1, kFirstStart = 2, kReRegister = 3 };
  enum ButtonId { kOkButton = 50, kSelectAllButton = 51, kSelectNoneButton = 52, kCancelButton = 53 };
  // Answers of a script for a dialog nobody sees: OK or Cancel.
  enum ScriptAnswer { kScriptCancel = 0, kScriptOk = 1 };
  using UnseenScript = std::function<int(CFileExtensionDialog& dialog)>;

  CFileExtensionDialog();
  ~CFileExtensionDialog() override;

  // Shows the dialog for the list, owned by `owner`; true only for OK,
  // after the ticks went into the list. A CError while it is made or runs
  // destroys it and is thrown on.
  static bool Run(CFileExtensionEnum& list, HWND owner, int kind);
  // The script dialogs nobody sees run (an empty one removes it).
  static void SetUnseenScript(UnseenScript script);

  // What a script or test sees and does.
  int GetKind() const { return m_Kind; }
  int GetRowCount() const;
  CStr GetRowText(int row, int column) const;
  // The entry the row shows; null for a row out of range.
  const FileExtensionEntry* GetRowEntry(int row) const;
  bool IsRowTicked(int row) const;
  // A click of the left button at the row's check image, as a user makes
  // it (through the list view); false when the row shows none.
  bool ClickRowImage(int row);
  HWND GetListView() const { return m_ListView; }

  // CAuxWindow.
  void Destroy() override;
  LRESULT OnNotify(WPARAM id, NMHDR* header) override;
  void OnControlClicked(CDDControl* control) override;
  void ApplySkin() override;
  void ReleaseSkin(int phase) override;
  LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;

 private:
  void Create(CFileExtensionEnum& list, HWND owner, int kind);
  void CreateImageList();
  void CreateListView();
  void Fill();
  void LayOut();
  void ToggleRow(int row);
  void SetAllRows(bool ticked);
  int RunModal();
  // -1 when a user can answer, else the modal result the dialog ends with.
  int AnswerWithoutUser();
  void ApplyTicks();

  CFileExtensionEnum* m_List = nullptr;
  int m_Kind = kNormal;
  std::string m_Text;
  HIMAGELIST m_Images = nullptr;
  int m_TickedImage = 0;
  int m_UntickedImage = 1;
  HWND m_ListView = nullptr;
  std::vector<std::string> m_ButtonTexts;
};
