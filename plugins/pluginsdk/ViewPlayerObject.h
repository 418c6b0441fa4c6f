// ViewPlayerObject: a player that shows pictures. It owns one window view
// and one full-screen view, picks one by the host's player display mode,
// follows the requests that make it appear and turns the host's viewer
// commands into drawing calls. Commands arrive on the host's thread; a
// player's own threads may call Draw.
#pragma once

#include "plugins/pluginsdk/HostSlots.h"
#include "plugins/pluginsdk/PlayerObject.h"
#include "plugins/pluginsdk/PlayerViews.h"

namespace pluginsdk {

enum ViewMode : int32_t { VIEWMODE_NONE = -1, VIEWMODE_WINDOW = 0, VIEWMODE_FULLSCREEN = 1 };

class ViewPlayerObject : public PlayerObject {
 public:
  ViewPlayerObject(bool& constructed, const char* name, const char* id, const char* description,
                   const PlugInVersionInfo* version = nullptr);
  ~ViewPlayerObject() override;

  bool Init(PLUGIN_HANDLE caller) override;
  bool Exit() override;
  bool RestoreSurfaces() override;
  bool Command(DWORD event, uintptr_t argument, uintptr_t data) override;

  virtual bool SupportsWindowView();
  virtual bool SupportsFullScreenView();
  virtual void SelectView(int32_t mode);
  virtual void OnViewRequestDone(bool success);
  virtual void SetViewVisible(bool on);
  virtual void ShowView();
  virtual void HideView();
  virtual void HideInactiveViews();
  virtual void OnShowViewDone(bool success);
  // Update rectangles are in the view's coordinates; null is the whole view.
  virtual bool Draw(const RECT* update);
  virtual bool DrawWindowView(const RECT* update);
  virtual bool PaintBackground(HOST_DRAWTARGET target, const RECT* update);
  virtual bool DrawWindowContent(HOST_DRAWTARGET target, const RECT* update);
  virtual bool DrawFullScreenView(const RECT* update);
  virtual bool DrawFullScreenContent(IDirectDrawSurface2* surface, const RECT* update);

  int32_t GetViewMode() const { return m_Mode; }
  WindowView& GetWindowView() { return m_WindowView; }
  FullScreenView& GetFullScreenView() { return m_FullScreenView; }

 private:
  class Owner : public ViewOwner {
   public:
    explicit Owner(ViewPlayerObject& player) : m_Player(player) {}
    void OnViewStateChanged(PlayerView& view, DWORD oldState, DWORD newState) override;
    void OnViewRequestDone(PlayerView& view, bool success) override;

   private:
    ViewPlayerObject& m_Player;
  };

  void LogShowError();
  // The view's state read under its lock, when it is the selected mode.
  bool IsShown(int32_t mode, PlayerView& view);

  Owner m_Owner;
  int32_t m_Mode = VIEWMODE_NONE;
  PlayerView* m_Selected = nullptr;
  WindowView m_WindowView;
  FullScreenView m_FullScreenView;
  bool m_WindowSupported = false;
  bool m_FullScreenSupported = false;
  bool m_ViewWanted = false;
};

}  // namespace pluginsdk
